// Printing: one A4 page at 600 dpi with 1e5 short segments written to a PDF by the printer,
// against cairo drawing the same segments on its own PDF surface (move_to, line_to, stroke per
// segment, the calls a canvas gets from MoveTo/LineTo). Both write a file in the same folder; the
// "bytes" counter is each file's size. A second pair adds both rulers of a graph, printed by
// their Print on our side and replayed from a recording of the same calls on cairo's.

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cairo-pdf.h>
#include <filesystem>
#include <memory>
#include <platform/controls/Form.h>
#include <platform/graphics/RecordingDevice.h>
#include <platform/printers/Printer.h>
#include <rulers/Pbrulers.h>
#include <unistd.h>
#include <worldgraph/VelGraph.h>

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
    std::mt19937 random = Bench::Generator(0x9e1a7);
    for (TSegment &s : out) {
      s.A = {Bench::Uniform(random, 0, w - 1), Bench::Uniform(random, 0, h - 1)};
      s.B = {s.A.X + Bench::Uniform(random, -MaxLength, MaxLength),
             s.A.Y + Bench::Uniform(random, -MaxLength, MaxLength)};
    }
    return out;
  }();
  return segments;
}

std::string OutputFile(const char *side) {
  return (std::filesystem::temp_directory_path() /
          ("velgraph-print-bench-" + std::to_string(getpid()) + "-" + side + ".pdf"))
      .string();
}

// A graph's two rulers: world units along the top of the page, millimetres down its left side.
struct TPageRulers {
  TPageRulers() {
    Form->SetBounds(0, 0, 1000, 700);
    Graph->SetParent(Form.get());
    Graph->SetBounds(0, 0, 1000, 700);
    Across->SetBounds(40, 0, 900, 33);
    Across->SetXMin(-2.5);
    Across->SetXMax(42);
    Down->SetBounds(0, 40, 33, 600);
    Down->SetLengthUnits(Pbrulers::luActualMM);
  }
  void Print() {
    Across->Print(1.0, 0.5, false, false);
    Down->Print(0.5, 1.0, false, false);
  }
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  Velgraph::TVelWorldGraph *Graph = new Velgraph::TVelWorldGraph(Form.get());
  Pbrulers::TVelPBHRuler *Across = new Pbrulers::TVelPBHRuler(Graph);
  Pbrulers::TVelPBVRuler *Down = new Pbrulers::TVelPBVRuler(Graph);
};

// A recording that answers the device measures of the printer's A4 page.
class TPageRecorder : public TRecordingDevice {
public:
  TRect Bounds() const override { return {0, 0, PagePixels(A4Width), PagePixels(A4Height)}; }
  int PixelsPerInch() const override { return Dpi; }
};

// The calls the rulers' Print makes on the printer's canvas.
std::vector<TRecordedCall> RulerCalls(TPageRulers &rulers) {
  TPageRecorder recorder;
  Printer()->Canvas()->SetDevice(&recorder);
  rulers.Print();
  Printer()->Canvas()->SetDevice(nullptr);
  return recorder.Calls();
}

void PrintOurs(benchmark::State &state, bool withRulers) {
  const std::vector<TSegment> &segments = Segments();
  const std::string file = OutputFile("velgraph");
  TPageRulers rulers;
  TPrinter &printer = *Printer();
  printer.SetFileName(file);
  for (auto _ : state) {
    printer.BeginDoc();
    TCanvas &canvas = *printer.Canvas();
    canvas.Pen().SetColor(clNavy);
    for (const TSegment &s : segments) {
      canvas.MoveTo(s.A.X, s.A.Y);
      canvas.LineTo(s.B.X, s.B.Y);
    }
    if (withRulers)
      rulers.Print();
    printer.EndDoc();
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
  std::filesystem::remove(file);
}

void CairoColour(cairo_t *cr, TColor colour) {
  cairo_set_source_rgb(cr, (colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0, ((colour >> 16) & 0xFF) / 255.0);
}

// The recorded frames, ticks and labels drawn with cairo's own calls, in the printer's pixels.
void CairoReplay(cairo_t *cr, const std::vector<TRecordedCall> &calls) {
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  for (const TRecordedCall &call : calls) {
    if (call.Kind == dcRectangle) {
      const TRect &box = call.Box;
      CairoColour(cr, call.State.Brush.Color);
      cairo_rectangle(cr, box.Left, box.Top, box.Width(), box.Height());
      cairo_fill(cr);
      CairoColour(cr, call.State.Pen.Color);
      cairo_rectangle(cr, box.Left + 0.5, box.Top + 0.5, box.Width() - 1, box.Height() - 1);
      cairo_stroke(cr);
    } else if (call.Kind == dcLine) {
      CairoColour(cr, call.State.Pen.Color);
      cairo_move_to(cr, call.Points[0].X + 0.5, call.Points[0].Y + 0.5);
      cairo_line_to(cr, call.Points[1].X + 0.5, call.Points[1].Y + 0.5);
      cairo_stroke(cr);
    } else if (call.Kind == dcTextOut) {
      cairo_set_font_size(cr, PointsToPixels(call.Font.Size, Dpi));
      cairo_font_extents_t extents;
      cairo_font_extents(cr, &extents);
      CairoColour(cr, call.Font.Color);
      cairo_move_to(cr, call.Points[0].X, call.Points[0].Y + extents.ascent);
      cairo_show_text(cr, call.Text.c_str());
    }
  }
}

void PrintCairo(benchmark::State &state, bool withRulers) {
  const std::vector<TSegment> &segments = Segments();
  const std::string file = OutputFile("cairo");
  TPageRulers rulers;
  const std::vector<TRecordedCall> rulerCalls = withRulers ? RulerCalls(rulers) : std::vector<TRecordedCall>{};
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
    CairoReplay(cr, rulerCalls);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    cairo_surface_destroy(surface);
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
  std::filesystem::remove(file);
}

} // namespace

BENCHMARK_CAPTURE(PrintOurs, segments, false)->Name("A4 PDF, 1e5 segments/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PrintCairo, segments, false)->Name("A4 PDF, 1e5 segments/cairo")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PrintOurs, rulers, true)
    ->Name("A4 PDF, 1e5 segments and both rulers/velgraph")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PrintCairo, rulers, true)
    ->Name("A4 PDF, 1e5 segments and both rulers/cairo")
    ->Unit(benchmark::kMillisecond);
