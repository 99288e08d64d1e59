#pragma once

// Shared set-up for the side-by-side benchmarks. Every case is registered as "Case/side": once
// drawn by our raster backend (side "velgraph"), once or more by a reference on the same 1920x1080
// surface with the same data (side "cairo, <how>", "memcpy", ...), and where it helps by a floor
// (side "floor: <what>"), the least the work can cost with no drawing code around it. The
// reporter prints the sides of each case together as a table.

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <cstdint>
#include <platform/graphics/RasterSurface.h>
#include <random>
#include <vector>

namespace Bench {

constexpr int SurfaceWidth = 1920;
constexpr int SurfaceHeight = 1080;

// A fresh TBitmap is white; the cairo surface is made white too, so both sides start alike.
constexpr std::uint32_t WhitePixel = 0xFFFFFFFFu;

// A cairo image surface with antialiasing off, as close to our aliased raster as cairo goes. It is
// painted white when made, so its pages are touched before any timed loop, as a TBitmap's are.
class TCairoTarget {
public:
  TCairoTarget()
      : FSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, SurfaceWidth, SurfaceHeight)),
        FCr(cairo_create(FSurface)) {
    Clear();
    cairo_set_antialias(FCr, CAIRO_ANTIALIAS_NONE);
    cairo_set_line_width(FCr, 1.0);
  }
  ~TCairoTarget() {
    cairo_destroy(FCr);
    cairo_surface_destroy(FSurface);
  }
  TCairoTarget(const TCairoTarget &) = delete;
  TCairoTarget &operator=(const TCairoTarget &) = delete;
  cairo_t *Cr() const { return FCr; }
  cairo_surface_t *Surface() const { return FSurface; }

  // Paints the whole surface white, leaving the drawing state as it was.
  void Clear() const {
    cairo_save(FCr);
    cairo_set_operator(FCr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgb(FCr, 1, 1, 1);
    cairo_paint(FCr);
    cairo_restore(FCr);
  }

  // Ends a timed iteration: cairo may hold drawing back until the surface is flushed.
  void Flush() const {
    cairo_surface_flush(FSurface);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(FSurface)[0]);
  }

private:
  cairo_surface_t *FSurface;
  cairo_t *FCr;
};

// Every data set has a generator of its own, so adding a row or filtering the run changes no
// other row's figures.
inline std::mt19937 Generator(std::uint32_t seed) { return std::mt19937(seed); }

inline int Uniform(std::mt19937 &random, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }

// Pixel counts: the first hundredth of a case's figures (at least one) drawn alone on a white
// surface after the timed loop, each side by its own drawing code. The sample is small enough
// that its figures seldom overlap, so the counts compare the two sides' figures.
constexpr std::size_t SampleShare = 100;

inline std::int64_t ChangedPixels(const std::uint32_t *pixels, std::ptrdiff_t stride, std::uint32_t mask) {
  std::int64_t count = 0;
  for (int y = 0; y < SurfaceHeight; ++y)
    for (int x = 0; x < SurfaceWidth; ++x)
      count += (pixels[y * stride + x] & mask) != (WhitePixel & mask);
  return count;
}

// draw(n) draws the first n of the count figures on the surface.
template <class TDraw>
void CountPixels(benchmark::State &state, const Platform::TRasterSurface &surface, std::size_t count, TDraw &&draw) {
  for (int y = 0; y < surface.Height; ++y)
    std::fill_n(surface.Row(y), surface.Width, WhitePixel & 0x00FFFFFFu);
  draw(std::max<std::size_t>(1, count / SampleShare));
  state.counters["pixels"] = static_cast<double>(ChangedPixels(surface.Pixels, surface.Stride, 0x00FFFFFFu));
}

template <class TDraw>
void CountPixels(benchmark::State &state, const TCairoTarget &target, std::size_t count, TDraw &&draw) {
  target.Clear();
  draw(std::max<std::size_t>(1, count / SampleShare));
  cairo_surface_flush(target.Surface());
  const auto *pixels = reinterpret_cast<const std::uint32_t *>(cairo_image_surface_get_data(target.Surface()));
  state.counters["pixels"] =
      static_cast<double>(ChangedPixels(pixels, cairo_image_surface_get_stride(target.Surface()) / 4, 0xFFFFFFFFu));
}

} // namespace Bench
