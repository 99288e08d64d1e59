#pragma once

#include <platform/graphics/Canvas.h>
#include <platform/graphics/recording/RecordingDevice.h>

// A canvas whose device keeps every call, for asserting exactly what a drawing did.
struct TRecordingCanvas {
  Platform::TRecordingDevice Device;
  Platform::TCanvas Canvas{&Device};
  const std::vector<Platform::TRecordedCall> &Calls() const { return Device.Calls(); }
};
