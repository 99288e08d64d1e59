#include <platform/graphics/raster/RasterOps.h>

// Placeholder until the ellipse rasterizer lands: draws nothing.
namespace Platform::Raster {
void DrawEllipse(const TRasterSurface &, const TClip &, const TBox64 &, const TStroke *, const TFill *) {}
void DrawArc(const TRasterSurface &, const TClip &, const TBox64 &, TPoint64, TPoint64, const TStroke &) {}
} // namespace Platform::Raster
