// Short numeric labels, as axes and rulers write them, against cairo's toy text API with the same
// face at the same pixel size on the same surface.

#include "BenchSupport.h"

#include <array>
#include <benchmark/benchmark.h>
#include <platform/graphics/Font.h>
#include <platform/pictures/Bitmap.h>

namespace {

using namespace Platform;

constexpr int LabelCount = 10000;
constexpr std::array<const char *, 8> Labels{"12.5", "-3.75", "1000", "0.25", "-120", "7.5", "3.1416", "42"};

struct TLabel {
  int X = 0;
  int Y = 0;
  const char *Text = nullptr;
};

const std::vector<TLabel> &Placed() {
  static const std::vector<TLabel> labels = [] {
    std::vector<TLabel> out(LabelCount);
    for (int i = 0; i < LabelCount; ++i)
      out[i] = {Bench::Uniform(0, Bench::SurfaceWidth - 60), Bench::Uniform(0, Bench::SurfaceHeight - 20),
                Labels[static_cast<std::size_t>(i) % Labels.size()]};
    return out;
  }();
  return labels;
}

void LabelsOurs(benchmark::State &state, int points) {
  TBitmap bitmap(Bench::SurfaceWidth, Bench::SurfaceHeight);
  TCanvas &canvas = *bitmap.Canvas();
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetName("Liberation Sans");
  canvas.Font().SetSize(points);
  const std::vector<TLabel> &labels = Placed();
  for (auto _ : state) {
    for (const TLabel &label : labels)
      canvas.TextOut(label.X, label.Y, label.Text);
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
}

void LabelsCairo(benchmark::State &state, int points) {
  Bench::TCairoTarget target;
  cairo_t *cr = target.Cr();
  cairo_font_options_t *options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, PointsToPixels(points, 96));
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_font_extents_t extents;
  cairo_font_extents(cr, &extents);
  const std::vector<TLabel> &labels = Placed();
  for (auto _ : state) {
    // cairo places text by its baseline; ours by the top of the cell.
    for (const TLabel &label : labels) {
      cairo_move_to(cr, label.X, label.Y + extents.ascent);
      cairo_show_text(cr, label.Text);
    }
    cairo_surface_flush(target.Surface());
    benchmark::DoNotOptimize(cairo_image_surface_get_data(target.Surface())[0]);
  }
}

void Labels8Ours(benchmark::State &state) { LabelsOurs(state, 8); }
void Labels8Cairo(benchmark::State &state) { LabelsCairo(state, 8); }
void Labels10Ours(benchmark::State &state) { LabelsOurs(state, 10); }
void Labels10Cairo(benchmark::State &state) { LabelsCairo(state, 10); }

} // namespace

BENCHMARK(Labels8Ours)->Name("1e4 TextOut short numeric labels 8pt/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(Labels8Cairo)->Name("1e4 TextOut short numeric labels 8pt/cairo")->Unit(benchmark::kMillisecond);
BENCHMARK(Labels10Ours)->Name("1e4 TextOut short numeric labels 10pt/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(Labels10Cairo)->Name("1e4 TextOut short numeric labels 10pt/cairo")->Unit(benchmark::kMillisecond);
