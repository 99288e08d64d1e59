#pragma once

// A world graph on a form, showing the frame 0..10 by 0..10 at 100 pixels per world unit on a
// recording canvas, so that tests read what the clipped drawing handed to the device.

#include <gtest/gtest.h>

#include <memory>
#include <platform/controls/Form.h>
#include <platform/graphics/recording/RecordingDevice.h>
#include <vector>
#include <wgraph/Wgraph.h>
#include <worldgraph/VelGraph.h>

namespace GraphTest {

using namespace Platform;
using namespace Velgraph;

// A line the device was asked to draw, in pixels.
struct TDrawnLine {
  TPoint From, To;
  friend bool operator==(const TDrawnLine &, const TDrawnLine &) = default;
};

inline std::ostream &operator<<(std::ostream &out, const TDrawnLine &l) {
  return out << "(" << l.From.X << "," << l.From.Y << ")-(" << l.To.X << "," << l.To.Y << ")";
}

class RecordedGraph : public ::testing::Test {
protected:
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TVelWorldGraph *Graph = nullptr;
  TRecordingDevice Device;
  TCanvas Recorder{&Device};

  void SetUp() override {
    Form->SetBounds(0, 0, 500, 500);
    Graph = new TVelWorldGraph(Form.get());
    Graph->SetProportional(false);
    SetFrame(0, 10, 0, 10);
  }

  // Shows the window on 1000 x 1000 pixels (y up) and records what is drawn.
  void SetFrame(double xMin, double xMax, double yMin, double yMax) {
    Graph->SetXMin(xMin);
    Graph->SetXMax(xMax);
    Graph->SetYMin(yMin);
    Graph->SetYMax(yMax);
    Wgraph::SetWorldWindow(xMin, xMax, yMax, yMin, 0, 0, 0, 0);
    Wgraph::SetPCWindow(0, 1000, 0, 1000);
    Graph->PaintBox()->DrawCanvas = &Recorder;
    Device.Clear();
  }

  static TPoint Pixel(double x, double y) {
    TPoint p;
    Wgraph::WorldToPC(x, y, p.X, p.Y);
    return p;
  }

  std::vector<TDrawnLine> Lines() const {
    std::vector<TDrawnLine> lines;
    for (const TRecordedCall &call : Device.Calls())
      if (call.Kind == dcLine)
        lines.push_back({call.Points[0], call.Points[1]});
    return lines;
  }

  std::vector<TDeviceCall> Kinds() const {
    std::vector<TDeviceCall> kinds;
    for (const TRecordedCall &call : Device.Calls())
      kinds.push_back(call.Kind);
    return kinds;
  }

  // Every point of every recorded call lies within the frame's pixels.
  // Every figure stays inside; the pen alone may stand outside the frame.
  ::testing::AssertionResult AllInsideFrame() const {
    for (const TRecordedCall &call : Device.Calls())
      if (call.Kind != Platform::dcMoveTo)
        for (const TPoint &p : call.Points)
          if (p.X < 0 || p.X > 1000 || p.Y < 0 || p.Y > 1000)
            return ::testing::AssertionFailure()
                   << "call " << static_cast<int>(call.Kind) << " reaches (" << p.X << ", " << p.Y << ")";
    return ::testing::AssertionSuccess();
  }
};

} // namespace GraphTest
