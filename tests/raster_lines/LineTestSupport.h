#pragma once

// Shared by the line tests: a surface with a canvas on it, and the pixels lines must produce,
// computed straight from their definitions (not by stepping as the rasterizer does).

#include <algorithm>
#include <cstdint>
#include <platform/graphics/Canvas.h>
#include <platform/graphics/raster/RasterDevice.h>
#include <platform/graphics/raster/RasterOps.h>
#include <vector>

namespace LineTest {

using namespace Platform;
using Raster::i128;
using Raster::i64;
using Raster::TPoint64;
using Raster::TStroke;

constexpr std::uint32_t White = 0x00FFFFFF;

// Pixels in a vector, a raster device over them and a canvas on the device.
class TSurface {
public:
  TSurface(int width, int height, std::uint32_t background = White)
      : FPixels(static_cast<std::size_t>(width) * height, background), FView{FPixels.data(), width, height, width},
        FDevice(FView), FCanvas(&FDevice) {}
  TSurface(const TSurface &) = delete;
  TSurface &operator=(const TSurface &) = delete;

  TCanvas &Canvas() { return FCanvas; }
  const TRasterSurface &View() const { return FView; }
  int Width() const { return FView.Width; }
  int Height() const { return FView.Height; }
  std::uint32_t At(int x, int y) const { return FPixels[static_cast<std::size_t>(y) * FView.Width + x]; }
  void Set(int x, int y, std::uint32_t v) { FPixels[static_cast<std::size_t>(y) * FView.Width + x] = v; }
  const std::vector<std::uint32_t> &Pixels() const { return FPixels; }
  // Every pixel gets a different, arbitrary value, so raster operations show on each bit.
  void FillNoise(std::uint32_t seed) {
    for (std::size_t i = 0; i < FPixels.size(); ++i)
      FPixels[i] = static_cast<std::uint32_t>((i + seed) * 2654435761u) & 0x00FFFFFF;
  }

private:
  std::vector<std::uint32_t> FPixels;
  TRasterSurface FView;
  TRasterDevice FDevice;
  TCanvas FCanvas;
};

// floor(a / b) for any sign of b.
inline i128 FloorDivide(i128 a, i128 b) {
  i128 q = a / b;
  if (a % b != 0 && ((a < 0) != (b < 0)))
    --q;
  return q;
}

struct TLinePixel {
  i64 Step; // position along the line, 0 at a
  int X;
  int Y;
  friend bool operator==(const TLinePixel &, const TLinePixel &) = default;
};

// The pixels of the cosmetic line a-b inside clip, in drawing order. Each pixel comes from the
// line's definition: for an x-major line the pixel in column x is on row
// y0 + floor((2 (x - x0) dy + dx) / (2 dx)), for x from x0 up to but not including x1. Only the
// clip's columns (rows for a y-major line) are visited, so huge lines are cheap.
inline std::vector<TLinePixel> ExpectedLine(TPoint64 a, TPoint64 b, const TRect &clip) {
  std::vector<TLinePixel> out;
  const i64 dx = b.X - a.X, dy = b.Y - a.Y;
  const i64 n = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
  if (n == 0)
    return out;
  const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  const int from = xMajor ? clip.Left : clip.Top, to = xMajor ? clip.Right : clip.Bottom;
  for (int m = from; m < to; ++m) {
    const i64 along = xMajor ? m - a.X : m - a.Y;
    const i64 step = (xMajor ? dx : dy) < 0 ? -along : along;
    if (step < 0 || step >= n)
      continue;
    const i128 across = xMajor ? a.Y + FloorDivide(2 * i128{along} * dy + dx, 2 * i128{dx})
                               : a.X + FloorDivide(2 * i128{along} * dx + dy, 2 * i128{dy});
    const i128 x = xMajor ? m : across, y = xMajor ? across : m;
    if (x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom)
      out.push_back({step, static_cast<int>(x), static_cast<int>(y)});
  }
  std::sort(out.begin(), out.end(), [](const TLinePixel &l, const TLinePixel &r) { return l.Step < r.Step; });
  return out;
}

// Whether position p of a dash cycle is drawn, from the cycle's on/off lengths.
inline bool DashOn(const std::vector<int> &lengths, i64 p) {
  int cycle = 0;
  for (int l : lengths)
    cycle += l;
  p %= cycle;
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    if (p < lengths[i])
      return i % 2 == 0;
    p -= lengths[i];
  }
  return false;
}

// Whether the centre of pixel p lies within width / 2 of the segment a-b, the segment joining the
// end pixels' centres for odd widths and their top-left corners for even ones. Exact: doubled
// coordinates, squared distances.
inline bool InCapsule(i64 px, i64 py, TPoint64 a, TPoint64 b, int width) {
  const i128 o = width % 2 == 0 ? 1 : 0;
  const i128 qx = 2 * i128{px - a.X} + o, qy = 2 * i128{py - a.Y} + o;
  const i128 dx = 2 * i128{b.X - a.X}, dy = 2 * i128{b.Y - a.Y};
  const i128 w2 = i128{width} * width, dd = dx * dx + dy * dy, t = qx * dx + qy * dy;
  if (t <= 0)
    return qx * qx + qy * qy <= w2;
  if (t >= dd)
    return (qx - dx) * (qx - dx) + (qy - dy) * (qy - dy) <= w2;
  const i128 cross = qx * dy - qy * dx;
  return cross * cross <= w2 * dd;
}

} // namespace LineTest
