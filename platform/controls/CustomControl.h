#pragma once

#include <platform/controls/WinControl.h>

namespace Platform {

// A windowed control that paints itself: override Paint and draw on Canvas.
class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent *owner) : TWinControl(owner) {}

  TCanvas *Canvas() { return &ControlCanvas(); }
};

} // namespace Platform
