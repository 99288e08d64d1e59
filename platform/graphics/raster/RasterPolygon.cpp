#include <platform/graphics/raster/RasterOps.h>

// Placeholder until the polygon filler lands: draws nothing.
namespace Platform::Raster {
void FillPolygon(const TRasterSurface &, const TClip &, const TFill &, std::span<const TPoint>, TPoint) {}
} // namespace Platform::Raster
