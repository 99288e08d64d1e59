#pragma once

// Arithmetic the metafile device context shares between its files: coordinates held inside the
// canvas's range, boxes ordered, arc sweeps, and the limits on work a file can ask for.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <platform/pictures/MetafileDC.h>
#include <platform/rtl/Rtl.h>

namespace Platform::MetafileMath {

// Coordinates are held within ±2^30 so that widths and sums of two stay inside an int.
inline constexpr double CoordinateLimit = 1073741824.0;
// Widest pen a metafile may ask for, in pixels: wider ones come from corrupt files or absurd
// scales and would only cost time.
inline constexpr int MaxPenWidth = 4096;
// Segments of a full ellipse or of a Bezier curve at most, whatever their size.
inline constexpr int MaxEllipseSegments = 720;
inline constexpr int MaxBezierSegments = 64;

inline int ToInt(double value) {
  if (!std::isfinite(value))
    return value > 0 ? static_cast<int>(CoordinateLimit) : value < 0 ? -static_cast<int>(CoordinateLimit) : 0;
  return static_cast<int>(std::clamp<std::int64_t>(Round(value), -static_cast<std::int64_t>(CoordinateLimit),
                                                   static_cast<std::int64_t>(CoordinateLimit)));
}

inline TRectF Ordered(const TRectF &r) {
  return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right), std::max(r.Top, r.Bottom)};
}

// Angle in (0, 2π] going from `from` to `to` anticlockwise.
inline double AnticlockwiseSweep(double from, double to) {
  double sweep = std::fmod(to - from, 2 * std::numbers::pi);
  if (sweep <= 0)
    sweep += 2 * std::numbers::pi;
  return sweep;
}

} // namespace Platform::MetafileMath
