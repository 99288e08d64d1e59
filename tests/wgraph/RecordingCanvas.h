#pragma once

#include <platform/graphics/Canvas.h>
#include <platform/graphics/RecordingDevice.h>

// A recording of the figures alone: pen moves draw nothing, and these tests count what is drawn.
struct TFigureRecordingDevice : Platform::TRecordingDevice {
  void MoveTo(const Platform::TDrawState &, Platform::TPoint) override {}
};

// A canvas whose device keeps every figure, for asserting exactly what a drawing did.
struct TRecordingCanvas {
  TFigureRecordingDevice Device;
  Platform::TCanvas Canvas{&Device};
  const std::vector<Platform::TRecordedCall> &Calls() const { return Device.Calls(); }
};
