#pragma once

// The raster backend's inner layer: everything here works in device pixels on a surface, with
// the clip already intersected with the surface and the canvas origin already added. Figures
// arrive in 64-bit coordinates so that any 32-bit input plus any origin is exact; each
// function clips once and then runs an unchecked integer loop.

#include <cstdint>
#include <platform/graphics/Brush.h>
#include <platform/graphics/Pen.h>
#include <platform/graphics/RasterSurface.h>
#include <platform/graphics/Types.h>
#include <span>

namespace Platform::Raster {

using i64 = std::int64_t;
// Products of two 64-bit coordinates, for exact clipping of any 32-bit input.
__extension__ typedef __int128 i128;

struct TPoint64 {
  i64 X = 0;
  i64 Y = 0;
};

// An ordered box, right and bottom exclusive.
struct TBox64 {
  i64 Left = 0;
  i64 Top = 0;
  i64 Right = 0;
  i64 Bottom = 0;
};

// The clip in device pixels: inside the surface and not empty.
struct TClip {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

// Every binary raster operation as dst = (dst & And) ^ Xor, fixed once per primitive from the
// pen mode and colour, so that inner loops carry no switch. And == 0 is a plain store.
struct TRop {
  std::uint32_t And = 0;
  std::uint32_t Xor = 0;
  bool IsCopy() const { return And == 0; }
  std::uint32_t Apply(std::uint32_t dst) const { return (dst & And) ^ Xor; }
};

TRop MakeRop(TPenMode mode, std::uint32_t penPixel);

// A fill: the raster operation and, for hatch styles, the 8x8 pattern (bit x & 7 of row y & 7
// set where the hatch shows; pixels between the hatch lines are left alone).
struct TFill {
  TRop Rop;
  const std::uint8_t *Hatch = nullptr;
};

// The pattern of a hatch brush style, or nullptr for bsSolid.
const std::uint8_t *HatchPattern(TBrushStyle style);

// Fills [x0, x1) of row y, already clipped (x0 < x1).
void FillSpan(const TRasterSurface &surface, int y, int x0, int x1, const TFill &fill);

// A pen as the inner layer sees it. Width <= 1 is cosmetic (one pixel, styled); wider pens are
// solid with round caps and joins.
struct TStroke {
  TRop Rop;
  TPenStyle Style = psSolid;
  int Width = 1;
  bool IsCosmetic() const { return Width <= 1; }
};

// The on/off lengths of a cosmetic style in pixels, and their sum; solid styles return an empty
// pattern.
struct TDashPattern {
  std::uint8_t Lengths[6] = {};
  int Count = 0;
  int Cycle = 0;
};
TDashPattern DashPatternOf(TPenStyle style);

// Lines (RasterLine.cpp). A line runs from a to b without b's pixel; dashPhase is the position in
// the dash cycle and comes back advanced by the line's length in pixels (its major-axis steps).
// Lines accept an empty clip: they draw nothing then but still advance dashPhase.
void StrokeLine(const TRasterSurface &surface, const TClip &clip, const TStroke &pen, TPoint64 a, TPoint64 b,
                int &dashPhase);
// Joined lines through points + origin; when closed, back to the first point as well.
void StrokePolyline(const TRasterSurface &surface, const TClip &clip, const TStroke &pen,
                    std::span<const TPoint> points, TPoint origin, bool closed, int &dashPhase);

// Shapes (RasterPolygon.cpp, RasterEllipse.cpp, RasterRectangle.cpp). pen or fill may be null for
// "no outline" / "no fill". Rectangles and ellipses write each pixel at most once (the fill stops
// inside the outline), so a single pmXor figure shows no seams; every raster operation of the
// form above is an involution or idempotent per pixel, so any figure drawn twice with pmXor or
// pmNot vanishes.
void FillPolygon(const TRasterSurface &surface, const TClip &clip, const TFill &fill, std::span<const TPoint> points,
                 TPoint origin);
void DrawRectangle(const TRasterSurface &surface, const TClip &clip, const TBox64 &box, const TStroke *pen,
                   const TFill *fill);
void DrawEllipse(const TRasterSurface &surface, const TClip &clip, const TBox64 &box, const TStroke *pen,
                 const TFill *fill);
void DrawArc(const TRasterSurface &surface, const TClip &clip, const TBox64 &box, TPoint64 start, TPoint64 end,
             const TStroke &pen);

// Images (RasterImage.cpp): nearest-neighbour copy of the image into dest.
void BlitImage(const TRasterSurface &surface, const TClip &clip, const TBox64 &dest, const TRasterSurface &image);

} // namespace Platform::Raster
