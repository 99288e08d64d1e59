// World drawing on the graph: each figure is compared with the frame, then handed whole,
// clipped or not at all to the paint box, which maps it to pixels.

#include <worldgraph/VelGraph.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <platform/rtl/Rtl.h>

namespace Velgraph {

namespace {

constexpr long double Pi = 3.141592653589793238462643383279502884L;
constexpr long double HalfPi = Pi / 2, ThreeHalvesPi = 3 * Pi / 2, TwoPi = 2 * Pi;
// A partly visible arc is traced in this many clipped segments, a partly visible ellipse as a
// ring of this many points.
constexpr int ArcSegments = 1000;
constexpr int RingPoints = 1000;
constexpr int HalfRing = RingPoints / 2;

// An ellipse's centre and semi-axes from two opposite corners of its box.
struct TEllipseBox {
  double CX, CY, A, B;
  // A box of no width or height (or not finite) has no curve to trace: the platform's ellipse
  // draws nothing for an empty box, and the partly visible figure agrees with it.
  bool Traceable() const {
    return std::isfinite(CX) && std::isfinite(CY) && A > 0 && B > 0 && A < INFINITY && B < INFINITY;
  }
};

TEllipseBox BoxOf(double X1, double Y1, double X2, double Y2) {
  return {(X1 + X2) * 0.5, (Y1 + Y2) * 0.5, std::fabs(X2 - X1) * 0.5, std::fabs(Y2 - Y1) * 0.5};
}

} // namespace

double PolarAngle(double DX, double DY) {
  if (DX == 0.0)
    DX = 1e-10;
  if (DY == 0.0)
    DY = 1e-10;
  const long double dx = DX, dy = DY;
  if (DX >= 0 && DY >= 0)
    return static_cast<double>(std::atan(std::fabs(dy / dx)));
  if (DX <= 0 && DY >= 0)
    return static_cast<double>(HalfPi + std::atan(std::fabs(dx / dy)));
  if (DX <= 0 && DY <= 0)
    return static_cast<double>(Pi + std::atan(std::fabs(dy / dx)));
  if (DX >= 0 && DY <= 0)
    return static_cast<double>(ThreeHalvesPi + std::atan(std::fabs(dx / dy)));
  return 0;
}

TWorldPoint EllipsePointAtAngle(double A, double B, double T) {
  const double c = std::cos(T), s = std::sin(T);
  const double R = A * B / std::sqrt((B * c) * (B * c) + (A * s) * (A * s));
  return {R * c, R * s};
}

void TVelWorldGraph::WorldMoveTo(double X, double Y) {
  FLineX1 = X;
  FLineY1 = Y;
  FPaintBox->WorldMoveTo(X, Y);
}

void TVelWorldGraph::WorldLineTo(double X, double Y) {
  FLineX2 = X;
  FLineY2 = Y;
  DrawLine();
  FLineX1 = X;
  FLineY1 = Y;
}

// The containment tests of arcs and ellipses take their box ordered: given with its corners
// the other way round, an unordered test would let the figure be drawn whole over the rulers.
void TVelWorldGraph::WorldArc(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4) {
  if (AllOfFrameShows(std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2), std::max(Y1, Y2))) {
    FPaintBox->WorldArc(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    return;
  }
  if (!PartOfFrameShows(X1, Y1, X2, Y2))
    return;
  const TEllipseBox box = BoxOf(X1, Y1, X2, Y2);
  if (!box.Traceable())
    return;
  const double S = PolarAngle(X3 - box.CX, Y3 - box.CY);
  double E = PolarAngle(X4 - box.CX, Y4 - box.CY);
  if (E < S)
    E = static_cast<double>(E + TwoPi);
  const double D = (E - S) / ArcSegments;
  double T = S;
  TWorldPoint p = EllipsePointAtAngle(box.A, box.B, T);
  WorldMoveTo(p.X + box.CX, p.Y + box.CY);
  for (int i = 0; i < ArcSegments; ++i) {
    T += D;
    p = EllipsePointAtAngle(box.A, box.B, T);
    WorldLineTo(p.X + box.CX, p.Y + box.CY);
  }
}

void TVelWorldGraph::WorldEllipse(double X1, double Y1, double X2, double Y2) {
  if (!PartOfFrameShows(X1, Y1, X2, Y2))
    return;
  if (AllOfFrameShows(std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2), std::max(Y1, Y2))) {
    FPaintBox->WorldEllipse(X1, Y1, X2, Y2);
    return;
  }
  const TEllipseBox box = BoxOf(X1, Y1, X2, Y2);
  if (box.Traceable())
    DrawEllipseRing(box.CX, box.CY, box.A, box.B);
}

// The ring runs from the left end along the lower half to the right end and back along the
// upper half, and is clipped as a polygon.
void TVelWorldGraph::DrawEllipseRing(double CX, double CY, double A, double B) {
  TWorldPointArray ring;
  const double H = 2 * A / HalfRing;
  double x = -A;
  for (int i = 0; i <= HalfRing; ++i) {
    const double q = x / A;
    ring[i] = {x, -B * std::sqrt(std::fabs(1 - q * q))};
    x += H;
  }
  for (int k = 1; k < HalfRing; ++k)
    ring[HalfRing + k] = {ring[HalfRing - k].X, -ring[HalfRing - k].Y};
  for (TWorldPoint &p : ring) {
    p.X += CX;
    p.Y += CY;
  }
  WorldPolygon(RingPoints, ring, FDrawingCanvas->Pen().Color(), FDrawingCanvas->Brush().Color(), true);
}

void TVelWorldGraph::WorldQuad4(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4,
                                TColor Color, bool Outline) {
  TWorldPointArray corners;
  corners[0] = {X1, Y1};
  corners[1] = {X2, Y2};
  corners[2] = {X3, Y3};
  corners[3] = {X4, Y4};
  WorldPolygon(4, corners, Platform::clBlack, Color, Outline);
}

// Culled, never clipped: a curved element that shows at all is drawn whole.
void TVelWorldGraph::WorldQuad8(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4,
                                double X5, double Y5, double X6, double Y6, double X7, double Y7, double X8, double Y8,
                                TColor Color, bool Outline) {
  if (PartOfFrameShows(X1, Y1, X3, Y3) || PartOfFrameShows(X2, Y2, X4, Y4))
    FPaintBox->WorldQuad8(X1, Y1, X2, Y2, X3, Y3, X4, Y4, X5, Y5, X6, Y6, X7, Y7, X8, Y8, Color, Outline);
}

void TVelWorldGraph::WorldPolygon(std::uint16_t Count, const TWorldPointArray &Points, TColor OutlineColor,
                                  TColor FillColor, bool Outline) {
  TWorldPointArray clipped;
  int count = 0;
  ClipPolygon(Points, Count, clipped, count);
  if (count <= 0)
    return;
  Velpaint::TWPointArray &pixels = *FPaintBoxPolygon;
  for (int i = 0; i < count; ++i)
    pixels[i] = {clipped[i].X, clipped[i].Y};
  FPaintBox->WorldPolygon(static_cast<std::uint16_t>(count), pixels, OutlineColor, FillColor, Outline);
}

void TVelWorldGraph::DrawMarker(void (Velpaint::TVelPaintBox::*marker)(int, double, double, TColor), int Size, double X,
                                double Y, TColor Color) {
  // Printing scales markers with the drawing, so they keep their share of the page.
  if (FPrinting)
    Size = static_cast<int>(
        std::clamp<std::int64_t>(Platform::Round(Size * FPrintMagnification * FPrintScale), INT_MIN, INT_MAX));
  if (InFrame(X, Y))
    (FPaintBox->*marker)(Size, X, Y, Color);
}

void TVelWorldGraph::SquarePoint(int Size, double X, double Y, TColor Color) {
  DrawMarker(&Velpaint::TVelPaintBox::SquarePoint, Size, X, Y, Color);
}
void TVelWorldGraph::TrianglePoint(int Size, double X, double Y, TColor Color) {
  DrawMarker(&Velpaint::TVelPaintBox::TrianglePoint, Size, X, Y, Color);
}
void TVelWorldGraph::CirclePoint(int Size, double X, double Y, TColor Color) {
  DrawMarker(&Velpaint::TVelPaintBox::CirclePoint, Size, X, Y, Color);
}
void TVelWorldGraph::EmptySquarePoint(int Size, double X, double Y, TColor Color) {
  DrawMarker(&Velpaint::TVelPaintBox::EmptySquarePoint, Size, X, Y, Color);
}
void TVelWorldGraph::EmptyTrianglePoint(int Size, double X, double Y, TColor Color) {
  DrawMarker(&Velpaint::TVelPaintBox::EmptyTrianglePoint, Size, X, Y, Color);
}
void TVelWorldGraph::EmptyCirclePoint(int Size, double X, double Y, TColor Color) {
  DrawMarker(&Velpaint::TVelPaintBox::EmptyCirclePoint, Size, X, Y, Color);
}
void TVelWorldGraph::CrossPoint(int Size, double X, double Y, TColor Color) {
  DrawMarker(&Velpaint::TVelPaintBox::CrossPoint, Size, X, Y, Color);
}

void TVelWorldGraph::SetPen(TColor Color, TPenMode Mode, TPenStyle Style, int Width) {
  FPaintBox->SetPen(Color, Mode, Style, Width);
}

void TVelWorldGraph::ResetPen() { FPaintBox->ResetPen(); }

} // namespace Velgraph
