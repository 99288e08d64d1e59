// One paint of a 1920-pixel ruler in each graduation mode on a form's framebuffer, and the part
// of it that is text: the same paint's labels written alone.

#include <benchmark/benchmark.h>
#include <memory>
#include <platform/controls/Form.h>
#include <platform/graphics/RecordingDevice.h>
#include <rulers/Pbrulers.h>
#include <worldgraph/VelGraph.h>

namespace {

using namespace Platform;
using namespace Pbrulers;

constexpr int RulerLength = 1920;

struct TRulerStage {
  explicit TRulerStage(TLengthUnits mode) {
    Form->SetBounds(0, 0, RulerLength + 40, 80);
    Graph->SetParent(Form.get());
    Graph->SetBounds(0, 0, RulerLength + 40, 80);
    Ruler->SetBounds(20, 20, RulerLength, 33);
    Ruler->SetXMin(-3.5);
    Ruler->SetXMax(1234.5);
    Ruler->SetLengthUnits(mode);
    Ruler->Paint(); // settles a physical scale's range reset
  }
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  Velgraph::TVelWorldGraph *Graph = new Velgraph::TVelWorldGraph(Form.get());
  TVelPBHRuler *Ruler = new TVelPBHRuler(Graph);
};

void RulerPaint(benchmark::State &state, TLengthUnits mode) {
  TRulerStage stage(mode);
  for (auto _ : state)
    stage.Ruler->Paint();
  benchmark::DoNotOptimize(stage.Ruler->Canvas()->Pixels(30, 10));
}

// The labels of one paint, recorded, then written alone with the state they were written with.
void RulerLabels(benchmark::State &state, TLengthUnits mode) {
  TRulerStage stage(mode);
  TRecordingDevice recorder;
  TCanvas *canvas = stage.Ruler->Canvas();
  TDevice *screen = canvas->Device();
  canvas->SetDevice(&recorder);
  stage.Ruler->Paint();
  canvas->SetDevice(screen);
  std::vector<const TRecordedCall *> labels;
  for (const TRecordedCall &call : recorder.Calls())
    if (call.Kind == dcTextOut)
      labels.push_back(&call);
  state.counters["labels"] = static_cast<double>(labels.size());
  for (auto _ : state)
    for (const TRecordedCall *call : labels)
      screen->TextOut(call->State, call->Points[0], call->Text, call->Font);
  benchmark::DoNotOptimize(stage.Ruler->Canvas()->Pixels(30, 10));
}

} // namespace

BENCHMARK_CAPTURE(RulerPaint, world, luCustom)->Name("Ruler paint 1920px world units")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RulerLabels, world, luCustom)->Name("Ruler labels 1920px world units")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RulerPaint, inches, luActualInches)->Name("Ruler paint 1920px inches")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RulerLabels, inches, luActualInches)
    ->Name("Ruler labels 1920px inches")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RulerPaint, mm, luActualMM)->Name("Ruler paint 1920px millimetres")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RulerLabels, mm, luActualMM)->Name("Ruler labels 1920px millimetres")->Unit(benchmark::kMicrosecond);
