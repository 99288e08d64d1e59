#pragma once

// Private to the line rasterizer: the pieces RasterLine.cpp shares with RasterWideLine.cpp.

#include <platform/graphics/raster/RasterOps.h>

namespace Platform::Raster {

// Coordinates of a line must lie within +-CoordinateLimit. Any 32-bit point plus any 32-bit origin
// is far inside; the limit keeps every product the clipping forms inside 128 bits. Lines with a
// point beyond it draw nothing.
constexpr i64 CoordinateLimit = i64{1} << 36;

inline bool IsInRange(TPoint64 p) {
  return p.X >= -CoordinateLimit && p.X <= CoordinateLimit && p.Y >= -CoordinateLimit && p.Y <= CoordinateLimit;
}

// Pens wider than this draw as if this wide: no surface comes near it, and the bound keeps the
// capsule arithmetic inside 128 bits.
constexpr int MaxWideWidth = 1 << 24;

// One segment of a pen at least 2 pixels wide: every pixel whose centre lies within width / 2 of
// the segment between the end pixels, caps included, written once. Odd widths centre the segment
// on the end pixels' centres; even widths on their top-left corners, so that an axis-aligned
// segment is exactly width pixels thick. A zero-length segment draws nothing.
void StrokeWideSegment(const TRasterSurface &surface, const TClip &clip, TRop rop, int width, TPoint64 a, TPoint64 b);

} // namespace Platform::Raster
