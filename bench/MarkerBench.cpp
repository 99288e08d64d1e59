// Point markers through the Wgraph marker functions against cairo filling the same figures, one
// figure per call on both sides. Our markers also outline each figure in its colour; cairo only
// fills, which is the cheaper half of its work, so the ratios are conservative.

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <platform/pictures/Bitmap.h>
#include <wgraph/Wgraph.h>

namespace {

using namespace Platform;
using Bench::SurfaceHeight;
using Bench::SurfaceWidth;

constexpr int MarkerCount = 100000;
constexpr TColor MarkerColor = clNavy;

// One world unit per pixel with y upwards, over the whole surface.
void MapSurface() {
  Wgraph::SetWorldWindow(0, SurfaceWidth, 0, SurfaceHeight, 0, 0, 0, 0);
  Wgraph::SetPCWindow(0, SurfaceWidth, SurfaceHeight, 0);
}

struct TMarkerData {
  std::vector<double> X, Y;
  // The marker centres in pixels, as WorldToPC puts them, for cairo.
  std::vector<TPoint> Pixels;
};

const TMarkerData &Markers() {
  static const TMarkerData data = [] {
    TMarkerData d;
    MapSurface();
    std::uniform_real_distribution<double> x(5, SurfaceWidth - 5), y(5, SurfaceHeight - 5);
    for (int i = 0; i < MarkerCount; ++i) {
      d.X.push_back(x(Bench::Random()));
      d.Y.push_back(y(Bench::Random()));
      TPoint p;
      Wgraph::WorldToPC(d.X.back(), d.Y.back(), p.X, p.Y);
      d.Pixels.push_back(p);
    }
    return d;
  }();
  return data;
}

using TMarker = void (*)(TCanvas *, int, double, double, TColor);

void RunOurs(benchmark::State &state, TMarker marker, int size) {
  const TMarkerData &data = Markers();
  TBitmap bitmap(SurfaceWidth, SurfaceHeight);
  MapSurface();
  for (auto _ : state) {
    for (int i = 0; i < MarkerCount; ++i)
      marker(bitmap.Canvas(), size, data.X[i], data.Y[i], MarkerColor);
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
  state.SetItemsProcessed(state.iterations() * MarkerCount);
}

// figure(cr, p) adds one marker's path; cairo fills it at once.
template <class TFigure> void RunCairo(benchmark::State &state, TFigure &&figure) {
  const TMarkerData &data = Markers();
  Bench::TCairoTarget target;
  cairo_t *cr = target.Cr();
  cairo_set_source_rgb(cr, 0, 0, 0.5);
  for (auto _ : state) {
    for (const TPoint &p : data.Pixels) {
      figure(cr, p);
      cairo_fill(cr);
    }
    cairo_surface_flush(target.Surface());
    benchmark::DoNotOptimize(cairo_image_surface_get_data(target.Surface())[0]);
  }
  state.SetItemsProcessed(state.iterations() * MarkerCount);
}

// Size 5: half size 2; our figure fills [px - 2, px + 3) and its outline adds a column and a row.
void SquareOurs(benchmark::State &state) { RunOurs(state, Wgraph::DrawSquarePoint, 5); }
void SquareCairo(benchmark::State &state) {
  RunCairo(state, [](cairo_t *cr, TPoint p) { cairo_rectangle(cr, p.X - 2, p.Y - 2, 6, 6); });
}

// Size 7: the ellipse in [px - 3, px + 3), a circle of radius 3 about (px, py).
void CircleOurs(benchmark::State &state) { RunOurs(state, Wgraph::DrawCirclePoint, 7); }
void CircleCairo(benchmark::State &state) {
  RunCairo(state, [](cairo_t *cr, TPoint p) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, p.X, p.Y, 3, 0, 2 * M_PI);
  });
}

// Size 7: apex (px, py - 3), base corners (px -+ 3, py + 2); cairo's path runs through the pixel
// centres, as our outline does.
void TriangleOurs(benchmark::State &state) { RunOurs(state, Wgraph::DrawTrianglePoint, 7); }
void TriangleCairo(benchmark::State &state) {
  RunCairo(state, [](cairo_t *cr, TPoint p) {
    cairo_move_to(cr, p.X + 0.5, p.Y - 2.5);
    cairo_line_to(cr, p.X - 2.5, p.Y + 2.5);
    cairo_line_to(cr, p.X + 3.5, p.Y + 2.5);
    cairo_close_path(cr);
  });
}

// The memory floor under the markers: the 6 x 6 block of a size 5 square stored at each marker's
// place with no drawing code around it, first plainly, then with every row's lines prefetched
// before the stores, as stamps are drawn.
template <bool Prefetch> void BlockFloor(benchmark::State &state) {
  const TMarkerData &data = Markers();
  TBitmap bitmap(SurfaceWidth, SurfaceHeight);
  const TRasterSurface &surface = bitmap.Surface();
  const std::uint32_t pixel = ColorToPixel(MarkerColor);
  for (auto _ : state) {
    for (const TPoint &p : data.Pixels) {
      std::uint32_t *corner = surface.Row(p.Y - 2) + p.X - 2;
      if (Prefetch)
        for (int r = 0; r < 6; ++r) {
          __builtin_prefetch(corner + r * surface.Stride, 1);
          __builtin_prefetch(corner + r * surface.Stride + 5, 1);
        }
      for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 6; ++c)
          corner[r * surface.Stride + c] = pixel;
    }
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
  state.SetItemsProcessed(state.iterations() * MarkerCount);
}

} // namespace

BENCHMARK(SquareOurs)->Name("1e5 DrawSquarePoint size 5/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(SquareCairo)->Name("1e5 DrawSquarePoint size 5/cairo")->Unit(benchmark::kMillisecond);
BENCHMARK(CircleOurs)->Name("1e5 DrawCirclePoint size 7/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(CircleCairo)->Name("1e5 DrawCirclePoint size 7/cairo")->Unit(benchmark::kMillisecond);
BENCHMARK(TriangleOurs)->Name("1e5 DrawTrianglePoint size 7/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(TriangleCairo)->Name("1e5 DrawTrianglePoint size 7/cairo")->Unit(benchmark::kMillisecond);
BENCHMARK(BlockFloor<false>)->Name("1e5 6x6 blocks at the marker places/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(BlockFloor<true>)->Name("1e5 6x6 blocks prefetched, marker places/velgraph")->Unit(benchmark::kMillisecond);
