#include <platform/controls/Application.h>

namespace Platform {

TApplication &Application() {
  static TApplication application;
  return application;
}

} // namespace Platform
