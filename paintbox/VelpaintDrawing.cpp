#include <paintbox/Velpaint.h>

#include <algorithm>
#include <wgraph/Wgraph.h>

namespace Velpaint {

using namespace Platform;

void TVelPaintBox::WorldMoveTo(double x, double y) { Wgraph::WMoveTo(DrawCanvas, x, y); }

void TVelPaintBox::WorldLineTo(double x, double y) { Wgraph::WLineTo(DrawCanvas, x, y); }

void TVelPaintBox::WorldArc(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4) {
  Wgraph::WArc(DrawCanvas, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TVelPaintBox::WorldEllipse(double x1, double y1, double x2, double y2) {
  Wgraph::WEllipse(DrawCanvas, x1, y1, x2, y2);
}

void TVelPaintBox::WorldQuad4(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4,
                              TColor Color, bool Outline) {
  Wgraph::wquad4(DrawCanvas, x1, y1, x2, y2, x3, y3, x4, y4, Color, Outline);
}

void TVelPaintBox::WorldQuad8(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4,
                              double x5, double y5, double x6, double y6, double x7, double y7, double x8, double y8,
                              TColor Color, bool Outline) {
  Wgraph::wquad8(DrawCanvas, x1, y1, x2, y2, x3, y3, x4, y4, x5, y5, x6, y6, x7, y7, x8, y8, Color, Outline);
}

void TVelPaintBox::WorldPolygon(std::uint16_t Count, const TWPointArray &Points, TColor OutlineColor, TColor FillColor,
                                bool Outline) {
  const int count = std::min<int>(Count, MaxPolygonPoints);
  if (count == 0)
    return;
  // Kept between calls: a fresh array would clear its 8 KB for every quadrilateral.
  static thread_local std::array<TPoint, MaxPolygonPoints> pixels;
  for (int i = 0; i < count; ++i)
    Wgraph::WorldToPC(Points[i].X, Points[i].Y, pixels[i].X, pixels[i].Y);
  TPen &pen = DrawCanvas->Pen();
  TBrush &brush = DrawCanvas->Brush();
  const TColor penColor = pen.Color(), brushColor = brush.Color();
  const TPenStyle penStyle = pen.Style();
  if (Outline)
    pen.SetColor(OutlineColor);
  else
    pen.SetStyle(psClear);
  // Setting a colour makes a clear brush solid; writing the style back keeps it clear, so a
  // clear brush only outlines.
  const TBrushStyle brushStyle = brush.Style();
  brush.SetColor(FillColor);
  brush.SetStyle(brushStyle);
  DrawCanvas->Polygon(pixels.data(), count - 1);
  pen.SetColor(penColor);
  brush.SetColor(brushColor);
  brush.SetStyle(brushStyle);
  pen.SetStyle(penStyle);
}

void TVelPaintBox::SquarePoint(int size, double x, double y, TColor color) {
  Wgraph::DrawSquarePoint(DrawCanvas, size, x, y, color);
}

void TVelPaintBox::TrianglePoint(int size, double x, double y, TColor color) {
  Wgraph::DrawTrianglePoint(DrawCanvas, size, x, y, color);
}

void TVelPaintBox::CirclePoint(int size, double x, double y, TColor color) {
  Wgraph::DrawCirclePoint(DrawCanvas, size, x, y, color);
}

void TVelPaintBox::EmptySquarePoint(int size, double x, double y, TColor color) {
  Wgraph::DrawEmptySquarePoint(DrawCanvas, size, x, y, color);
}

void TVelPaintBox::EmptyTrianglePoint(int size, double x, double y, TColor color) {
  Wgraph::DrawEmptyTrianglePoint(DrawCanvas, size, x, y, color);
}

void TVelPaintBox::EmptyCirclePoint(int size, double x, double y, TColor color) {
  Wgraph::DrawEmptyCirclePoint(DrawCanvas, size, x, y, color);
}

void TVelPaintBox::CrossPoint(int size, double x, double y, TColor color) {
  Wgraph::DrawCrossPoint(DrawCanvas, size, x, y, color);
}

void TVelPaintBox::SetPen(TColor color, TPenMode mode, TPenStyle style, int width) {
  TPen &pen = DrawCanvas->Pen();
  FSavedPenColor = pen.Color();
  FSavedPenMode = pen.Mode();
  FSavedPenStyle = pen.Style();
  FSavedPenWidth = pen.Width();
  pen.SetColor(color);
  pen.SetMode(mode);
  pen.SetStyle(style);
  pen.SetWidth(width);
}

void TVelPaintBox::ResetPen() {
  TPen &pen = DrawCanvas->Pen();
  pen.SetColor(FSavedPenColor);
  pen.SetMode(FSavedPenMode);
  pen.SetStyle(FSavedPenStyle);
  pen.SetWidth(FSavedPenWidth);
}

void TVelPaintBox::DrawCrossAt(TPenMode mode, int x, int y) {
  TCanvas *canvas = Canvas();
  const TPenMode saved = canvas->Pen().Mode();
  canvas->Pen().SetMode(mode);
  canvas->MoveTo(0, y);
  canvas->LineTo(Width(), y);
  canvas->MoveTo(x, 0);
  canvas->LineTo(x, Height());
  canvas->Pen().SetMode(saved);
}

} // namespace Velpaint
