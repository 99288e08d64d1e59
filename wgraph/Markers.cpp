#include <wgraph/Wgraph.h>

#include <alloc/Alloc.h>
#include <platform/rtl/Rtl.h>

namespace Wgraph {

using Platform::bsClear;
using Platform::TPoint;

namespace {

constexpr double Cos30 = 0.8660254037844386;

enum class TMarkerFill { Filled, Outlined };

// What every marker draws with: the canvas's state with a 1-pixel pen in the marker colour and a
// brush in the marker colour (filled kinds; a clear brush turns solid, as setting its colour
// does) or clear (outlined kinds), plus the marker's pixel centre and half size. The figure goes
// to the device as the canvas would send it, and the canvas's own pen and brush are left alone,
// which is what setting them and putting them back gives. Not rewriting the canvas around every
// figure also keeps the next figure's read of the canvas state from waiting on those writes,
// which made up a good part of a marker's time in a loop.
class TMarkerFrame {
public:
  TMarkerFrame(TCanvas *canvas, int size, double x, double y, TColor color, TMarkerFill fill)
      : FDevice(canvas->Device()), FState(canvas->State()) {
    FState.Pen.Width = 1;
    FState.Pen.Color = color;
    if (fill == TMarkerFill::Filled) {
      FState.Brush.Color = color;
      if (FState.Brush.Style == bsClear)
        FState.Brush.Style = Platform::bsSolid;
    } else {
      FState.Brush.Style = bsClear;
    }
    WorldToPC(x, y, Px, Py);
    H = size / 2;
  }

  // The canvas's Polygon and Ellipse: nothing without a device, or with a clear pen and brush.
  void Polygon(std::span<const TPoint> points) const {
    if (Draws())
      FDevice->Polygon(FState, points);
  }
  void Ellipse(int x1, int y1, int x2, int y2) const {
    if (Draws())
      FDevice->Ellipse(FState, Platform::OrderedRect(x1, y1, x2, y2));
  }

  int Px = 0, Py = 0, H = 0;

private:
  bool Draws() const { return FDevice && (FState.Pen.Style != Platform::psClear || FState.Brush.Style != bsClear); }

  Platform::TDevice *FDevice;
  Platform::TDrawState FState;
};

// 1 for a positive odd size: odd figures that start at -h need one more pixel to span size.
int OddExtra(int size) { return size % 2 == 1 ? 1 : 0; }

void Square(TCanvas *canvas, int size, double x, double y, TColor color, TMarkerFill fill) {
  const TMarkerFrame f(canvas, size, x, y, color, fill);
  const int left = f.Px - f.H, top = f.Py - f.H;
  const TPoint corners[4] = {{left, top}, {left + size, top}, {left + size, top + size}, {left, top + size}};
  f.Polygon(corners);
}

void Triangle(TCanvas *canvas, int size, double x, double y, TColor color, TMarkerFill fill) {
  const TMarkerFrame f(canvas, size, x, y, color, fill);
  const int dx = static_cast<int>(Platform::Round(f.H * Cos30));
  const int dy = static_cast<int>(Platform::Round(f.H * 0.5));
  const TPoint corners[3] = {{f.Px, f.Py - f.H}, {f.Px - dx, f.Py + dy}, {f.Px + dx, f.Py + dy}};
  f.Polygon(corners);
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
    f.Ellipse(f.Px - f.H, f.Py - f.H, f.Px + f.H, f.Py + f.H);
  else
    canvas->SetPixels(f.Px - f.H, f.Py - f.H, color);
}

void DrawEmptyCirclePoint(TCanvas *canvas, int size, double x, double y, TColor color) {
  const TMarkerFrame f(canvas, size, x, y, color, TMarkerFill::Outlined);
  const int e = OddExtra(size);
  f.Ellipse(f.Px - f.H, f.Py - f.H, f.Px + f.H + e, f.Py + f.H + e);
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
