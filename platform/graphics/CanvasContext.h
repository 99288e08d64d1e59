#pragma once

#include <platform/rtl/Export.h>

namespace Platform {

// What a layer above the canvas keeps with one canvas (the device context the Win32 calls hand
// out for it): set once, destroyed with the canvas, and told when a font selected over the
// canvas's own font goes out of use.
class VELGRAPH_API TCanvasContext {
public:
  virtual ~TCanvasContext() = default;
  virtual void SelectionEnded() {}
};

} // namespace Platform
