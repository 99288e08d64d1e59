// Printing: one A4 page at 600 dpi with 1e5 short segments written to a PDF by the printer,
// against cairo drawing the same segments on its own PDF surface (move_to, line_to, stroke per
// segment, the calls a canvas gets from MoveTo/LineTo). Both write a file in the same folder; the
// "bytes" counter is each file's size. The rulers will join this page once they print.

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cairo-pdf.h>
#include <filesystem>
#include <platform/printers/Printer.h>
#include <unistd.h>

namespace {

using namespace Platform;

constexpr int SegmentCount = 100000;
constexpr int Dpi = 600;
constexpr double A4Width = 210, A4Height = 297;
constexpr int MaxLength = 120;

int PagePixels(double mm) { return static_cast<int>(mm / 25.4 * Dpi + 0.5); }

struct TSegment {
  TPoint A, B;
};

const std::vector<TSegment> &Segments() {
  static const std::vector<TSegment> segments = [] {
    std::vector<TSegment> out(SegmentCount);
    const int w = PagePixels(A4Width), h = PagePixels(A4Height);
    for (TSegment &s : out) {
      s.A = {Bench::Uniform(0, w - 1), Bench::Uniform(0, h - 1)};
      s.B = {s.A.X + Bench::Uniform(-MaxLength, MaxLength), s.A.Y + Bench::Uniform(-MaxLength, MaxLength)};
    }
    return out;
  }();
  return segments;
}

std::string OutputFile(const char *side) {
  return (std::filesystem::temp_directory_path() / ("velgraph-print-bench-" + std::to_string(getpid()) + "-" + side +
                                                    ".pdf"))
      .string();
}

void PrintOurs(benchmark::State &state) {
  const std::vector<TSegment> &segments = Segments();
  const std::string file = OutputFile("velgraph");
  TPrinter printer;
  printer.SetFileName(file);
  for (auto _ : state) {
    printer.BeginDoc();
    TCanvas &canvas = *printer.Canvas();
    canvas.Pen().SetColor(clNavy);
    for (const TSegment &s : segments) {
      canvas.MoveTo(s.A.X, s.A.Y);
      canvas.LineTo(s.B.X, s.B.Y);
    }
    printer.EndDoc();
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
  std::filesystem::remove(file);
}

void PrintCairo(benchmark::State &state) {
  const std::vector<TSegment> &segments = Segments();
  const std::string file = OutputFile("cairo");
  const double points = 72.0 / Dpi;
  for (auto _ : state) {
    cairo_surface_t *surface = cairo_pdf_surface_create(file.c_str(), A4Width / 25.4 * 72, A4Height / 25.4 * 72);
    cairo_t *cr = cairo_create(surface);
    cairo_scale(cr, points, points);
    cairo_set_source_rgb(cr, 0, 0, 0.5);
    cairo_set_line_width(cr, 1);
    for (const TSegment &s : segments) {
      cairo_move_to(cr, s.A.X + 0.5, s.A.Y + 0.5);
      cairo_line_to(cr, s.B.X + 0.5, s.B.Y + 0.5);
      cairo_stroke(cr);
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    cairo_surface_destroy(surface);
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
  std::filesystem::remove(file);
}

} // namespace

BENCHMARK(PrintOurs)->Name("A4 PDF, 1e5 segments/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(PrintCairo)->Name("A4 PDF, 1e5 segments/cairo")->Unit(benchmark::kMillisecond);
