#pragma once

#include <cstdint>
#include <platform/rtl/Export.h>

namespace Platform {

// Device points and rectangles in pixels; y grows downwards.
struct TPoint {
  int X = 0;
  int Y = 0;
  friend constexpr bool operator==(const TPoint &, const TPoint &) = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  constexpr int Width() const { return Right - Left; }
  constexpr int Height() const { return Bottom - Top; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend constexpr bool operator==(const TRect &, const TRect &) = default;
};

constexpr TPoint Point(int x, int y) { return {x, y}; }
constexpr TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }

// The overlap of two rectangles; empty (all zero) when they do not meet.
VELGRAPH_API TRect IntersectRect(const TRect &a, const TRect &b);

} // namespace Platform
