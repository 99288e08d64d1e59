#pragma once

// Shared set-up for the side-by-side benchmarks: every case is registered twice, once drawn by
// our raster backend ("Case/velgraph") and once by a reference ("Case/cairo", "Case/memset", ...)
// on the same 1920x1080 surface with the same data; the reporter prints the pairs as a table.

#include <cairo.h>
#include <cstdint>
#include <random>
#include <vector>

namespace Bench {

constexpr int SurfaceWidth = 1920;
constexpr int SurfaceHeight = 1080;

// A cairo image surface with antialiasing off, as close to our aliased raster as cairo goes.
class TCairoTarget {
public:
  TCairoTarget()
      : FSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, SurfaceWidth, SurfaceHeight)),
        FCr(cairo_create(FSurface)) {
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

private:
  cairo_surface_t *FSurface;
  cairo_t *FCr;
};

// Reproducible random numbers: both sides of a case draw the same figures.
inline std::mt19937 &Random() {
  static std::mt19937 generator(20261208);
  return generator;
}

inline int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(Random()); }

} // namespace Bench
