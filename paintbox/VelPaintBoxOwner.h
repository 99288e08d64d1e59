#pragma once

// What the world paint box asks of the component that owns it, so that the paint box unit needs
// no knowledge of the graph's class: the graph implements this interface.

#include <platform/rtl/Export.h>

namespace Velpaint {

class VELGRAPH_API IVelPaintBoxOwner {
public:
  // True when the owner's drawing goes straight to the screen canvas rather than through the
  // off-screen bitmap; the paint box then draws on its own canvas as well.
  virtual bool InteractiveApplication() const = 0;
  // The pointer has left the paint box: whatever follows the pointer there (a crosshair) goes.
  virtual void PaintBoxMouseLeft() {}

protected:
  ~IVelPaintBoxOwner() = default;
};

} // namespace Velpaint
