#include <platform/graphics/raster/RasterOps.h>

#include <algorithm>
#include <cstring>

namespace Platform::Raster {

namespace {

// Walks the source index of nearest-neighbour sampling along one axis: destination pixel
// d (from the start of dest) samples source floor((2d + 1) * srcLength / (2 * destLength)),
// the source pixel under the destination pixel's centre.
class TSampleWalk {
public:
  TSampleWalk(i64 destLength, i64 srcLength, i64 firstStep) : FDen(2 * destLength), FStep(2 * srcLength) {
    const i128 num = static_cast<i128>(2 * firstStep + 1) * srcLength;
    FIndex = static_cast<i64>(num / FDen);
    FRem = static_cast<i64>(num % FDen);
  }
  i64 Index() const { return FIndex; }
  void Next() {
    FRem += FStep;
    FIndex += FRem / FDen;
    FRem %= FDen;
  }

private:
  i64 FDen, FStep, FIndex = 0, FRem = 0;
};

} // namespace

void BlitImage(const TRasterSurface &surface, const TClip &clip, const TBox64 &dest, const TRasterSurface &image) {
  const int x0 = static_cast<int>(std::max<i64>(dest.Left, clip.Left));
  const int x1 = static_cast<int>(std::min<i64>(dest.Right, clip.Right));
  const int y0 = static_cast<int>(std::max<i64>(dest.Top, clip.Top));
  const int y1 = static_cast<int>(std::min<i64>(dest.Bottom, clip.Bottom));
  if (x0 >= x1 || y0 >= y1)
    return;
  const i64 destWidth = dest.Right - dest.Left, destHeight = dest.Bottom - dest.Top;
  TSampleWalk row(destHeight, image.Height, y0 - dest.Top);
  if (destWidth == image.Width) {
    const i64 sx = x0 - dest.Left;
    for (int y = y0; y < y1; ++y, row.Next())
      std::memcpy(surface.Row(y) + x0, image.Row(static_cast<int>(row.Index())) + sx,
                  static_cast<std::size_t>(x1 - x0) * sizeof(std::uint32_t));
    return;
  }
  for (int y = y0; y < y1; ++y, row.Next()) {
    const std::uint32_t *src = image.Row(static_cast<int>(row.Index()));
    std::uint32_t *dst = surface.Row(y);
    TSampleWalk column(destWidth, image.Width, x0 - dest.Left);
    for (int x = x0; x < x1; ++x, column.Next())
      dst[x] = src[column.Index()];
  }
}

} // namespace Platform::Raster
