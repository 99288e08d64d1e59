// Filled finite elements through Wgraph against cairo filling the same polygons, one polygon per
// call on both sides, both by the alternate rule. Ours draw the outline in the fill colour too
// (Outline false), cairo only fills.

#include "BenchSupport.h"

#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <cmath>
#include <platform/graphics/RecordingDevice.h>
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
std::vector<TElement> MakeElements(std::uint32_t seed, int count, double minRadius, double maxRadius, bool curved) {
  MapSurface();
  std::uniform_real_distribution<double> unit(0, 1);
  auto random = Bench::Generator(seed);
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
  static const std::vector<TElement> elements = MakeElements(7, 10000, 10, 30, false);
  return elements;
}

const std::vector<TElement> &Quad8() {
  static const std::vector<TElement> elements = MakeElements(8, 1000, 20, 120, true);
  return elements;
}

// Times draw(element) over all the elements on our surface, then counts the sample's pixels.
template <class TDraw> void RunOurs(benchmark::State &state, const std::vector<TElement> &elements, TDraw &&drawOne) {
  TBitmap bitmap(SurfaceWidth, SurfaceHeight);
  MapSurface();
  auto draw = [&](std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
      drawOne(bitmap.Canvas(), elements[i].Nodes);
  };
  for (auto _ : state) {
    draw(elements.size());
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
  Bench::CountPixels(state, bitmap.Surface(), elements.size(), draw);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(elements.size()));
}

void Quad4Ours(benchmark::State &state) {
  RunOurs(state, Quad4(), [](TCanvas *canvas, const std::array<double, 16> &n) {
    Wgraph::wquad4(canvas, n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], ElementColor, false);
  });
}

void Quad8Ours(benchmark::State &state) {
  RunOurs(state, Quad8(), [](TCanvas *canvas, const std::array<double, 16> &n) {
    Wgraph::wquad8(canvas, n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8], n[9], n[10], n[11], n[12], n[13],
                   n[14], n[15], ElementColor, false);
  });
}

// The same pixel polygons, their paths through the pixel centres.
void FillCairo(benchmark::State &state, const std::vector<TElement> &elements) {
  Bench::TCairoTarget target;
  cairo_t *cr = target.Cr();
  cairo_set_source_rgb(cr, 0, 0.5, 0.5);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  auto draw = [&](std::size_t n) {
    for (std::size_t k = 0; k < n; ++k) {
      const std::vector<TPoint> &pixels = elements[k].Pixels;
      cairo_move_to(cr, pixels[0].X + 0.5, pixels[0].Y + 0.5);
      for (std::size_t i = 1; i < pixels.size(); ++i)
        cairo_line_to(cr, pixels[i].X + 0.5, pixels[i].Y + 0.5);
      cairo_close_path(cr);
      cairo_fill(cr);
    }
  };
  for (auto _ : state) {
    draw(elements.size());
    target.Flush();
  }
  Bench::CountPixels(state, target, elements.size(), draw);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(elements.size()));
}

void Quad4Cairo(benchmark::State &state) { FillCairo(state, Quad4()); }
void Quad8Cairo(benchmark::State &state) { FillCairo(state, Quad8()); }

} // namespace

BENCHMARK(Quad4Ours)->Name("1e4 wquad4 10-30px/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(Quad4Cairo)->Name("1e4 wquad4 10-30px/cairo, a path per polygon")->Unit(benchmark::kMillisecond);
BENCHMARK(Quad8Ours)->Name("1e3 wquad8/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(Quad8Cairo)->Name("1e3 wquad8/cairo, a path per polygon")->Unit(benchmark::kMillisecond);
