#include <wgraph/Wgraph.h>

#include <alloc/Alloc.h>
#include <platform/rtl/Rtl.h>

namespace Wgraph {

using Platform::bsClear;
using Platform::TBrushStyle;
using Platform::TPoint;

namespace {

constexpr double Cos30 = 0.8660254037844386;

enum class TMarkerFill { Filled, Outlined };

// What every marker does around its figure: a 1-pixel pen in the marker colour, the marker's
// pixel centre and half size, and a brush in the marker colour (filled kinds) or clear
// (outlined kinds); everything it changes is put back when it goes out of scope.
class TMarkerFrame {
public:
  TMarkerFrame(TCanvas *canvas, int size, double x, double y, TColor color, TMarkerFill fill)
      : FCanvas(canvas), FPenWidth(canvas->Pen().Width()), FPenColor(canvas->Pen().Color()),
        FBrushColor(canvas->Brush().Color()), FBrushStyle(canvas->Brush().Style()) {
    canvas->Pen().SetWidth(1);
    canvas->Pen().SetColor(color);
    WorldToPC(x, y, Px, Py);
    H = size / 2;
    if (fill == TMarkerFill::Filled)
      canvas->Brush().SetColor(color);
    else
      canvas->Brush().SetStyle(bsClear);
  }
  ~TMarkerFrame() {
    FCanvas->Pen().SetWidth(FPenWidth);
    FCanvas->Pen().SetColor(FPenColor);
    // The colour first: setting it makes a clear brush solid, which the style then undoes.
    FCanvas->Brush().SetColor(FBrushColor);
    FCanvas->Brush().SetStyle(FBrushStyle);
  }
  TMarkerFrame(const TMarkerFrame &) = delete;
  TMarkerFrame &operator=(const TMarkerFrame &) = delete;

  int Px = 0, Py = 0, H = 0;

private:
  TCanvas *FCanvas;
  int FPenWidth;
  TColor FPenColor;
  TColor FBrushColor;
  TBrushStyle FBrushStyle;
};

// 1 for a positive odd size: odd figures that start at -h need one more pixel to span size.
int OddExtra(int size) { return size % 2 == 1 ? 1 : 0; }

void Square(TCanvas *canvas, int size, double x, double y, TColor color, TMarkerFill fill) {
  const TMarkerFrame f(canvas, size, x, y, color, fill);
  const int left = f.Px - f.H, top = f.Py - f.H;
  const TPoint corners[4] = {{left, top}, {left + size, top}, {left + size, top + size}, {left, top + size}};
  canvas->Polygon(corners, 3);
}

void Triangle(TCanvas *canvas, int size, double x, double y, TColor color, TMarkerFill fill) {
  const TMarkerFrame f(canvas, size, x, y, color, fill);
  const int dx = static_cast<int>(Platform::Round(f.H * Cos30));
  const int dy = static_cast<int>(Platform::Round(f.H * 0.5));
  const TPoint corners[3] = {{f.Px, f.Py - f.H}, {f.Px - dx, f.Py + dy}, {f.Px + dx, f.Py + dy}};
  canvas->Polygon(corners, 2);
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
  const TMarkerFrame f(canvas, size, x, y, color, TMarkerFill::Filled);
  if (size > 1)
    canvas->Ellipse(f.Px - f.H, f.Py - f.H, f.Px + f.H, f.Py + f.H);
  else
    canvas->SetPixels(f.Px - f.H, f.Py - f.H, color);
}

void DrawEmptyCirclePoint(TCanvas *canvas, int size, double x, double y, TColor color) {
  const TMarkerFrame f(canvas, size, x, y, color, TMarkerFill::Outlined);
  const int e = OddExtra(size);
  canvas->Ellipse(f.Px - f.H, f.Py - f.H, f.Px + f.H + e, f.Py + f.H + e);
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
