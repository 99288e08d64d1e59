#include <platform/controls/Screen.h>

namespace Platform {

TScreen &Screen() {
  static TScreen screen;
  return screen;
}

} // namespace Platform
