// Large polygons on a 200 x 200 surface, filled by the alternate rule, against cairo filling the
// same points: a random zig-zag, whose every row crosses a third of its edges, and a smooth
// closed curve, whose rows cross a handful. Ours fill only (clear pen), as cairo does.

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <cmath>
#include <cstdlib>
#include <map>
#include <platform/pictures/Bitmap.h>
#include <random>
#include <vector>

namespace {

using namespace Platform;

constexpr int Side = 200;

std::vector<TPoint> ZigZag(int count) {
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> coordinate(0, Side - 1);
  std::vector<TPoint> points(static_cast<std::size_t>(count));
  for (TPoint &p : points)
    p = {coordinate(random), coordinate(random)};
  return points;
}

// A five-lobed closed curve round the centre: not convex, so rows cross it up to ten times.
std::vector<TPoint> SmoothCurve(int count) {
  std::vector<TPoint> points(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const double angle = 2 * M_PI * i / count, radius = 70 + 25 * std::sin(5 * angle);
    points[static_cast<std::size_t>(i)] = {static_cast<int>(std::lround(100 + radius * std::cos(angle))),
                                           static_cast<int>(std::lround(100 + radius * std::sin(angle)))};
  }
  return points;
}

const std::vector<TPoint> &Points(bool smooth, int count) {
  static std::map<std::pair<bool, int>, std::vector<TPoint>> made;
  auto &points = made[{smooth, count}];
  if (points.empty())
    points = smooth ? SmoothCurve(count) : ZigZag(count);
  return points;
}

void Ours(benchmark::State &state, bool smooth, int count) {
  const std::vector<TPoint> &points = Points(smooth, count);
  TBitmap bitmap(Side, Side);
  TCanvas &canvas = *bitmap.Canvas();
  canvas.Pen().SetStyle(psClear);
  canvas.Brush().SetColor(clTeal);
  for (auto _ : state) {
    canvas.Polygon(points);
    benchmark::DoNotOptimize(bitmap.Surface().Row(Side / 2)[Side / 2]);
  }
}

// The outline through pixel centres, as our integer points lie.
void TraceOutline(cairo_t *cr, const std::vector<TPoint> &points) {
  cairo_move_to(cr, points[0].X + 0.5, points[0].Y + 0.5);
  for (std::size_t i = 1; i < points.size(); ++i)
    cairo_line_to(cr, points[i].X + 0.5, points[i].Y + 0.5);
  cairo_close_path(cr);
}

void Cairo(benchmark::State &state, bool smooth, int count) {
  if (!smooth && count >= 1000000 && !std::getenv("VELGRAPH_BENCH_SLOW")) {
    // Its cost grows much faster than the points: a single fill takes cairo many minutes.
    state.SkipWithError("set VELGRAPH_BENCH_SLOW=1 to run it");
    return;
  }
  const std::vector<TPoint> &points = Points(smooth, count);
  cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, Side, Side);
  cairo_t *cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_set_source_rgb(cr, 0, 0.5, 0.5);
  for (auto _ : state) {
    TraceOutline(cr, points);
    cairo_fill(cr);
    cairo_surface_flush(surface);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(surface)[0]);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

void Register(const char *kind, bool smooth) {
  for (int count : {10000, 100000, 1000000}) {
    const std::string name = std::string("polygon ") + kind + " " + std::to_string(count);
    for (bool cairo : {false, true})
      benchmark::RegisterBenchmark((name + (cairo ? "/cairo" : "/velgraph")).c_str(), cairo ? Cairo : Ours, smooth,
                                   count)
          ->Unit(benchmark::kMillisecond);
  }
}

const bool Registered = (Register("zig-zag", false), Register("smooth", true), true);

} // namespace
