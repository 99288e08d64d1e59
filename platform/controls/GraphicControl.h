#pragma once

#include <platform/controls/Control.h>
#include <platform/rtl/Export.h>

namespace Platform {

// A control without a window of its own: its canvas draws on its parent's surface, clipped to
// its rectangle, and it is painted right after its parent.
class VELGRAPH_API TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent *owner) : TControl(owner) {}

  TCanvas *Canvas() { return &ControlCanvas(); }
};

} // namespace Platform
