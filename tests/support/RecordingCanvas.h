#pragma once

#include <platform/graphics/Canvas.h>
#include <platform/graphics/recording/RecordingDevice.h>
#include <vector>

// A recording of the figures alone: pen moves draw nothing, and tests that count what is drawn
// leave them out.
struct TFigureRecordingDevice : Platform::TRecordingDevice {
  void MoveTo(const Platform::TDrawState &, Platform::TPoint) override {}
};

// A canvas whose device keeps every call (or every figure), for asserting exactly what a drawing
// did.
template <class TDeviceKind> struct TRecordingCanvasOf {
  TDeviceKind Device;
  Platform::TCanvas Canvas{&Device};
  const std::vector<Platform::TRecordedCall> &Calls() const { return Device.Calls(); }
  // The calls of one kind, in order.
  std::vector<const Platform::TRecordedCall *> CallsOf(Platform::TDeviceCall kind) const {
    std::vector<const Platform::TRecordedCall *> calls;
    for (const Platform::TRecordedCall &c : Calls())
      if (c.Kind == kind)
        calls.push_back(&c);
    return calls;
  }
};

using TRecordingCanvas = TRecordingCanvasOf<Platform::TRecordingDevice>;
using TFigureRecordingCanvas = TRecordingCanvasOf<TFigureRecordingDevice>;
