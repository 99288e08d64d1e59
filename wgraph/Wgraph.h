#pragma once

// The process-wide world-to-device mapping and drawing in world units on any canvas.

#include <cstdint>
#include <platform/graphics/Canvas.h>
#include <platform/graphics/Color.h>
#include <platform/graphics/Font.h>
#include <platform/rtl/Export.h>
#include <string>

namespace Alloc {
struct TWPoint;
}

namespace Wgraph {

using Platform::TCanvas;
using Platform::TColor;

// A world window; the four Adjusted fields are carried along and never read.
struct TWorldCoords {
  double Left = 0, Right = 0, Top = 0, Bottom = 0;
  double AdjustedLeft = 0, AdjustedRight = 0, AdjustedTop = 0, AdjustedBottom = 0;
};

// A device window in pixels, paired with the world window field by field.
struct TPCCoords {
  int Left = 0, Right = 0, Top = 0, Bottom = 0;
};

// The mapping: pixel x = aa * world x + bb, pixel y = cc * world y + dd. There is one in the
// process; whoever draws establishes it first.
VELGRAPH_API inline double aa = 0, bb = 0, cc = 0, dd = 0;
VELGRAPH_API inline int PCLeft = 0, PCRight = 0, PCTop = 0, PCBottom = 0;
VELGRAPH_API inline double WorldLeft = 0, WorldRight = 0, WorldTop = 0, WorldBottom = 0;
// Public for applications; nothing in the library gives them a meaning.
VELGRAPH_API inline double paa = 0, pbb = 0, pcc = 0, pdd = 0;
VELGRAPH_API inline double AdjustedWorldLeft = 0, AdjustedWorldRight = 0, AdjustedWorldTop = 0, AdjustedWorldBottom = 0;
VELGRAPH_API inline double VelGMagnification = 0;

// Pixels of a world point, always within -32767..32767; points far outside the 16-bit range
// land at +-21844.
VELGRAPH_API void WorldToPC(double x, double y, int &px, int &py);
// The world point of a pixel; only meaningful once a mapping exists (aa and cc non-zero).
VELGRAPH_API void PCToWorld(int px, int py, double &x, double &y);
VELGRAPH_API void WorldSystem(TWorldCoords world, TPCCoords device);
// Margins are fractions of the window's width and height. Does not touch aa..dd.
VELGRAPH_API void SetWorldWindow(double left, double right, double bottom, double top, double leftMargin,
                                 double rightMargin, double bottomMargin, double topMargin);
VELGRAPH_API void SetPCWindow(int left, int right, int bottom, int top);

// Drawing primitives in world units.
VELGRAPH_API void WMoveTo(TCanvas *canvas, double x, double y);
VELGRAPH_API void WLineTo(TCanvas *canvas, double x, double y);
VELGRAPH_API void WEllipse(TCanvas *canvas, double x1, double y1, double x2, double y2);
VELGRAPH_API void WArc(TCanvas *canvas, double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                       double y4);
// A four-node element filled with Color; outlined with the current pen when Outline is set.
VELGRAPH_API void wquad4(TCanvas *canvas, double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                         double y4, TColor Color, bool Outline);
// An eight-node element: corners 1-4 in order, then mid-side nodes 5 (side 1-2) to 8 (side 4-1);
// each side is the parabola through its corners and mid node.
VELGRAPH_API void wquad8(TCanvas *canvas, double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                         double y4, double x5, double y5, double x6, double y6, double x7, double y7, double x8,
                         double y8, TColor Color, bool Outline);

// Point markers of a fixed pixel size.
enum class pointType : std::uint8_t {
  square,
  triangle,
  circle,
  emptysquare,
  emptytriangle,
  emptycircle,
  crosspoint,
  nothing
};

// The format of one data series.
struct TLineFormat {
  std::uint16_t NumPoints = 0;
  pointType PointKind = pointType::nothing;
  TColor PointColor = 0;
  std::int32_t PointSize = 0;
  TColor LineColor = 0;
  std::int32_t LineWidth = 0;
};

VELGRAPH_API void DrawSquarePoint(TCanvas *canvas, int size, double x, double y, TColor color);
VELGRAPH_API void DrawTrianglePoint(TCanvas *canvas, int size, double x, double y, TColor color);
VELGRAPH_API void DrawCirclePoint(TCanvas *canvas, int size, double x, double y, TColor color);
VELGRAPH_API void DrawEmptySquarePoint(TCanvas *canvas, int size, double x, double y, TColor color);
VELGRAPH_API void DrawEmptyTrianglePoint(TCanvas *canvas, int size, double x, double y, TColor color);
VELGRAPH_API void DrawEmptyCirclePoint(TCanvas *canvas, int size, double x, double y, TColor color);
VELGRAPH_API void DrawCrossPoint(TCanvas *canvas, int size, double x, double y, TColor color);

// A polyline through points 1..NumPoints of the array (element 1 at index 0), then a marker at
// each point. Leaves the pen with LineColor and width 1.
VELGRAPH_API void ScatterPlotData(TCanvas *canvas, const Alloc::TWPoint *points, TLineFormat format);

// A pair of axes: both functions draw from the same record, so the axes meet at the origin.
struct TAxis {
  std::int32_t OffsetX = 0; // pixels added to every converted point
  std::int32_t OffsetY = 0;
  double XOrigin = 0; // where the X axis starts and the Y axis stands
  double YOrigin = 0; // where the Y axis starts and the X axis stands
  double XEnd = 0;
  double YEnd = 0;
  double Step = 0; // world distance between ticks, on both axes
  bool MinorTicks = false;
  bool ShowLabels = false;
  bool ShowGrid = false;
  std::int32_t AxisWidth = 1;
  std::int32_t TickWidth = 1;
  TColor AxisColor = 0;
  TColor TickColor = 0;
  TColor FontColor = 0;
  Platform::TFontName FontName;
  std::int32_t FontSize = 8;
  Platform::TFontStyles FontStyle;
  std::int32_t Decimals = 0;
  std::string Title; // empty: no title
  std::int32_t TitleSize = 10;
};

// The axis line, ticks at every Step (none at the origin), half-step ticks, labels, grid lines
// up to YEnd and a title under the middle. A Step that is not positive, or so small that the
// axis would carry more than 10000 ticks, draws the line and the title only. Leaves the pen,
// brush and font as the drawing last set them.
VELGRAPH_API void DrawXAxis(TCanvas *canvas, const TAxis &axis);
// The same along y, with labels to the left and the title written upwards beside the axis.
VELGRAPH_API void DrawYAxis(TCanvas *canvas, const TAxis &axis);

} // namespace Wgraph
