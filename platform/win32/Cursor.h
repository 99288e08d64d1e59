#pragma once

#include <platform/graphics/Types.h>
#include <platform/rtl/Export.h>

namespace Platform {

// Moves the mouse pointer to a screen position through the running host, which delivers the
// resulting mouse move as the platform does. False when no host is running.
VELGRAPH_API bool SetCursorPos(int x, int y);

// The pointer's screen position; false (and point untouched) when no host is running.
VELGRAPH_API bool GetCursorPos(TPoint *point);

} // namespace Platform
