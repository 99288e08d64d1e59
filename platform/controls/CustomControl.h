#pragma once

#include <platform/controls/WinControl.h>
#include <platform/rtl/Export.h>

namespace Platform {

// A windowed control that paints itself: override Paint and draw on Canvas.
class VELGRAPH_API TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent *owner) : TWinControl(owner) {}

  TCanvas *Canvas() { return &ControlCanvas(); }
};

} // namespace Platform
