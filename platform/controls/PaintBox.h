#pragma once

#include <platform/controls/GraphicControl.h>
#include <platform/rtl/Export.h>

namespace Platform {

// A drawing area without a window: whatever OnPaint draws on its canvas.
class VELGRAPH_API TPaintBox : public TGraphicControl {
public:
  explicit TPaintBox(TComponent *owner);

  TNotifyEvent OnPaint;
  // Gives the canvas the box's font and its colour as the brush, then fires OnPaint.
  void Paint() override;
};

} // namespace Platform
