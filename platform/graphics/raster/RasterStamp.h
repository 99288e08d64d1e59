#pragma once

// Small figures drawn from cached span lists. A figure with integer vertices covers the same pixels
// wherever it is moved by whole pixels (the fill is sampled at pixel centres, the outline is
// Bresenham's, an ellipse's rows depend only on its box), so its pixels can be computed once as
// spans relative to a reference point and stamped at every later place. Markers are the case
// this is for: thousands of figures of one shape, one colour and pmCopy.

#include <cstdint>
#include <platform/graphics/raster/RasterOps.h>
#include <span>

namespace Platform::Raster {

// A figure whose outline (a cosmetic solid pen) and inside (a solid brush), where present, are
// plain stores of one pixel. Writing the union of their pixels once then leaves exactly what
// filling and then outlining leaves.
struct TStampPaint {
  std::uint32_t Pixel = 0;
  bool Outline = false;
  bool Fill = false;
};

// Draws the polygon through points + origin (alternate-rule inside, closed outline) from its
// stamp, or returns false having drawn nothing: the caller then draws it the ordinary way. Only
// polygons of 3 to 8 vertices within a 64 x 64 box that have been drawn before on this thread
// are stamped, so figures that never repeat cost a lookup and nothing more.
bool StampPolygon(const TRasterSurface &surface, const TClip &clip, TStampPaint paint, std::span<const TPoint> points,
                  TPoint origin);
// The ellipse inscribed in the ordered box, on the same terms; boxes up to 64 x 64.
bool StampEllipse(const TRasterSurface &surface, const TClip &clip, TStampPaint paint, const TBox64 &box);

// Stamps only make figures faster. Tests switch them off on their thread to draw the same
// figures directly and compare, and count the stamps built to know that stamps were drawn: a
// figure is drawn from its stamp as soon as the stamp is built.
void SetStampsEnabled(bool enabled);
std::uint64_t StampsBuilt();

} // namespace Platform::Raster
