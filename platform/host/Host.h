#pragma once

#include <platform/graphics/Types.h>
#include <platform/rtl/Export.h>

namespace Platform {

// What the rest of the library asks of the window host that is running (see Application()):
// the pointer on the screen.
class VELGRAPH_API THost {
public:
  virtual ~THost() = default;

  // Moves the pointer to a screen position; the host then delivers the resulting mouse move
  // as it would for the user's own. False when the host cannot move it.
  virtual bool SetCursorPos(TPoint screenPoint) = 0;
  virtual TPoint CursorPos() const = 0;
};

} // namespace Platform
