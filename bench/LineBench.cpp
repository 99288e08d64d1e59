// Cosmetic lines: many short separate segments and one long polyline against cairo, and our own
// pen modes and dashes against our plain copy.
//
// Cairo's coordinates sit on pixel centres so that its 1-pixel aliased lines cover about the
// pixels ours do. Its fast way to many lines is paths of many segments each: one stroke per
// segment pays the stroke's set-up every time, and one path of all of them makes cairo tessellate
// and sort the whole stroke at once (a self-intersecting polyline with miter joins most of all).
// The chunk size was chosen by measurement with --chunk-sweep (1 to all 1e6 per path, medians of
// interleaved runs): times fall steeply from 1 to 16 per path, lie level within the noise from
// 128 to 4096, with 1024 best or level in every sweep for both cases, and rise beyond, to 3-5
// times as long for one path of all.

#include "BenchSupport.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <platform/pictures/Bitmap.h>
#include <string>

namespace {

using namespace Platform;

constexpr int SegmentCount = 1000000;
constexpr int PolylinePoints = 1000000;
constexpr int MaxStep = 8;
constexpr int SegmentsPerPath = 1024;
constexpr int PointsPerPath = 1024;

struct TSegment {
  TPoint A, B;
};

// Short segments anywhere on the surface, each at most MaxStep pixels along either axis.
const std::vector<TSegment> &Segments() {
  static const std::vector<TSegment> segments = [] {
    auto random = Bench::Generator(1);
    std::vector<TSegment> out(SegmentCount);
    for (TSegment &s : out) {
      s.A = {Bench::Uniform(random, 0, Bench::SurfaceWidth - 1), Bench::Uniform(random, 0, Bench::SurfaceHeight - 1)};
      s.B = {s.A.X + Bench::Uniform(random, -MaxStep, MaxStep), s.A.Y + Bench::Uniform(random, -MaxStep, MaxStep)};
    }
    return out;
  }();
  return segments;
}

// A random walk of short steps that stays on the surface.
const std::vector<TPoint> &Walk() {
  static const std::vector<TPoint> points = [] {
    auto random = Bench::Generator(2);
    std::vector<TPoint> out(PolylinePoints);
    TPoint p{Bench::SurfaceWidth / 2, Bench::SurfaceHeight / 2};
    for (TPoint &q : out) {
      p.X = std::clamp(p.X + Bench::Uniform(random, -MaxStep, MaxStep), 0, Bench::SurfaceWidth - 1);
      p.Y = std::clamp(p.Y + Bench::Uniform(random, -MaxStep, MaxStep), 0, Bench::SurfaceHeight - 1);
      q = p;
    }
    return out;
  }();
  return points;
}

void SegmentsOurs(benchmark::State &state, TPenMode mode, TPenStyle style) {
  const std::vector<TSegment> &segments = Segments();
  TBitmap bitmap(Bench::SurfaceWidth, Bench::SurfaceHeight);
  TCanvas &canvas = *bitmap.Canvas();
  canvas.Pen().SetColor(clNavy);
  canvas.Pen().SetMode(mode);
  canvas.Pen().SetStyle(style);
  auto draw = [&](std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      canvas.MoveTo(segments[i].A.X, segments[i].A.Y);
      canvas.LineTo(segments[i].B.X, segments[i].B.Y);
    }
  };
  for (auto _ : state) {
    draw(segments.size());
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
  if (mode == pmCopy && style == psSolid)
    Bench::CountPixels(state, bitmap.Surface(), segments.size(), draw);
  state.SetItemsProcessed(state.iterations() * SegmentCount);
}

// The segments in paths of `chunk` segments each, every path stroked at once.
void SegmentsCairo(benchmark::State &state, int chunk) {
  const std::vector<TSegment> &segments = Segments();
  Bench::TCairoTarget target;
  cairo_t *cr = target.Cr();
  cairo_set_source_rgb(cr, 0, 0, 0.5);
  auto draw = [&](std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      const TSegment &s = segments[i];
      cairo_move_to(cr, s.A.X + 0.5, s.A.Y + 0.5);
      cairo_line_to(cr, s.B.X + 0.5, s.B.Y + 0.5);
      if ((i + 1) % static_cast<std::size_t>(chunk) == 0 || i + 1 == n)
        cairo_stroke(cr);
    }
  };
  for (auto _ : state) {
    draw(segments.size());
    target.Flush();
  }
  Bench::CountPixels(state, target, segments.size(), draw);
  state.SetItemsProcessed(state.iterations() * SegmentCount);
}

// Where the segments' pixels lie, as offsets from the surface's first pixel in drawing order:
// each segment's Bresenham pixels without its end pixel, those off the surface left out.
std::vector<std::uint32_t> PixelPlaces(const std::vector<TSegment> &segments, std::ptrdiff_t stride) {
  std::vector<std::uint32_t> places;
  for (const TSegment &s : segments) {
    const int dx = std::abs(s.B.X - s.A.X), dy = std::abs(s.B.Y - s.A.Y);
    const int sx = s.B.X > s.A.X ? 1 : -1, sy = s.B.Y > s.A.Y ? 1 : -1;
    const bool xMajor = dx >= dy;
    const int major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    int x = s.A.X, y = s.A.Y, error = 2 * minor - major;
    for (int i = 0; i < major; ++i) {
      if (x >= 0 && x < Bench::SurfaceWidth && y >= 0 && y < Bench::SurfaceHeight)
        places.push_back(static_cast<std::uint32_t>(y * stride + x));
      if (error > 0) {
        (xMajor ? y : x) += xMajor ? sy : sx;
        error -= 2 * major;
      }
      error += 2 * minor;
      (xMajor ? x : y) += xMajor ? sx : sy;
    }
  }
  return places;
}

// The floor under the lines: the same stores with their places worked out before the timed loop
// and read in order from a list, so no line arithmetic, call or clipping is left around them.
void StoreFloor(benchmark::State &state, const std::vector<TSegment> &(*data)()) {
  TBitmap bitmap(Bench::SurfaceWidth, Bench::SurfaceHeight);
  const std::vector<std::uint32_t> places = PixelPlaces(data(), bitmap.Surface().Stride);
  std::uint32_t *const pixels = bitmap.Surface().Pixels;
  const std::uint32_t pixel = ColorToPixel(clNavy);
  for (auto _ : state) {
    for (const std::uint32_t at : places)
      pixels[at] = pixel;
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(data().size()));
}

// The polyline's steps as segments, for its floor.
const std::vector<TSegment> &WalkSteps() {
  static const std::vector<TSegment> steps = [] {
    const std::vector<TPoint> &points = Walk();
    std::vector<TSegment> out;
    for (std::size_t i = 1; i < points.size(); ++i)
      out.push_back({points[i - 1], points[i]});
    return out;
  }();
  return steps;
}

void PolylineOurs(benchmark::State &state) {
  const std::vector<TPoint> &points = Walk();
  TBitmap bitmap(Bench::SurfaceWidth, Bench::SurfaceHeight);
  bitmap.Canvas()->Pen().SetColor(clNavy);
  auto draw = [&](std::size_t n) { bitmap.Canvas()->Polyline(std::span(points).first(n)); };
  for (auto _ : state) {
    draw(points.size());
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
  Bench::CountPixels(state, bitmap.Surface(), points.size(), draw);
  state.SetItemsProcessed(state.iterations() * PolylinePoints);
}

// The polyline in paths of `chunk` steps each, every path starting where the last one ended.
void PolylineCairo(benchmark::State &state, int chunk) {
  const std::vector<TPoint> &points = Walk();
  Bench::TCairoTarget target;
  cairo_t *cr = target.Cr();
  cairo_set_source_rgb(cr, 0, 0, 0.5);
  auto draw = [&](std::size_t n) {
    for (std::size_t first = 0; first + 1 < n; first += static_cast<std::size_t>(chunk)) {
      const std::size_t last = std::min(n - 1, first + static_cast<std::size_t>(chunk));
      cairo_move_to(cr, points[first].X + 0.5, points[first].Y + 0.5);
      for (std::size_t i = first + 1; i <= last; ++i)
        cairo_line_to(cr, points[i].X + 0.5, points[i].Y + 0.5);
      cairo_stroke(cr);
    }
  };
  for (auto _ : state) {
    draw(points.size());
    target.Flush();
  }
  Bench::CountPixels(state, target, points.size(), draw);
  state.SetItemsProcessed(state.iterations() * PolylinePoints);
}

} // namespace

namespace Bench {

void RegisterChunkSweeps() {
  for (const int chunk : {1, 16, 64, 256, 1024, 4096, 16384, 65536, 1 << 20}) {
    const std::string side =
        "/cairo, " + (chunk == 1 << 20 ? std::string("all in one") : std::to_string(chunk)) + " per path";
    benchmark::RegisterBenchmark(("sweep: 1e6 segments" + side).c_str(), SegmentsCairo, chunk)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("sweep: 1e6-point polyline" + side).c_str(), PolylineCairo, chunk)
        ->Unit(benchmark::kMillisecond);
  }
}

} // namespace Bench

BENCHMARK_CAPTURE(SegmentsOurs, copy, pmCopy, psSolid)
    ->Name("1e6 segments <=8px copy/velgraph")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SegmentsCairo, chunked, SegmentsPerPath)
    ->Name("1e6 segments <=8px copy/cairo, paths of 1024 segments")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StoreFloor, segments, Segments)
    ->Name("1e6 segments <=8px copy/floor: the stores, places listed")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PolylineOurs)->Name("1e6-point polyline/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PolylineCairo, chunked, PointsPerPath)
    ->Name("1e6-point polyline/cairo, paths of 1024 steps")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StoreFloor, polyline, WalkSteps)
    ->Name("1e6-point polyline/floor: the stores, places listed")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SegmentsOurs, xor, pmXor, psSolid)
    ->Name("1e6 segments xor vs copy/velgraph")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SegmentsOurs, copy, pmCopy, psSolid)
    ->Name("1e6 segments xor vs copy/our copy")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SegmentsOurs, not, pmNot, psSolid)
    ->Name("1e6 segments not vs copy/velgraph")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SegmentsOurs, copy, pmCopy, psSolid)
    ->Name("1e6 segments not vs copy/our copy")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SegmentsOurs, dash, pmCopy, psDash)
    ->Name("1e6 segments dash vs solid/velgraph")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SegmentsOurs, solid, pmCopy, psSolid)
    ->Name("1e6 segments dash vs solid/our solid")
    ->Unit(benchmark::kMillisecond);
