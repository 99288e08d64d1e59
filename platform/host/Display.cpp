#include <platform/host/Display.h>

namespace Platform {

TDisplayMetrics &DisplayMetrics() {
  static TDisplayMetrics metrics;
  return metrics;
}

} // namespace Platform
