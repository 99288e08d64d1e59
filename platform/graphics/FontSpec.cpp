#include <platform/graphics/FontSpec.h>

#include <algorithm>

namespace Platform {

namespace {

constexpr int DefaultPoints = 8;
constexpr int DefaultPixelsPerInch = 96;

} // namespace

int PointsToPixels(int points, int pixelsPerInch) {
  std::int64_t size = points == 0 ? DefaultPoints : points;
  size = size < 0 ? -size : size;
  const std::int64_t ppi = pixelsPerInch > 0 ? pixelsPerInch : DefaultPixelsPerInch;
  // Rounded to nearest as the platform's MulDiv does.
  const std::int64_t pixels = (size * ppi + 36) / 72;
  return static_cast<int>(std::clamp<std::int64_t>(pixels, 1, TFontSpec::MaxPixelSize));
}

} // namespace Platform
