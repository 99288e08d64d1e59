#include <platform/graphics/raster/RasterOps.h>

#include <algorithm>
#include <platform/graphics/raster/RasterWideLine.h>
#include <type_traits>

// Cosmetic lines. The pixel set of a line from (x0, y0) to (x1, y1) is defined exactly, so that
// clipping can never move a pixel. With dx = x1 - x0, dy = y1 - y0 and |dx| >= |dy| (x-major),
// the line has |dx| pixels, one per column x0, x0 + sx, ..., x1 - sx (b's column excluded), and
// the pixel in column x0 + sx * i is on row
//
//   y0 + floor((2 * i * dy + |dx|) / (2 * |dx|)),
//
// the true line's y rounded to the nearest row, ties towards +y. Y-major lines swap the axes
// (ties towards +x). Because the tie rule does not depend on the direction, a line covers the
// same pixels drawn either way round, apart from the excluded end. The diagonal |dx| == |dy|
// counts as x-major (both give the same pixels there).
//
// With the minor direction's sign s and |dy| = m, |dx| = M the row offset is s * g(i) with
// g(i) = floor((2 * i * m + M - bias) / (2 * M)), bias = 1 when s < 0: rounding a negative value
// half up is rounding its magnitude half down. g is what Bresenham's error term tracks, and its
// inverse gives the first and last step inside the clip exactly.

namespace Platform::Raster {

namespace {

// Every dash cycle (6 or 24 pixels) divides this, so a phase kept modulo it stays right when the
// style changes between two lines of one path.
constexpr int PhaseModulus = 24;

i128 FloorDiv(i128 a, i128 b) { // b > 0
  const i128 q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

i128 CeilDiv(i128 a, i128 b) { return -FloorDiv(-a, b); } // b > 0

// A line after clipping: the offset of the next pixel from the surface's first pixel, the step
// along the major axis, the extra step along the minor one, and Bresenham's error term.
struct TWalk {
  std::uint32_t *Pixels;
  std::ptrdiff_t Offset;
  std::ptrdiff_t Major;
  std::ptrdiff_t Minor;
  i64 Err; // in [-Dec, 0)
  i64 Inc;
  i64 Dec;
};

// Takes count steps of the walk, writing each pixel when Draw is set.
template <bool Copy, bool Draw> inline void Walk(TWalk &w, i64 count, TRop rop) {
  std::uint32_t *const pixels = w.Pixels;
  std::ptrdiff_t offset = w.Offset;
  i64 err = w.Err;
  const std::ptrdiff_t major = w.Major, minor = w.Minor;
  const i64 inc = w.Inc, dec = w.Dec;
  for (; count > 0; --count) {
    if constexpr (Draw) {
      if constexpr (Copy)
        pixels[offset] = rop.Xor;
      else
        pixels[offset] = rop.Apply(pixels[offset]);
    }
    offset += major;
    err += inc;
    if (err >= 0) {
      err -= dec;
      offset += minor;
    }
  }
  w.Offset = offset;
  w.Err = err;
}

// Walks count steps starting at position in the dash cycle, drawing the "on" runs.
template <bool Copy> void WalkDashed(TWalk &w, i64 count, TRop rop, const TDashPattern &pattern, int position) {
  int run = 0;
  while (position >= pattern.Lengths[run])
    position -= pattern.Lengths[run++];
  i64 left = pattern.Lengths[run] - position;
  while (count > 0) {
    const i64 n = std::min(left, count);
    if (run % 2 == 0)
      Walk<Copy, true>(w, n, rop);
    else
      Walk<Copy, false>(w, n, rop);
    count -= n;
    if (++run == pattern.Count)
      run = 0;
    left = pattern.Lengths[run];
  }
}

// One axis of a line: where it starts, which way it goes, and the clip's inclusive range on it.
struct TAxis {
  i64 Start;
  i64 Delta;
  int Lo;
  int Hi;
};

// The range of steps i (or of g(i)) for which Start + sign * i lies in [Lo, Hi].
void StepRange(const TAxis &axis, i64 &first, i64 &last) {
  if (axis.Delta >= 0) {
    first = axis.Lo - axis.Start;
    last = axis.Hi - axis.Start;
  } else {
    first = axis.Start - axis.Hi;
    last = axis.Start - axis.Lo;
  }
}

// Draws the cosmetic line a-b and advances phase (kept in [0, PhaseModulus)).
template <bool Copy, bool Dashed>
void CosmeticLine(const TRasterSurface &surface, const TClip &clip, TRop rop, const TDashPattern &pattern, TPoint64 a,
                  TPoint64 b, int &phase) {
  if (!IsInRange(a) || !IsInRange(b))
    return;
  const i64 dx = b.X - a.X, dy = b.Y - a.Y;
  const i64 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const bool xMajor = adx >= ady;
  const i64 steps = xMajor ? adx : ady;
  if (steps == 0)
    return;
  const int startPhase = phase;
  phase = static_cast<int>((phase + steps) % PhaseModulus);

  const TAxis xAxis{a.X, dx, clip.Left, clip.Right - 1}, yAxis{a.Y, dy, clip.Top, clip.Bottom - 1};
  const TAxis &major = xMajor ? xAxis : yAxis, &minor = xMajor ? yAxis : xAxis;
  const i64 small = xMajor ? ady : adx;
  const i64 dec = 2 * steps, inc = 2 * small, bias = minor.Delta < 0 ? 1 : 0, c = steps - bias;

  i64 first = 0, last = steps - 1, g = 0, r = c;
  const bool inside = a.X >= clip.Left && a.X < clip.Right && a.Y >= clip.Top && a.Y < clip.Bottom &&
                      b.X >= clip.Left && b.X < clip.Right && b.Y >= clip.Top && b.Y < clip.Bottom;
  if (!inside) {
    // Both ends inside means every pixel is (they lie in the ends' bounding box); otherwise find
    // the steps whose major coordinate, then whose minor coordinate, is inside the clip.
    i64 lo, hi, gLo, gHi;
    StepRange(major, lo, hi);
    StepRange(minor, gLo, gHi);
    first = std::max<i64>(first, lo);
    last = std::min<i64>(last, hi);
    if (small == 0) {
      if (gLo > 0 || gHi < 0)
        return;
    } else {
      // g(i) >= gLo  <=>  i * inc + c >= gLo * dec;  g(i) <= gHi  <=>  i * inc + c < (gHi + 1) * dec.
      first = static_cast<i64>(std::max<i128>(first, CeilDiv(i128{gLo} * dec - c, inc)));
      last = static_cast<i64>(std::min<i128>(last, FloorDiv(i128{gHi + 1} * dec - c - 1, inc)));
    }
    if (first > last)
      return;
    const i128 e = i128{first} * inc + c;
    g = static_cast<i64>(e / dec);
    r = static_cast<i64>(e % dec);
  }

  const i64 majorAt = major.Start + (major.Delta < 0 ? -first : first);
  const i64 minorAt = minor.Start + (minor.Delta < 0 ? -g : g);
  const i64 x = xMajor ? majorAt : minorAt, y = xMajor ? minorAt : majorAt;
  const std::ptrdiff_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -surface.Stride : surface.Stride;
  TWalk w{surface.Pixels,
          static_cast<std::ptrdiff_t>(y) * surface.Stride + static_cast<std::ptrdiff_t>(x),
          xMajor ? sx : sy,
          xMajor ? sy : sx,
          r - dec,
          inc,
          dec};
  const i64 count = last - first + 1;
  if constexpr (Dashed)
    WalkDashed<Copy>(w, count, rop, pattern, static_cast<int>((startPhase + first) % pattern.Cycle));
  else
    Walk<Copy, true>(w, count, rop);
}

TPoint64 Shifted(TPoint p, TPoint origin) { return {i64{p.X} + origin.X, i64{p.Y} + origin.Y}; }

int NormalPhase(int phase) {
  phase %= PhaseModulus;
  return phase < 0 ? phase + PhaseModulus : phase;
}

// Calls line(a, b) for each segment of the path.
template <class TLine> void ForEachSegment(std::span<const TPoint> points, TPoint origin, bool closed, TLine &&line) {
  if (points.size() < 2)
    return;
  TPoint64 a = Shifted(points[0], origin);
  for (std::size_t i = 1; i < points.size(); ++i) {
    const TPoint64 b = Shifted(points[i], origin);
    line(a, b);
    a = b;
  }
  if (closed)
    line(a, Shifted(points[0], origin));
}

// Runs path(line) with the line drawer specialised for the pen, chosen once per primitive.
template <class TPath>
void WithPen(const TRasterSurface &surface, const TClip &clip, const TStroke &pen, int &dashPhase, TPath &&path) {
  int phase = NormalPhase(dashPhase);
  const TRop rop = pen.Rop;
  if (!pen.IsCosmetic()) {
    const int width = std::min(pen.Width, MaxWideWidth);
    path([&](TPoint64 a, TPoint64 b) {
      if (!IsInRange(a) || !IsInRange(b))
        return;
      StrokeWideSegment(surface, clip, rop, width, a, b);
      const i64 dx = b.X - a.X, dy = b.Y - a.Y;
      phase = static_cast<int>((phase + std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy)) % PhaseModulus);
    });
    dashPhase = phase;
    return;
  }
  const TDashPattern pattern = DashPatternOf(pen.Style);
  auto run = [&](auto copy, auto dashed) {
    path([&](TPoint64 a, TPoint64 b) {
      CosmeticLine<decltype(copy)::value, decltype(dashed)::value>(surface, clip, rop, pattern, a, b, phase);
    });
  };
  const bool dashed = pattern.Count > 0;
  if (rop.IsCopy())
    dashed ? run(std::true_type{}, std::true_type{}) : run(std::true_type{}, std::false_type{});
  else
    dashed ? run(std::false_type{}, std::true_type{}) : run(std::false_type{}, std::false_type{});
  dashPhase = phase;
}

} // namespace

void StrokeLine(const TRasterSurface &surface, const TClip &clip, const TStroke &pen, TPoint64 a, TPoint64 b,
                int &dashPhase) {
  WithPen(surface, clip, pen, dashPhase, [&](auto &&line) { line(a, b); });
}

void StrokePolyline(const TRasterSurface &surface, const TClip &clip, const TStroke &pen,
                    std::span<const TPoint> points, TPoint origin, bool closed, int &dashPhase) {
  WithPen(surface, clip, pen, dashPhase, [&](auto &&line) { ForEachSegment(points, origin, closed, line); });
}

} // namespace Platform::Raster
