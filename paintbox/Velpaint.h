#pragma once

// The world paint box: the drawing area of the world graph. It keeps the world window the
// application asked for, an optional zoom window, the axis directions and the choice of equal
// scales, establishes the process-wide world-to-device mapping whenever it paints, and draws in
// world units on the canvas it has chosen.

#include <array>
#include <cstdint>
#include <memory>
#include <platform/controls/PaintBox.h>
#include <platform/graphics/Pen.h>
#include <platform/pictures/Bitmap.h>
#include <platform/rtl/Export.h>

namespace Velpaint {

using Platform::TCanvas;
using Platform::TColor;
using Platform::TPenMode;
using Platform::TPenStyle;
using Platform::TPoint;

// A world point, X then Y (the same layout as the array unit's and the graph's points).
struct TWPoint {
  double X = 0;
  double Y = 0;
};

// The polygon argument of WorldPolygon: at most this many points are drawn.
constexpr int MaxPolygonPoints = 1000;
using TWPointArray = std::array<TWPoint, MaxPolygonPoints>;

// Which way world x grows on the device: LeftToRight puts the smaller x bound at column 0.
enum class TXIncrease : std::uint8_t { LeftToRight, RightToLeft };
// Which way world y grows: BottomToTop puts the larger y bound at row 0.
enum class TYIncrease : std::uint8_t { BottomToTop, TopToBottom };
using enum TXIncrease;
using enum TYIncrease;

class VELGRAPH_API TVelPaintBox : public Platform::TPaintBox {
public:
  // The owner (the world graph) also becomes the parent when it is a windowed control.
  explicit TVelPaintBox(Platform::TComponent *AOwner);
  ~TVelPaintBox() override;

  // Chooses the drawing canvas and, while RecalcOnPaint is set, clears the box and
  // re-establishes its mapping. Draws nothing else: the owner draws through the operations below.
  void Paint() override;
  // Tells an owner that implements IVelPaintBoxOwner that the pointer has left the box.
  void CMMouseLeave() override;

  // The asked-for window; a changed value paints at once. No ordering check.
  void SetXMin(double value);
  void SetXMax(double value);
  void SetYMin(double value);
  void SetYMax(double value);
  double XMin() const { return FXMin; }
  double XMax() const { return FXMax; }
  double YMin() const { return FYMin; }
  double YMax() const { return FYMax; }

  bool Proportional() const { return FProportional; }
  // Clears the box and establishes the view and the mapping for the box's own pixels.
  void SetProportional(bool value);
  // The same for a printer: the device window is the box's size times factor; clears nothing.
  void SetPrintProportional(bool value, double factor);

  // Shows the window with these opposite corners instead of the asked-for one (one level only).
  void Zoom(double x1, double y1, double x2, double y2);
  void ResetZoom();
  bool Zoomed() const { return FZoomed; }
  double ZoomXMin() const { return FZoomXMin; }
  double ZoomXMax() const { return FZoomXMax; }
  double ZoomYMin() const { return FZoomYMin; }
  double ZoomYMax() const { return FZoomYMax; }

  // The world point of a pixel under the mapping in force; (0, 0) while there is no mapping.
  TWPoint Wxy(int x, int y) const;
  // The pixel of a world point under the mapping in force.
  TPoint PCxy(double x, double y) const;

  // World drawing on DrawCanvas.
  void WorldMoveTo(double x, double y);
  void WorldLineTo(double x, double y);
  void WorldArc(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4);
  void WorldEllipse(double x1, double y1, double x2, double y2);
  void WorldQuad4(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4, TColor Color,
                  bool Outline);
  void WorldQuad8(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4, double x5,
                  double y5, double x6, double y6, double x7, double y7, double x8, double y8, TColor Color,
                  bool Outline);
  // Points 0..Count-1 filled with FillColor (a clear brush stays clear) and outlined with
  // OutlineColor, or not outlined at all. Counts beyond the array are cut to its size.
  void WorldPolygon(std::uint16_t Count, const TWPointArray &Points, TColor OutlineColor, TColor FillColor,
                    bool Outline);
  void SquarePoint(int size, double x, double y, TColor color);
  void TrianglePoint(int size, double x, double y, TColor color);
  void CirclePoint(int size, double x, double y, TColor color);
  void EmptySquarePoint(int size, double x, double y, TColor color);
  void EmptyTrianglePoint(int size, double x, double y, TColor color);
  void EmptyCirclePoint(int size, double x, double y, TColor color);
  void CrossPoint(int size, double x, double y, TColor color);

  // Saves DrawCanvas's pen (one slot) and sets a new one; ResetPen puts the saved one back.
  void SetPen(TColor color, TPenMode mode, TPenStyle style, int width);
  void ResetPen();
  // A cross over the whole box through pixel (x, y), on the box's own canvas (never the bitmap
  // or a printer), in the given pen mode; drawn twice with pmNot or pmXor it disappears.
  void DrawCrossAt(TPenMode mode, int x, int y);

  // The effective window: the asked-for or zoom window after the proportional adjustment.
  double ViewXMin = 0, ViewXMax = 10, ViewYMin = 0, ViewYMax = 10;
  TXIncrease XIncrease = LeftToRight;
  TYIncrease YIncrease = BottomToTop;
  // Paint clears the box and re-establishes the mapping only while this is set.
  bool RecalcOnPaint = true;
  // Where every world drawing goes: the box's own canvas, its bitmap's, or a printer's while
  // the owner prints. Borrowed, never freed.
  TCanvas *DrawCanvas = nullptr;
  // The off-screen picture the owner copies to the screen. It lives exactly as long as the box
  // (DrawCanvas may point at its canvas), so it can be resized but never reset or replaced.
  const std::unique_ptr<Platform::TBitmap> Bitmap = std::make_unique<Platform::TBitmap>();

private:
  void ChooseCanvas();
  // The view calculation shared by the screen and the printer: the device window's size.
  void CalculateView(bool value, int deviceWidth, int deviceHeight);
  void SetWindowValue(double &field, double value);
  // The owner's InteractiveApplication when it implements IVelPaintBoxOwner; false otherwise.
  bool OwnerIsInteractive() const;

  double FXMin = 0, FXMax = 10, FYMin = 0, FYMax = 10;
  double FZoomXMin = 0, FZoomXMax = 0, FZoomYMin = 0, FZoomYMax = 0;
  bool FZoomed = false;
  bool FProportional = true;
  TColor FSavedPenColor = 0;
  TPenMode FSavedPenMode = Platform::pmBlack;
  TPenStyle FSavedPenStyle = Platform::psSolid;
  int FSavedPenWidth = 0;
};

} // namespace Velpaint
