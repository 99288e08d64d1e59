#include <wgraph/Wgraph.h>

#include <alloc/Alloc.h>
#include <platform/rtl/Rtl.h>

namespace Wgraph {

using Platform::TMarkerFill;
using Platform::TPoint;

namespace {

constexpr double Cos30 = 0.8660254037844386;

// The marker's pixel centre and half size. Kept apart from the paint, which the device is handed
// by reference: values in the same object would have to live in memory too, and on a large
// surface every store waits behind the previous marker's pixels.
struct TMarkerPlace {
  int Px, Py, H;
};

TMarkerPlace PlaceOf(int size, double x, double y) {
  int px, py;
  WorldToPC(x, y, px, py);
  return {px, py, size / 2};
}

// 1 for a positive odd size: odd figures that start at -h need one more pixel to span size.
int OddExtra(int size) { return size % 2 == 1 ? 1 : 0; }

void Square(TCanvas *canvas, int size, double x, double y, TColor color, TMarkerFill fill) {
  const Platform::TMarkerPaint paint = canvas->MarkerPaint(color, fill);
  const TMarkerPlace p = PlaceOf(size, x, y);
  const int left = p.Px - p.H, top = p.Py - p.H;
  const TPoint corners[4] = {{left, top}, {left + size, top}, {left + size, top + size}, {left, top + size}};
  canvas->MarkerPolygon(paint, corners);
}

void Triangle(TCanvas *canvas, int size, double x, double y, TColor color, TMarkerFill fill) {
  const Platform::TMarkerPaint paint = canvas->MarkerPaint(color, fill);
  const TMarkerPlace p = PlaceOf(size, x, y);
  const int dx = static_cast<int>(Platform::Round(p.H * Cos30));
  const int dy = static_cast<int>(Platform::Round(p.H * 0.5));
  const TPoint corners[3] = {{p.Px, p.Py - p.H}, {p.Px - dx, p.Py + dy}, {p.Px + dx, p.Py + dy}};
  canvas->MarkerPolygon(paint, corners);
}

} // namespace

void DrawSquarePoint(TCanvas *canvas, int size, double x, double y, TColor color) {
  Square(canvas, size, x, y, color, TMarkerFill::Filled);
}

void DrawEmptySquarePoint(TCanvas *canvas, int size, double x, double y, TColor color) {
  Square(canvas, size, x, y, color, TMarkerFill::Outlined);
}

void DrawTrianglePoint(TCanvas *canvas, int size, double x, double y, TColor color) {
  Triangle(canvas, size, x, y, color, TMarkerFill::Filled);
}

void DrawEmptyTrianglePoint(TCanvas *canvas, int size, double x, double y, TColor color) {
  Triangle(canvas, size, x, y, color, TMarkerFill::Outlined);
}

void DrawCirclePoint(TCanvas *canvas, int size, double x, double y, TColor color) {
  const Platform::TMarkerPaint paint = canvas->MarkerPaint(color, TMarkerFill::Filled);
  const TMarkerPlace p = PlaceOf(size, x, y);
  if (size > 1)
    canvas->MarkerEllipse(paint, {p.Px - p.H, p.Py - p.H, p.Px + p.H, p.Py + p.H});
  else
    canvas->SetPixels(p.Px - p.H, p.Py - p.H, color);
}

void DrawEmptyCirclePoint(TCanvas *canvas, int size, double x, double y, TColor color) {
  const Platform::TMarkerPaint paint = canvas->MarkerPaint(color, TMarkerFill::Outlined);
  const TMarkerPlace p = PlaceOf(size, x, y);
  const int e = OddExtra(size);
  canvas->MarkerEllipse(paint, {p.Px - p.H, p.Py - p.H, p.Px + p.H + e, p.Py + p.H + e});
}

void DrawCrossPoint(TCanvas *canvas, int size, double x, double y, TColor color) {
  // Only the pen is touched: remember and restore its width and colour.
  const int penWidth = canvas->Pen().Width();
  const TColor penColor = canvas->Pen().Color();
  canvas->Pen().SetWidth(1);
  canvas->Pen().SetColor(color);
  int px, py;
  WorldToPC(x, y, px, py);
  const int h = size / 2, e = OddExtra(size);
  canvas->MoveTo(px - h, py);
  canvas->LineTo(px + h + e, py);
  canvas->MoveTo(px, py - h);
  canvas->LineTo(px, py + h + e);
  canvas->Pen().SetWidth(penWidth);
  canvas->Pen().SetColor(penColor);
}

namespace {

void DrawMarker(TCanvas *canvas, pointType kind, int size, double x, double y, TColor color) {
  switch (kind) {
  case pointType::square: DrawSquarePoint(canvas, size, x, y, color); break;
  case pointType::triangle: DrawTrianglePoint(canvas, size, x, y, color); break;
  case pointType::circle: DrawCirclePoint(canvas, size, x, y, color); break;
  case pointType::emptysquare: DrawEmptySquarePoint(canvas, size, x, y, color); break;
  case pointType::emptytriangle: DrawEmptyTrianglePoint(canvas, size, x, y, color); break;
  case pointType::emptycircle: DrawEmptyCirclePoint(canvas, size, x, y, color); break;
  case pointType::crosspoint: DrawCrossPoint(canvas, size, x, y, color); break;
  default: break; // nothing, and any value beyond the known kinds
  }
}

} // namespace

void ScatterPlotData(TCanvas *canvas, const Alloc::TWPoint *points, TLineFormat format) {
  canvas->Pen().SetColor(format.LineColor);
  canvas->Pen().SetWidth(format.LineWidth);
  // An empty series reads no element: the array of an empty series may be no array at all.
  if (format.NumPoints == 0 || !points) {
    canvas->Pen().SetWidth(1);
    return;
  }
  WMoveTo(canvas, points[0].X, points[0].Y);
  for (int i = 1; i < format.NumPoints; ++i)
    WLineTo(canvas, points[i].X, points[i].Y);
  canvas->Pen().SetColor(format.LineColor);
  canvas->Pen().SetWidth(1);
  WMoveTo(canvas, points[0].X, points[0].Y);
  for (int i = 0; i < format.NumPoints; ++i)
    DrawMarker(canvas, format.PointKind, format.PointSize, points[i].X, points[i].Y, format.PointColor);
}

} // namespace Wgraph
