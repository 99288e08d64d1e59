#pragma once

// A world graph on a form for rulers to stand on, with a recorder for the calls a paint makes.

#include <algorithm>
#include <memory>
#include <platform/controls/Form.h>
#include <platform/graphics/RecordingDevice.h>
#include <platform/host/Display.h>
#include <rulers/Pbrulers.h>
#include <vector>
#include <worldgraph/VelGraph.h>

namespace RulerSheet {

using namespace Platform;

struct TTick {
  TPoint From, To;
  friend bool operator==(const TTick &, const TTick &) = default;
};

struct TLabel {
  TPoint At;
  std::string Text;
  friend bool operator==(const TLabel &, const TLabel &) = default;
};

// The calls of the paints made while recording, sorted by kind.
struct TPaintRecord {
  int Frames = 0;
  std::vector<TRecordedCall> FrameCalls;
  std::vector<TTick> Ticks;
  std::vector<TLabel> Labels;
};

class Sheet {
public:
  Sheet() {
    Form->SetBounds(0, 0, 1000, 700);
    Graph->SetParent(Form.get());
    Graph->SetBounds(0, 0, 1000, 700);
  }
  ~Sheet() { DisplayMetrics() = SavedDisplay; }

  // Points the ruler's own canvas at the recorder (the form's pixels stay untouched).
  template <class TRuler> void Record(TRuler *ruler) {
    Recorder.Clear();
    ruler->Canvas()->SetDevice(&Recorder);
  }
  TPaintRecord Recorded() const { return Sorted(Recorder); }
  static TPaintRecord Sorted(const TRecordingDevice &recorder) {
    TPaintRecord r;
    for (const TRecordedCall &call : recorder.Calls()) {
      if (call.Kind == dcRectangle) {
        ++r.Frames;
        r.FrameCalls.push_back(call);
      } else if (call.Kind == dcLine) {
        r.Ticks.push_back({call.Points[0], call.Points[1]});
      } else if (call.Kind == dcTextOut) {
        r.Labels.push_back({call.Points[0], call.Text});
      }
    }
    return r;
  }

  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  Velgraph::TVelWorldGraph *Graph = new Velgraph::TVelWorldGraph(Form.get());
  TRecordingDevice Recorder;
  TDisplayMetrics SavedDisplay = DisplayMetrics();
};

} // namespace RulerSheet
