#include <wgraph/Wgraph.h>

#include <array>

namespace Wgraph {

using Platform::TPoint;

namespace {

TPoint ToPC(double x, double y) {
  TPoint p;
  WorldToPC(x, y, p.X, p.Y);
  return p;
}

// Quadratic shape functions of one side in its local coordinate xi: -1 at the first corner,
// 0 at the mid node, +1 at the second corner.
double ShapeN1(double xi) { return (xi * xi - xi) * 0.5; }
double ShapeN2(double xi) { return 1 - xi * xi; }
double ShapeN3(double xi) { return (xi * xi + xi) * 0.5; }

struct TWorldXY {
  double X, Y;
};

constexpr int EdgeSteps = 40;
using TEdgePoints = std::array<TWorldXY, EdgeSteps + 1>;

// 41 points along the parabola through the first corner, the mid node and the second corner.
// xi is accumulated in steps of 0.05, so the last point is the second corner only up to rounding.
TEdgePoints QuadraticEdgePoints(TWorldXY first, TWorldXY mid, TWorldXY second) {
  TEdgePoints points;
  points[0] = first;
  double xi = -1;
  for (int i = 1; i <= EdgeSteps; ++i) {
    xi = xi + 0.05;
    const double n1 = ShapeN1(xi), n2 = ShapeN2(xi), n3 = ShapeN3(xi);
    points[i] = {n1 * first.X + n2 * mid.X + n3 * second.X, n1 * first.Y + n2 * mid.Y + n3 * second.Y};
  }
  return points;
}

// Fills the polygon with the fill colour and restores the pen and brush colours it changed.
void FillQuad(TCanvas *canvas, const TPoint *points, int count, TColor color, bool outline) {
  const TColor penColor = canvas->Pen().Color();
  if (!outline)
    canvas->Pen().SetColor(color);
  const TColor brushColor = canvas->Brush().Color();
  canvas->Brush().SetColor(color);
  canvas->Polygon(points, count - 1);
  canvas->Brush().SetColor(brushColor);
  if (!outline)
    canvas->Pen().SetColor(penColor);
}

} // namespace

void WMoveTo(TCanvas *canvas, double x, double y) {
  const TPoint p = ToPC(x, y);
  canvas->MoveTo(p.X, p.Y);
}

void WLineTo(TCanvas *canvas, double x, double y) {
  const TPoint p = ToPC(x, y);
  canvas->LineTo(p.X, p.Y);
}

void WEllipse(TCanvas *canvas, double x1, double y1, double x2, double y2) {
  const TPoint p1 = ToPC(x1, y1), p2 = ToPC(x2, y2);
  canvas->Ellipse(p1.X, p1.Y, p2.X, p2.Y);
}

void WArc(TCanvas *canvas, double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4) {
  const TPoint p1 = ToPC(x1, y1), p2 = ToPC(x2, y2), p3 = ToPC(x3, y3), p4 = ToPC(x4, y4);
  canvas->Arc(p1.X, p1.Y, p2.X, p2.Y, p3.X, p3.Y, p4.X, p4.Y);
}

void wquad4(TCanvas *canvas, double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4,
            TColor Color, bool Outline) {
  const TPoint points[4] = {ToPC(x1, y1), ToPC(x2, y2), ToPC(x3, y3), ToPC(x4, y4)};
  FillQuad(canvas, points, 4, Color, Outline);
}

void wquad8(TCanvas *canvas, double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4,
            double x5, double y5, double x6, double y6, double x7, double y7, double x8, double y8, TColor Color,
            bool Outline) {
  const TWorldXY corner[4] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}};
  const TWorldXY mid[4] = {{x5, y5}, {x6, y6}, {x7, y7}, {x8, y8}};
  // Side 1 gives all 41 points; sides 2 and 3 skip their first point (the previous side's last);
  // side 4 also skips its last, corner 1, which the polygon closes on anyway.
  std::array<TPoint, 4 * EdgeSteps> outline;
  int n = 0;
  for (int side = 0; side < 4; ++side) {
    const TEdgePoints edge = QuadraticEdgePoints(corner[side], mid[side], corner[(side + 1) % 4]);
    const int first = side == 0 ? 0 : 1, last = side == 3 ? EdgeSteps - 1 : EdgeSteps;
    for (int i = first; i <= last; ++i)
      outline[n++] = ToPC(edge[i].X, edge[i].Y);
  }
  FillQuad(canvas, outline.data(), n, Color, Outline);
}

} // namespace Wgraph
