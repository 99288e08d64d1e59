#include <platform/controls/Screen.h>

#include <platform/graphics/ScreenResolution.h>
#include <platform/host/Display.h>

namespace Platform {

int TScreen::Width() const { return DisplayMetrics().Width; }
int TScreen::Height() const { return DisplayMetrics().Height; }
int TScreen::PixelsPerInch() const { return DisplayMetrics().PixelsPerInch; }

TScreen::TScreen() {
  // Off-screen surfaces follow the display this screen reports.
  SetScreenPixelsPerInchSource([] { return Screen().PixelsPerInch(); });
}

TScreen &Screen() {
  static TScreen screen;
  return screen;
}

} // namespace Platform
