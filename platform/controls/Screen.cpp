#include <platform/controls/Screen.h>

#include <platform/graphics/ScreenResolution.h>

namespace Platform {

TScreen::TScreen() {
  // Off-screen surfaces follow the display this screen reports.
  SetScreenPixelsPerInchSource([] { return Screen().PixelsPerInch(); });
}

TScreen &Screen() {
  static TScreen screen;
  return screen;
}

} // namespace Platform
