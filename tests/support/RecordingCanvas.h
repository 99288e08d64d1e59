#pragma once

#include <platform/graphics/Canvas.h>
#include <platform/graphics/recording/RecordingDevice.h>
#include <vector>

// A canvas whose device keeps every call, for asserting exactly what a drawing did.
struct TRecordingCanvas {
  Platform::TRecordingDevice Device;
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
