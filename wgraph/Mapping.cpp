#include <wgraph/Wgraph.h>

#include <cmath>
#include <cstdint>
#include <platform/rtl/Rtl.h>

namespace Wgraph {

namespace {

// Pixels beyond the 16-bit range are replaced by a far point that old 16-bit devices could
// still draw towards; the value is the system's own.
constexpr int FarPixel = 21844;
constexpr int PixelLimit = 32767;

int ToPixel(double scale, double value, double offset) {
  double v = scale * value + offset;
  if (!(v <= 2147483647.0))
    v = 2147483647.0;
  if (!(v >= -2147483648.0))
    v = -2147483648.0;
  const auto pixel = static_cast<std::int32_t>(Platform::Round(v));
  if (pixel > PixelLimit)
    return FarPixel;
  if (pixel < -PixelLimit)
    return -FarPixel;
  return pixel;
}

// Scale and offset of one axis. A world extent of zero (or one that is not a finite number)
// cannot be mapped linearly; the axis then maps every world value onto the middle of its pixel
// range, with a scale of zero that Wxy reads as "no mapping".
void Coefficients(int pcFrom, int pcTo, double worldFrom, double worldTo, double &scale, double &offset) {
  scale = static_cast<double>(std::int64_t{pcTo} - pcFrom) / (worldTo - worldFrom);
  if (!std::isfinite(scale) || scale == 0) {
    scale = 0;
    offset = (static_cast<double>(pcFrom) + pcTo) * 0.5;
    return;
  }
  offset = pcFrom - scale * worldFrom;
}

void Recompute() {
  Coefficients(PCLeft, PCRight, WorldLeft, WorldRight, aa, bb);
  Coefficients(PCBottom, PCTop, WorldBottom, WorldTop, cc, dd);
}

} // namespace

void WorldToPC(double x, double y, int &px, int &py) {
  px = ToPixel(aa, x, bb);
  py = ToPixel(cc, y, dd);
}

void PCToWorld(int px, int py, double &x, double &y) {
  x = (px - bb) / aa;
  y = (py - dd) / cc;
}

void WorldSystem(TWorldCoords world, TPCCoords device) {
  WorldLeft = world.Left;
  WorldRight = world.Right;
  WorldTop = world.Top;
  WorldBottom = world.Bottom;
  PCLeft = device.Left;
  PCRight = device.Right;
  PCTop = device.Top;
  PCBottom = device.Bottom;
  Recompute();
}

void SetWorldWindow(double left, double right, double bottom, double top, double leftMargin, double rightMargin,
                    double bottomMargin, double topMargin) {
  WorldLeft = left - (right - left) * leftMargin;
  WorldRight = right + (right - left) * rightMargin;
  WorldBottom = bottom - (top - bottom) * bottomMargin;
  WorldTop = top + (top - bottom) * topMargin;
}

void SetPCWindow(int left, int right, int bottom, int top) {
  PCLeft = left;
  PCRight = right;
  PCBottom = bottom;
  PCTop = top;
  Recompute();
}

} // namespace Wgraph
