#pragma once

// Private to the shape rasterizers: writing a clipped span with a fill or a pen, and the exact
// integer helpers their span computations share.

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <platform/graphics/raster/IntegerMath.h>
#include <platform/graphics/raster/RasterOps.h>

namespace Platform::Raster {

// Stores pixel into n consecutive pixels. Spans of figures are short, so the loop has no scalar
// tail: the last four pixels are stored once more, overlapping, which a plain store allows. The
// loop stores eight pixels a turn, which halves its overhead on the spans of mid-sized figures.
inline void StorePixels(std::uint32_t *p, int n, std::uint32_t pixel) {
#if defined(__SSE2__)
  if (n >= 4) {
    const __m128i four = _mm_set1_epi32(static_cast<int>(pixel));
    std::uint32_t *last = p + n - 4;
    for (; p + 4 < last; p += 8) {
      _mm_storeu_si128(reinterpret_cast<__m128i *>(p), four);
      _mm_storeu_si128(reinterpret_cast<__m128i *>(p + 4), four);
    }
    if (p < last)
      _mm_storeu_si128(reinterpret_cast<__m128i *>(p), four);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(last), four);
    return;
  }
#endif
  for (int i = 0; i < n; ++i)
    p[i] = pixel;
}

// Writes [x0, x1) of row y (already clipped, x0 < x1). Inline, so that a shape's row loop pays
// no call per span; the branches below are taken once per span, never per pixel.
inline void PaintSpan(const TRasterSurface &surface, int y, int x0, int x1, const TFill &fill) {
  std::uint32_t *row = surface.Row(y);
  const TRop rop = fill.Rop;
  if (fill.Hatch) {
    const unsigned bits = fill.Hatch[y & 7];
    for (int x = x0; x < x1; ++x)
      if (bits & (1u << (x & 7)))
        row[x] = rop.Apply(row[x]);
  } else if (rop.IsCopy()) {
    StorePixels(row + x0, x1 - x0, rop.Xor);
  } else {
    for (int x = x0; x < x1; ++x)
      row[x] = rop.Apply(row[x]);
  }
}

// True when a brush paints exactly as the pen does, so that a figure's pen and brush pixels can
// be written as one span per row, each pixel still once.
inline bool PaintsLike(const TFill *fill, TRop pen) {
  return fill && !fill->Hatch && fill->Rop.And == pen.And && fill->Rop.Xor == pen.Xor;
}

// Paints [x0, x1) of a visible row y after clamping it to the clip's columns.
inline void PaintClipped(const TRasterSurface &surface, const TClip &clip, int y, i64 x0, i64 x1, const TFill &fill) {
  const i64 a = std::max<i64>(x0, clip.Left), b = std::min<i64>(x1, clip.Right);
  if (a < b)
    PaintSpan(surface, y, static_cast<int>(a), static_cast<int>(b), fill);
}

// The pen of an outline as a fill: solid, under the pen's raster operation.
inline TFill PenFill(const TStroke &pen) { return {pen.Rop, nullptr}; }

// Clamps an i128 into the 64-bit range; bounds of spans far off the surface only need to keep
// their side of it.
inline i64 Clamp64(i128 v) {
  constexpr i64 Limit = i64{1} << 62;
  return static_cast<i64>(std::clamp<i128>(v, -Limit, Limit));
}

} // namespace Platform::Raster
