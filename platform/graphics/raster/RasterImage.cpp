#include <platform/graphics/raster/RasterOps.h>

#include <algorithm>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Copies n pixels between rows that do not overlap. A loop of our own: for rows of a few
// kilobytes the C library's memcpy takes `rep movsb`, which is several times slower than plain
// vector moves on some processors.
void CopyPixels(std::uint32_t *dst, const std::uint32_t *src, std::size_t n) {
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= n; i += 16) {
    const auto *s = reinterpret_cast<const __m128i *>(src + i);
    auto *d = reinterpret_cast<__m128i *>(dst + i);
    const __m128i a = _mm_loadu_si128(s), b = _mm_loadu_si128(s + 1), c = _mm_loadu_si128(s + 2),
                  e = _mm_loadu_si128(s + 3);
    _mm_storeu_si128(d, a);
    _mm_storeu_si128(d + 1, b);
    _mm_storeu_si128(d + 2, c);
    _mm_storeu_si128(d + 3, e);
  }
#endif
  for (; i < n; ++i)
    dst[i] = src[i];
}

// True when the image's pixels and the surface's share memory: an image drawn onto its own
// surface.
bool Overlaps(const TRasterSurface &surface, const TRasterSurface &image) {
  const auto extent = [](const TRasterSurface &s) {
    const std::uint32_t *first = s.Row(s.Stride >= 0 ? 0 : s.Height - 1);
    const std::uint32_t *last = s.Row(s.Stride >= 0 ? s.Height - 1 : 0) + s.Width;
    return std::pair(first, last);
  };
  const auto [a0, a1] = extent(surface);
  const auto [b0, b1] = extent(image);
  return a0 < b1 && b0 < a1;
}

void Blit(const TRasterSurface &surface, const TClip &clip, const TBox64 &dest, const TRasterSurface &image) {
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
      CopyPixels(surface.Row(y) + x0, image.Row(static_cast<int>(row.Index())) + sx, static_cast<std::size_t>(x1 - x0));
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

// An image drawn onto the surface it lies on is drawn from a copy, so every pixel read is one
// the drawing has not yet overwritten, as if the image had been taken before it began.
void BlitFromCopy(const TRasterSurface &surface, const TClip &clip, const TBox64 &dest, const TRasterSurface &image) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height));
  const TRasterSurface copy{pixels.data(), image.Width, image.Height, image.Width};
  for (int y = 0; y < image.Height; ++y)
    std::copy_n(image.Row(y), image.Width, copy.Row(y));
  Blit(surface, clip, dest, copy);
}

} // namespace

void BlitImage(const TRasterSurface &surface, const TClip &clip, const TBox64 &dest, const TRasterSurface &image) {
  if (image.IsEmpty())
    return;
  if (Overlaps(surface, image))
    BlitFromCopy(surface, clip, dest, image);
  else
    Blit(surface, clip, dest, image);
}

} // namespace Platform::Raster
