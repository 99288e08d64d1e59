// Filled finite elements through Wgraph against cairo filling the same polygons, one polygon per
// call on both sides, both by the alternate rule. Ours draw the outline in the fill colour too
// (Outline false), cairo only fills.

#include "BenchSupport.h"

#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <cmath>
#include <platform/graphics/recording/RecordingDevice.h>
#include <platform/pictures/Bitmap.h>
#include <wgraph/Wgraph.h>

namespace {

using namespace Platform;
using Bench::SurfaceHeight;
using Bench::SurfaceWidth;

constexpr TColor ElementColor = clTeal;

void MapSurface() {
  Wgraph::SetWorldWindow(0, SurfaceWidth, 0, SurfaceHeight, 0, 0, 0, 0);
  Wgraph::SetPCWindow(0, SurfaceWidth, SurfaceHeight, 0);
}

struct TElement {
  // Corners 1-4, then for eight-node elements the mid-side nodes 5-8, in world units.
  std::array<double, 16> Nodes{};
  // The polygon Wgraph hands the canvas, in pixels.
  std::vector<TPoint> Pixels;
};

// Elements with corners at random angles round a centre, each radius within [minRadius,
// maxRadius] pixels; eight-node elements bow their sides out or in by up to a third of the radius.
std::vector<TElement> MakeElements(int count, double minRadius, double maxRadius, bool curved) {
  MapSurface();
  std::uniform_real_distribution<double> unit(0, 1);
  auto &random = Bench::Random();
  std::vector<TElement> elements(static_cast<std::size_t>(count));
  TRecordingDevice recorder;
  TCanvas canvas(&recorder);
  for (TElement &e : elements) {
    const double cx = maxRadius + unit(random) * (SurfaceWidth - 2 * maxRadius);
    const double cy = maxRadius + unit(random) * (SurfaceHeight - 2 * maxRadius);
    std::array<double, 4> angles;
    for (double &a : angles)
      a = unit(random) * 2 * M_PI;
    std::sort(angles.begin(), angles.end());
    for (int k = 0; k < 4; ++k) {
      const double r = minRadius + unit(random) * (maxRadius - minRadius);
      e.Nodes[2 * k] = cx + r * std::cos(angles[k]);
      e.Nodes[2 * k + 1] = cy + r * std::sin(angles[k]);
    }
    for (int k = 0; k < 4; ++k) {
      const double *a = &e.Nodes[2 * k], *b = &e.Nodes[2 * ((k + 1) % 4)];
      const double bow = curved ? (unit(random) - 0.5) * 2 * maxRadius / 3 : 0;
      const double mx = (a[0] + b[0]) / 2 - (b[1] - a[1]) / maxRadius * bow / 2;
      const double my = (a[1] + b[1]) / 2 + (b[0] - a[0]) / maxRadius * bow / 2;
      e.Nodes[8 + 2 * k] = mx;
      e.Nodes[9 + 2 * k] = my;
    }
    const auto &n = e.Nodes;
    recorder.Clear();
    if (curved)
      Wgraph::wquad8(&canvas, n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8], n[9], n[10], n[11], n[12], n[13],
                     n[14], n[15], ElementColor, false);
    else
      Wgraph::wquad4(&canvas, n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], ElementColor, false);
    e.Pixels = recorder.Calls().at(0).Points;
  }
  return elements;
}

const std::vector<TElement> &Quad4() {
  static const std::vector<TElement> elements = MakeElements(10000, 10, 30, false);
  return elements;
}

const std::vector<TElement> &Quad8() {
  static const std::vector<TElement> elements = MakeElements(1000, 20, 120, true);
  return elements;
}

void Quad4Ours(benchmark::State &state) {
  const auto &elements = Quad4();
  TBitmap bitmap(SurfaceWidth, SurfaceHeight);
  MapSurface();
  for (auto _ : state) {
    for (const TElement &e : elements) {
      const auto &n = e.Nodes;
      Wgraph::wquad4(bitmap.Canvas(), n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], ElementColor, false);
    }
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(elements.size()));
}

void Quad8Ours(benchmark::State &state) {
  const auto &elements = Quad8();
  TBitmap bitmap(SurfaceWidth, SurfaceHeight);
  MapSurface();
  for (auto _ : state) {
    for (const TElement &e : elements) {
      const auto &n = e.Nodes;
      Wgraph::wquad8(bitmap.Canvas(), n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8], n[9], n[10], n[11], n[12],
                     n[13], n[14], n[15], ElementColor, false);
    }
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(elements.size()));
}

// The same pixel polygons, their paths through the pixel centres.
void FillCairo(benchmark::State &state, const std::vector<TElement> &elements) {
  Bench::TCairoTarget target;
  cairo_t *cr = target.Cr();
  cairo_set_source_rgb(cr, 0, 0.5, 0.5);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  for (auto _ : state) {
    for (const TElement &e : elements) {
      cairo_move_to(cr, e.Pixels[0].X + 0.5, e.Pixels[0].Y + 0.5);
      for (std::size_t i = 1; i < e.Pixels.size(); ++i)
        cairo_line_to(cr, e.Pixels[i].X + 0.5, e.Pixels[i].Y + 0.5);
      cairo_close_path(cr);
      cairo_fill(cr);
    }
    cairo_surface_flush(target.Surface());
    benchmark::DoNotOptimize(cairo_image_surface_get_data(target.Surface())[0]);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(elements.size()));
}

void Quad4Cairo(benchmark::State &state) { FillCairo(state, Quad4()); }
void Quad8Cairo(benchmark::State &state) { FillCairo(state, Quad8()); }

} // namespace

BENCHMARK(Quad4Ours)->Name("1e4 wquad4 10-30px/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(Quad4Cairo)->Name("1e4 wquad4 10-30px/cairo")->Unit(benchmark::kMillisecond);
BENCHMARK(Quad8Ours)->Name("1e3 wquad8/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(Quad8Cairo)->Name("1e3 wquad8/cairo")->Unit(benchmark::kMillisecond);
