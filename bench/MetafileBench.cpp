// An enhanced metafile of 10,000 records played onto a 1920x1080 raster canvas, against cairo
// drawing the same figures directly: lines, polylines, filled rectangles and ellipses and short
// labels in a few colours. The file is written by our EMF writer from a recording of the figures
// and loaded before the timed loop, so the loop times the reading of the records and the drawing.
//
// Cairo draws each figure as a path of its own in its colour, as a metafile sets the state for
// each; its coordinates sit on pixel centres and its antialiasing is off, as in the other cases.
// Its labels are shaped before the timed loop (cairo_show_glyphs), its fastest way to text. The
// floor replays the recording itself: our drawing of the same calls with no file to read.

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <platform/graphics/raster/RasterDevice.h>
#include <platform/graphics/recording/RecordingDevice.h>
#include <platform/pictures/Bitmap.h>
#include <platform/pictures/EmfWriter.h>
#include <platform/pictures/Metafile.h>
#include <string>

namespace {

using namespace Platform;

// Figures per kind; with the records that select their pens and brushes the file holds 10,000
// records (counted in the "records" counter).
constexpr int FiguresPerKind = 1174;
constexpr TColor Colors[] = {clNavy, clMaroon, clGreen, clTeal};
constexpr const char *Labels[] = {"12.5", "-3.75", "1000", "0.25"};
constexpr int LabelPoints = 8;

enum class TKind { Line, Polyline, Rectangle, Ellipse, Label };

struct TFigure {
  TKind Kind;
  std::vector<TPoint> Points; // line and polyline points; a box's corners; a label's place
  TColor Color;
  const char *Text = nullptr;
};

// Kinds in turn, so that every figure changes the pen or brush in force.
const std::vector<TFigure> &Figures() {
  static const std::vector<TFigure> figures = [] {
    auto random = Bench::Generator(12);
    const auto place = [&](int reach) {
      return TPoint{Bench::Uniform(random, reach, Bench::SurfaceWidth - reach),
                    Bench::Uniform(random, reach, Bench::SurfaceHeight - reach)};
    };
    const auto near = [&](TPoint p, int reach) {
      return TPoint{p.X + Bench::Uniform(random, -reach, reach), p.Y + Bench::Uniform(random, -reach, reach)};
    };
    std::vector<TFigure> out;
    for (int i = 0; i < FiguresPerKind; ++i) {
      const TColor color = Colors[i % std::size(Colors)];
      const TPoint a = place(60);
      out.push_back({TKind::Line, {a, near(a, 50)}, color});
      TFigure polyline{TKind::Polyline, {place(60)}, color};
      for (int k = 0; k < 5; ++k)
        polyline.Points.push_back(near(polyline.Points.back(), 12));
      out.push_back(polyline);
      const TPoint b = place(60);
      out.push_back({TKind::Rectangle, {b, near(b, 30)}, color});
      const TPoint c = place(60);
      out.push_back({TKind::Ellipse, {c, near(c, 30)}, color});
      out.push_back({TKind::Label, {place(60)}, clBlack, Labels[i % std::size(Labels)]});
    }
    return out;
  }();
  return figures;
}

void DrawFigures(TCanvas &canvas, std::size_t count) {
  const std::vector<TFigure> &figures = Figures();
  canvas.Font().SetName("Liberation Sans");
  canvas.Font().SetSize(LabelPoints);
  for (std::size_t i = 0; i < count; ++i) {
    const TFigure &f = figures[i];
    canvas.Pen().SetColor(f.Color);
    canvas.Brush().SetColor(f.Color == clNavy ? clYellow : clSilver);
    const TPoint a = f.Points[0], b = f.Points.back();
    switch (f.Kind) {
    case TKind::Line:
      canvas.MoveTo(a.X, a.Y);
      canvas.LineTo(b.X, b.Y);
      break;
    case TKind::Polyline: canvas.Polyline(f.Points); break;
    case TKind::Rectangle: canvas.Rectangle(a.X, a.Y, b.X, b.Y); break;
    case TKind::Ellipse: canvas.Ellipse(a.X, a.Y, b.X, b.Y); break;
    case TKind::Label:
      canvas.Brush().SetStyle(bsClear);
      canvas.TextOut(a.X, a.Y, f.Text);
      break;
    }
  }
}

// The first count figures, recorded.
TRecordingDevice RecordingOf(std::size_t count) {
  TRecordingDevice recording;
  TCanvas canvas(&recording);
  DrawFigures(canvas, count);
  return recording;
}

std::vector<std::uint8_t> FileOf(std::size_t count) {
  return TEmfWriter(Bench::SurfaceWidth, Bench::SurfaceHeight).Write(RecordingOf(count).Calls());
}

std::uint32_t RecordCount(const std::vector<std::uint8_t> &file) {
  return file[52] | file[53] << 8 | file[54] << 16 | static_cast<std::uint32_t>(file[55]) << 24;
}

void PlayOurs(benchmark::State &state) {
  const std::vector<std::uint8_t> file = FileOf(Figures().size());
  TMetafile picture;
  picture.LoadFromMemory(file.data(), file.size());
  TBitmap bitmap(Bench::SurfaceWidth, Bench::SurfaceHeight);
  const TRect all{0, 0, Bench::SurfaceWidth, Bench::SurfaceHeight};
  for (auto _ : state) {
    bitmap.Canvas()->StretchDraw(all, picture);
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
  Bench::CountPixels(state, bitmap.Surface(), Figures().size(), [&](std::size_t n) {
    const std::vector<std::uint8_t> sample = FileOf(n);
    TMetafile part;
    part.LoadFromMemory(sample.data(), sample.size());
    bitmap.Canvas()->StretchDraw(all, part);
  });
  state.counters["records"] = RecordCount(file);
  state.SetItemsProcessed(state.iterations() * RecordCount(file));
}

void ReplayFloor(benchmark::State &state) {
  const TRecordingDevice recording = RecordingOf(Figures().size());
  TBitmap bitmap(Bench::SurfaceWidth, Bench::SurfaceHeight);
  TRasterDevice device(bitmap.Surface());
  for (auto _ : state) {
    recording.Replay(device);
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
  Bench::CountPixels(state, bitmap.Surface(), Figures().size(), [&](std::size_t n) { RecordingOf(n).Replay(device); });
}

void SetColor(cairo_t *cr, TColor color) {
  cairo_set_source_rgb(cr, GetRValue(color) / 255.0, GetGValue(color) / 255.0, GetBValue(color) / 255.0);
}

// A box's outline on pixel centres inside it, as our 1-pixel pen draws it, after its fill.
void BoxPath(cairo_t *cr, TKind kind, TPoint a, TPoint b) {
  const double left = std::min(a.X, b.X) + 0.5, top = std::min(a.Y, b.Y) + 0.5;
  const double width = std::abs(b.X - a.X) - 1.0, height = std::abs(b.Y - a.Y) - 1.0;
  if (kind == TKind::Rectangle) {
    cairo_rectangle(cr, left, top, width, height);
    return;
  }
  cairo_save(cr);
  cairo_translate(cr, left + width / 2, top + height / 2);
  cairo_scale(cr, std::max(width, 0.5) / 2, std::max(height, 0.5) / 2);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
}

void DrawCairo(benchmark::State &state) {
  Bench::TCairoTarget target;
  cairo_t *cr = target.Cr();
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, PointsToPixels(LabelPoints, 96));
  cairo_font_extents_t extents;
  cairo_font_extents(cr, &extents);
  cairo_scaled_font_t *font = cairo_get_scaled_font(cr);
  const std::vector<TFigure> &figures = Figures();
  std::vector<std::vector<cairo_glyph_t>> glyphs(figures.size());
  for (std::size_t i = 0; i < figures.size(); ++i)
    if (figures[i].Kind == TKind::Label) {
      cairo_glyph_t *shaped = nullptr;
      int count = 0;
      cairo_scaled_font_text_to_glyphs(font, figures[i].Points[0].X, figures[i].Points[0].Y + extents.ascent,
                                       figures[i].Text, -1, &shaped, &count, nullptr, nullptr, nullptr);
      glyphs[i].assign(shaped, shaped + count);
      cairo_glyph_free(shaped);
    }
  auto draw = [&](std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      const TFigure &f = figures[i];
      const TPoint a = f.Points[0], b = f.Points.back();
      switch (f.Kind) {
      case TKind::Line:
      case TKind::Polyline:
        cairo_move_to(cr, a.X + 0.5, a.Y + 0.5);
        for (std::size_t k = 1; k < f.Points.size(); ++k)
          cairo_line_to(cr, f.Points[k].X + 0.5, f.Points[k].Y + 0.5);
        SetColor(cr, f.Color);
        cairo_stroke(cr);
        break;
      case TKind::Rectangle:
      case TKind::Ellipse:
        BoxPath(cr, f.Kind, a, b);
        SetColor(cr, f.Color == clNavy ? clYellow : clSilver);
        cairo_fill_preserve(cr);
        SetColor(cr, f.Color);
        cairo_stroke(cr);
        break;
      case TKind::Label:
        SetColor(cr, clBlack);
        cairo_show_glyphs(cr, glyphs[i].data(), static_cast<int>(glyphs[i].size()));
        break;
      }
    }
  };
  for (auto _ : state) {
    draw(figures.size());
    target.Flush();
  }
  Bench::CountPixels(state, target, figures.size(), draw);
}

} // namespace

BENCHMARK(PlayOurs)->Name("EMF of 1e4 records played/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(DrawCairo)
    ->Name("EMF of 1e4 records played/cairo, the figures drawn directly")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ReplayFloor)
    ->Name("EMF of 1e4 records played/floor: the recording replayed, no file")
    ->Unit(benchmark::kMillisecond);
