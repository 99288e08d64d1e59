// Cosmetic lines: many short separate segments and one long polyline against cairo, and our own
// pen modes and dashes against our plain copy.
//
// Cairo strokes each separate segment on its own (move_to, line_to, stroke): that is its fast way,
// about three times faster than one path holding all the segments, which it has to tessellate and
// sort as a whole. Its coordinates sit on pixel centres so that its 1-pixel aliased lines cover the
// same pixels ours do.

#include "BenchSupport.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <platform/pictures/Bitmap.h>

namespace {

using namespace Platform;

constexpr int SegmentCount = 1000000;
constexpr int PolylinePoints = 1000000;
constexpr int MaxStep = 8;

struct TSegment {
  TPoint A, B;
};

// Short segments anywhere on the surface, each at most MaxStep pixels along either axis.
const std::vector<TSegment> &Segments() {
  static const std::vector<TSegment> segments = [] {
    std::vector<TSegment> out(SegmentCount);
    for (TSegment &s : out) {
      s.A = {Bench::Uniform(0, Bench::SurfaceWidth - 1), Bench::Uniform(0, Bench::SurfaceHeight - 1)};
      s.B = {s.A.X + Bench::Uniform(-MaxStep, MaxStep), s.A.Y + Bench::Uniform(-MaxStep, MaxStep)};
    }
    return out;
  }();
  return segments;
}

// A random walk of short steps that stays on the surface.
const std::vector<TPoint> &Walk() {
  static const std::vector<TPoint> points = [] {
    std::vector<TPoint> out(PolylinePoints);
    TPoint p{Bench::SurfaceWidth / 2, Bench::SurfaceHeight / 2};
    for (TPoint &q : out) {
      p.X = std::clamp(p.X + Bench::Uniform(-MaxStep, MaxStep), 0, Bench::SurfaceWidth - 1);
      p.Y = std::clamp(p.Y + Bench::Uniform(-MaxStep, MaxStep), 0, Bench::SurfaceHeight - 1);
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
  for (auto _ : state) {
    for (const TSegment &s : segments) {
      canvas.MoveTo(s.A.X, s.A.Y);
      canvas.LineTo(s.B.X, s.B.Y);
    }
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
  state.SetItemsProcessed(state.iterations() * SegmentCount);
}

void SegmentsCairo(benchmark::State &state) {
  const std::vector<TSegment> &segments = Segments();
  Bench::TCairoTarget target;
  cairo_t *cr = target.Cr();
  cairo_set_source_rgb(cr, 0, 0, 0.5);
  for (auto _ : state) {
    for (const TSegment &s : segments) {
      cairo_move_to(cr, s.A.X + 0.5, s.A.Y + 0.5);
      cairo_line_to(cr, s.B.X + 0.5, s.B.Y + 0.5);
      cairo_stroke(cr);
    }
    cairo_surface_flush(target.Surface());
  }
  state.SetItemsProcessed(state.iterations() * SegmentCount);
}

void PolylineOurs(benchmark::State &state) {
  const std::vector<TPoint> &points = Walk();
  TBitmap bitmap(Bench::SurfaceWidth, Bench::SurfaceHeight);
  bitmap.Canvas()->Pen().SetColor(clNavy);
  for (auto _ : state) {
    bitmap.Canvas()->Polyline(points);
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
  state.SetItemsProcessed(state.iterations() * PolylinePoints);
}

void PolylineCairo(benchmark::State &state) {
  const std::vector<TPoint> &points = Walk();
  Bench::TCairoTarget target;
  cairo_t *cr = target.Cr();
  cairo_set_source_rgb(cr, 0, 0, 0.5);
  for (auto _ : state) {
    cairo_move_to(cr, points[0].X + 0.5, points[0].Y + 0.5);
    for (std::size_t i = 1; i < points.size(); ++i)
      cairo_line_to(cr, points[i].X + 0.5, points[i].Y + 0.5);
    cairo_stroke(cr);
    cairo_surface_flush(target.Surface());
  }
  state.SetItemsProcessed(state.iterations() * PolylinePoints);
}

} // namespace

BENCHMARK_CAPTURE(SegmentsOurs, copy, pmCopy, psSolid)
    ->Name("1e6 segments <=8px copy/velgraph")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(SegmentsCairo)->Name("1e6 segments <=8px copy/cairo")->Unit(benchmark::kMillisecond);
BENCHMARK(PolylineOurs)->Name("1e6-point polyline/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(PolylineCairo)->Name("1e6-point polyline/cairo")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SegmentsOurs, xor, pmXor, psSolid)
    ->Name("1e6 segments xor vs copy/velgraph")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SegmentsOurs, copy, pmCopy, psSolid)
    ->Name("1e6 segments xor vs copy/copy")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SegmentsOurs, not, pmNot, psSolid)
    ->Name("1e6 segments not vs copy/velgraph")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SegmentsOurs, copy, pmCopy, psSolid)
    ->Name("1e6 segments not vs copy/copy")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SegmentsOurs, dash, pmCopy, psDash)
    ->Name("1e6 segments dash vs solid/velgraph")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SegmentsOurs, solid, pmCopy, psSolid)
    ->Name("1e6 segments dash vs solid/solid")
    ->Unit(benchmark::kMillisecond);
