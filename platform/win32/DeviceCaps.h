#pragma once

#include <platform/win32/Win32Types.h>

namespace Platform {

// HORZSIZE and VERTSIZE in millimetres (rounded), HORZRES and VERTRES in pixels, LOGPIXELSX and
// LOGPIXELSY in pixels per inch: for the screen's context from the display metrics, for a
// canvas's context from its device (or, for a printer between jobs, from its page settings).
// 0 for other indices and for stale handles.
int GetDeviceCaps(HDC dc, int index);

} // namespace Platform
