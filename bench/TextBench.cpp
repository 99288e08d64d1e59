// Short numeric labels, as axes and rulers write them, against cairo with the same face at the
// same pixel size on the same surface: through its toy text API, which shapes every label anew,
// and through cairo_show_glyphs with every label shaped once before the timed loop, its fastest
// way to the same glyphs.

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
    auto random = Bench::Generator(9);
    std::vector<TLabel> out(LabelCount);
    for (int i = 0; i < LabelCount; ++i)
      out[i] = {Bench::Uniform(random, 0, Bench::SurfaceWidth - 60),
                Bench::Uniform(random, 0, Bench::SurfaceHeight - 20),
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
  auto draw = [&](std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
      canvas.TextOut(labels[i].X, labels[i].Y, labels[i].Text);
  };
  for (auto _ : state) {
    draw(labels.size());
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
  Bench::CountPixels(state, bitmap.Surface(), labels.size(), draw);
}

// Grey-scale antialiased text in our face and size, black; returns the face's ascent, for cairo
// places text by its baseline and we by the top of the cell.
double SetUpText(cairo_t *cr, int points) {
  cairo_font_options_t *options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, PointsToPixels(points, 96));
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_font_extents_t extents;
  cairo_font_extents(cr, &extents);
  return extents.ascent;
}

void LabelsCairoText(benchmark::State &state, int points) {
  Bench::TCairoTarget target;
  cairo_t *cr = target.Cr();
  const double ascent = SetUpText(cr, points);
  const std::vector<TLabel> &labels = Placed();
  auto draw = [&](std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      cairo_move_to(cr, labels[i].X, labels[i].Y + ascent);
      cairo_show_text(cr, labels[i].Text);
    }
  };
  for (auto _ : state) {
    draw(labels.size());
    target.Flush();
  }
  Bench::CountPixels(state, target, labels.size(), draw);
}

void LabelsCairoGlyphs(benchmark::State &state, int points) {
  Bench::TCairoTarget target;
  cairo_t *cr = target.Cr();
  const double ascent = SetUpText(cr, points);
  cairo_scaled_font_t *font = cairo_get_scaled_font(cr);
  std::vector<cairo_glyph_t> glyphs;
  std::vector<std::pair<std::size_t, int>> runs; // first glyph and count of each label
  for (const TLabel &label : Placed()) {
    cairo_glyph_t *shaped = nullptr;
    int count = 0;
    cairo_scaled_font_text_to_glyphs(font, label.X, label.Y + ascent, label.Text, -1, &shaped, &count, nullptr, nullptr,
                                     nullptr);
    runs.emplace_back(glyphs.size(), count);
    glyphs.insert(glyphs.end(), shaped, shaped + count);
    cairo_glyph_free(shaped);
  }
  auto draw = [&](std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
      cairo_show_glyphs(cr, glyphs.data() + runs[i].first, runs[i].second);
  };
  for (auto _ : state) {
    draw(runs.size());
    target.Flush();
  }
  Bench::CountPixels(state, target, runs.size(), draw);
}

} // namespace

BENCHMARK_CAPTURE(LabelsOurs, 8, 8)
    ->Name("1e4 TextOut short numeric labels 8pt/velgraph")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LabelsCairoText, 8, 8)
    ->Name("1e4 TextOut short numeric labels 8pt/cairo, show_text")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LabelsCairoGlyphs, 8, 8)
    ->Name("1e4 TextOut short numeric labels 8pt/cairo, show_glyphs shaped once")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LabelsOurs, 10, 10)
    ->Name("1e4 TextOut short numeric labels 10pt/velgraph")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LabelsCairoText, 10, 10)
    ->Name("1e4 TextOut short numeric labels 10pt/cairo, show_text")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LabelsCairoGlyphs, 10, 10)
    ->Name("1e4 TextOut short numeric labels 10pt/cairo, show_glyphs shaped once")
    ->Unit(benchmark::kMillisecond);
