#include <platform/graphics/raster/RasterOps.h>

// Placeholder until the line rasterizer lands: draws nothing.
namespace Platform::Raster {
void StrokeLine(const TRasterSurface &, const TClip &, const TStroke &, TPoint64, TPoint64, int &) {}
void StrokePolyline(const TRasterSurface &, const TClip &, const TStroke &, std::span<const TPoint>, TPoint, bool,
                    int &) {}
} // namespace Platform::Raster
