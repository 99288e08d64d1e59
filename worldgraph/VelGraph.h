#pragma once

// The world graph: a bevelled panel holding a world paint box between two rulers. Applications
// draw on it in world units; it keeps what they draw inside the visible world rectangle (the
// frame), zooms by rubber band with a history, measures distances and shows a crosshair.

#include <array>
#include <cstdint>
#include <memory>
#include <paintbox/Velpaint.h>
#include <platform/controls/CustomPanel.h>
#include <vector>

namespace Velgraph {

using Platform::TCanvas;
using Platform::TColor;
using Platform::TPenMode;
using Platform::TPenStyle;
using Platform::TPoint;
using Velpaint::TXIncrease;
using Velpaint::TYIncrease;

// A world point, X then Y. Left uninitialised by default so that the clipper's buffers cost
// nothing to set up; write `TWorldPoint p{}` for a zero point.
struct TWorldPoint {
  double X;
  double Y;
  friend constexpr bool operator==(const TWorldPoint &, const TWorldPoint &) = default;
};

// Every polygon of the graph lives in one of these, with a separate count of the points in use.
constexpr int MaxPolygonPoints = 1000;
using TWorldPointArray = std::array<TWorldPoint, MaxPolygonPoints>;

enum class THRulerPosition : std::uint8_t { hrpTop, hrpBottom, hrpHidden };
enum class TVRulerPosition : std::uint8_t { vrpLeft, vrpRight, vrpHidden };
using enum THRulerPosition;
using enum TVRulerPosition;

// The frame edge one clipping pass works against, with the whole frame.
enum class TEdgeKind : std::uint8_t { ekBottom, ekRight, ekTop, ekLeft };
using enum TEdgeKind;
struct TEdge {
  TEdgeKind Kind = ekLeft;
  double XMin = 0;
  double XMax = 0;
  double YMin = 0;
  double YMax = 0;
};

// The angle of the vector (DX, DY) in radians, 0 up to 2 pi; a zero component counts as 1e-10,
// so no vector lies exactly on an axis. NaN gives 0.
double PolarAngle(double DX, double DY);
// Where the ray from the centre at angle T meets the ellipse of semi-axes A (along X) and B,
// relative to the centre.
TWorldPoint EllipsePointAtAngle(double A, double B, double T);

class TShape;
enum class TShapeKind : std::uint8_t;

class TVelWorldGraph : public Platform::TCustomPanel {
public:
  explicit TVelWorldGraph(Platform::TComponent *AOwner);
  ~TVelWorldGraph() override;

  // Lays out the rulers and the paint box, establishes the mapping, draws the shapes, calls
  // OnPaint and shows the off-screen picture.
  void Paint() override;

  // The frame: the world window shown. Setting a bound does not repaint.
  double XMin() const;
  double XMax() const;
  double YMin() const;
  double YMax() const;
  void SetXMin(double v);
  void SetXMax(double v);
  void SetYMin(double v);
  void SetYMax(double v);
  bool Proportional() const { return FPaintBox->Proportional(); }
  void SetProportional(bool b) { FPaintBox->SetProportional(b); }

  Velpaint::TVelPaintBox *PaintBox() const { return FPaintBox; }
  TCanvas *DrawingCanvas() const { return FDrawingCanvas; }

  // Frame tests and line clipping.
  bool InFrame(double X, double Y) const;
  // Draws the visible part of the section FLineX1, FLineY1 - FLineX2, FLineY2 through the
  // paint box and leaves the paint box's pen at the section's end.
  void DrawLine();
  // Whether the section's line meets the frame line y = YMin (or YMax, x = XMin, x = XMax)
  // inside the frame; the crossing's free coordinate goes to the out argument.
  bool LineSectionInterceptsYMinLine(double &X);
  bool LineSectionInterceptsYMaxLine(double &X);
  bool LineSectionInterceptsXMinLine(double &Y);
  bool LineSectionInterceptsXMaxLine(double &Y);
  // The rectangle with these opposite corners shares a point with the frame.
  bool PartOfFrameShows(double X1, double Y1, double X2, double Y2) const;
  // The rectangle from lower-left (X1, Y1) to upper-right (X2, Y2) lies in the frame; the
  // corners are compared in the order given.
  bool AllOfFrameShows(double X1, double Y1, double X2, double Y2) const;

  // The polygon In[0..Count-1] clipped to the frame into Out[0..OutCount-1]. Counts above the
  // array's size are cut to it. A result of more points than the array holds is thinned by
  // dropping the vertices that change the figure least, so it always fits.
  void ClipPolygon(const TWorldPointArray &In, int Count, TWorldPointArray &Out, int &OutCount);

  // World drawing, clipped to the frame.
  void WorldMoveTo(double X, double Y);
  void WorldLineTo(double X, double Y);
  void WorldArc(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4);
  void WorldEllipse(double X1, double Y1, double X2, double Y2);
  void WorldQuad4(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4, TColor Color,
                  bool Outline);
  void WorldQuad8(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4, double X5,
                  double Y5, double X6, double Y6, double X7, double Y7, double X8, double Y8, TColor Color,
                  bool Outline);
  void WorldPolygon(std::uint16_t Count, const TWorldPointArray &Points, TColor OutlineColor, TColor FillColor,
                    bool Outline);
  // Markers: drawn whole when their centre lies in the frame; scaled with the drawing while
  // printing.
  void SquarePoint(int Size, double X, double Y, TColor Color);
  void TrianglePoint(int Size, double X, double Y, TColor Color);
  void CirclePoint(int Size, double X, double Y, TColor Color);
  void EmptySquarePoint(int Size, double X, double Y, TColor Color);
  void EmptyTrianglePoint(int Size, double X, double Y, TColor Color);
  void EmptyCirclePoint(int Size, double X, double Y, TColor Color);
  void CrossPoint(int Size, double X, double Y, TColor Color);
  void SetPen(TColor Color, TPenMode Mode, TPenStyle Style, int Width);
  void ResetPen();

  // Shapes formed point by point, drawn at every paint before OnPaint.
  // Adds an empty shape, makes it the current one and returns its 1-based number.
  int AddShape(TShapeKind Kind);
  // The current shape's first point. Does nothing while there is no shape.
  void BeginShape(double X, double Y);
  // Adds a point to the current shape; Close decides whether a polygon is drawn closed. False
  // for lines and ellipses (and when there is no shape), true for the other kinds.
  bool ContinueShape(double X, double Y, bool Close);
  int ShapeCount() const { return static_cast<int>(FShapes.size()); }
  // The shape of 1-based number n, or null.
  const TShape *Shape(int n) const;

  // The current line section in world units (the graph's pen is at its start).
  double FLineX1 = 0, FLineY1 = 0, FLineX2 = 0, FLineY2 = 0;
  // The printing state the markers read.
  bool FPrinting = false;
  double FPrintScale = 0;
  double FPrintMagnification = 0;

private:
  // The frame's bounds as read now, each axis ordered so that a reversed window still has an
  // inside.
  struct TFrame {
    double XMin, XMax, YMin, YMax;
  };
  TFrame Frame() const;
  // Work buffers of the polygon clipper, made once. A pass outputs at most half again as many
  // points as it reads (each run of outside points gives two crossings), so four passes over
  // MaxPolygonPoints stay within Capacity.
  struct TClipBuffers {
    static constexpr int Capacity = 5063;
    TWorldPoint First[Capacity];
    TWorldPoint Second[Capacity];
  };

  void DrawMarker(void (Velpaint::TVelPaintBox::*marker)(int, double, double, TColor), int Size, double X, double Y,
                  TColor Color);
  void DrawEllipseRing(double CX, double CY, double A, double B);
  void DrawShapes();
  TShape *CurrentShape() const;

  // Stand-in for the rulers' record of the window shown.
  double FRangeXMin = 0, FRangeXMax = 10, FRangeYMin = 0, FRangeYMax = 10;

  TCanvas *FDrawingCanvas = nullptr;
  Velpaint::TVelPaintBox *FPaintBox = nullptr;
  std::vector<std::unique_ptr<TShape>> FShapes;
  int FCurrentShape = 0;
  std::unique_ptr<TClipBuffers> FClipBuffers;
  std::unique_ptr<Velpaint::TWPointArray> FPaintBoxPolygon;
};

} // namespace Velgraph
