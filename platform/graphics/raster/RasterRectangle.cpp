#include <platform/graphics/raster/RasterOps.h>

#include <algorithm>

// Placeholder until the rectangle rasterizer lands: fills only, no outline.
namespace Platform::Raster {
void DrawRectangle(const TRasterSurface &surface, const TClip &clip, const TBox64 &box, const TStroke *,
                   const TFill *fill) {
  if (!fill)
    return;
  const int x0 = static_cast<int>(std::max<i64>(box.Left, clip.Left)), x1 = static_cast<int>(std::min<i64>(box.Right, clip.Right));
  const int y0 = static_cast<int>(std::max<i64>(box.Top, clip.Top)), y1 = static_cast<int>(std::min<i64>(box.Bottom, clip.Bottom));
  for (int y = y0; y < y1 && x0 < x1; ++y)
    FillSpan(surface, y, x0, x1, *fill);
}
} // namespace Platform::Raster
