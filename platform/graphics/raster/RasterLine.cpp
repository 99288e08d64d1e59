#include <platform/graphics/raster/RasterOps.h>

#include <algorithm>
#include <platform/graphics/raster/IntegerMath.h>
#include <platform/graphics/raster/RasterWideLine.h>

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

// A dash style as bits: bit p of Bits is set when position p of the cycle is drawn.
struct TDashMask {
  unsigned Cycle = 1;
  std::uint64_t Bits = 1;
  std::uint64_t Spread = 0; // bit k * Cycle set for every copy of the cycle that starts below 64

  // Bit i set when position p + i is drawn, for i < 64.
  std::uint64_t From(i64 p) const {
    const unsigned s = static_cast<unsigned>(p % Cycle);
    const std::uint64_t rotated = ((Bits >> s) | (Bits << (Cycle - s))) & ((std::uint64_t{1} << Cycle) - 1);
    return rotated * Spread; // the copies do not overlap, so the product just repeats them
  }
};

TDashMask MakeDashMask(TPenStyle style) {
  const TDashPattern pattern = DashPatternOf(style);
  TDashMask mask;
  if (pattern.Count == 0)
    return mask;
  mask.Cycle = static_cast<unsigned>(pattern.Cycle);
  mask.Bits = 0;
  unsigned at = 0;
  for (int run = 0; run < pattern.Count; ++run)
    for (int k = 0; k < pattern.Lengths[run]; ++k, ++at)
      if (run % 2 == 0)
        mask.Bits |= std::uint64_t{1} << at;
  for (unsigned k = 0; k < 64; k += mask.Cycle)
    mask.Spread |= std::uint64_t{1} << k;
  return mask;
}

const TDashMask &DashMaskOf(TPenStyle style) {
  static const TDashMask masks[] = {MakeDashMask(psDash), MakeDashMask(psDot), MakeDashMask(psDashDot),
                                    MakeDashMask(psDashDotDot)};
  static const TDashMask solid;
  switch (style) {
  case psDash: return masks[0];
  case psDot: return masks[1];
  case psDashDot: return masks[2];
  case psDashDotDot: return masks[3];
  default: return solid;
  }
}

// The styles DashPatternOf gives a pattern, without the call.
bool IsDashed(TPenStyle style) {
  return style == psDash || style == psDot || style == psDashDot || style == psDashDotDot;
}

// Draws count steps of the walk; with Dashed, step i is drawn when position + i of the dash cycle
// is. The loop has no branch but its own: the minor step follows the slope and the dash bits go
// by the line's position, neither of which a predictor can guess, so both are masks and selects.
// Skipped dash pixels are written to a local sink instead of the surface.
template <bool Copy, bool Dashed>
[[gnu::always_inline]] inline void Walk(const TWalk &w, i64 count, TRop rop, const TDashMask &dash, i64 position) {
  std::uint32_t *const pixels = w.Pixels;
  std::ptrdiff_t offset = w.Offset;
  i64 err = w.Err;
  const std::ptrdiff_t minor = w.Minor, diagonal = w.Major + w.Minor;
  const i64 inc = w.Inc, dec = w.Dec;
  std::uint32_t sink = 0;
  while (count > 0) {
    const i64 n = Dashed ? std::min<i64>(count, 64) : count;
    std::uint64_t bits = Dashed ? dash.From(position) : 0;
    for (i64 k = 0; k < n; ++k) {
      std::uint32_t *target = pixels + offset;
      if constexpr (Dashed) {
        target = (bits & 1) ? target : &sink;
        bits >>= 1;
      }
      *target = Copy ? rop.Xor : rop.Apply(*target);
      err += inc;
      const i64 stay = err >> 63; // all ones while err < 0
      offset += diagonal - (minor & stay);
      err -= dec & ~stay;
    }
    count -= n;
    position += n;
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

// The general case of a line that may leave the clip: returns its number of steps (0 for a
// zero-length line or one beyond the coordinate limit) and sets w, first and count to the steps
// inside the clip (count 0 when there are none). Kept out of line: the common case never needs it.
//
// The ends come as four scalars: handed over as two structures they are built in memory with one
// wide store, and the reads of their halves cannot be forwarded from it (see CosmeticLine).
[[gnu::noinline]] i64 ClipLine(const TRasterSurface &surface, const TClip &clip, i64 ax, i64 ay, i64 bx, i64 by,
                               TWalk &w, i64 &first, i64 &count) {
  const TPoint64 a{ax, ay}, b{bx, by};
  count = 0;
  if (!IsInRange(a) || !IsInRange(b))
    return 0;
  const i64 dx = b.X - a.X, dy = b.Y - a.Y;
  const i64 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const bool xMajor = adx >= ady;
  const i64 steps = xMajor ? adx : ady;
  if (steps == 0)
    return 0;

  const TAxis xAxis{a.X, dx, clip.Left, clip.Right - 1}, yAxis{a.Y, dy, clip.Top, clip.Bottom - 1};
  const TAxis &major = xMajor ? xAxis : yAxis, &minor = xMajor ? yAxis : xAxis;
  const i64 small = xMajor ? ady : adx;
  const i64 dec = 2 * steps, inc = 2 * small, bias = minor.Delta < 0 ? 1 : 0, c = steps - bias;

  // The steps whose major coordinate, then whose minor coordinate, is inside the clip.
  i64 lo, hi, gLo, gHi;
  StepRange(major, lo, hi);
  StepRange(minor, gLo, gHi);
  first = std::max<i64>(0, lo);
  i64 last = std::min<i64>(steps - 1, hi);
  if (small == 0) {
    if (gLo > 0 || gHi < 0)
      return steps;
  } else {
    // g(i) >= gLo  <=>  i * inc + c >= gLo * dec;  g(i) <= gHi  <=>  i * inc + c < (gHi + 1) * dec.
    first = static_cast<i64>(std::max<i128>(first, CeilDiv(i128{gLo} * dec - c, i128{inc})));
    last = static_cast<i64>(std::min<i128>(last, FloorDiv(i128{gHi + 1} * dec - c - 1, i128{inc})));
  }
  if (first > last)
    return steps;
  const i128 e = i128{first} * inc + c;
  const i64 g = static_cast<i64>(e / dec), r = static_cast<i64>(e % dec);

  const i64 majorAt = major.Start + (major.Delta < 0 ? -first : first);
  const i64 minorAt = minor.Start + (minor.Delta < 0 ? -g : g);
  const i64 x = xMajor ? majorAt : minorAt, y = xMajor ? minorAt : majorAt;
  const std::ptrdiff_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -surface.Stride : surface.Stride;
  w = {surface.Pixels,
       static_cast<std::ptrdiff_t>(y) * surface.Stride + static_cast<std::ptrdiff_t>(x),
       xMajor ? sx : sy,
       xMajor ? sy : sx,
       r - dec,
       inc,
       dec};
  count = last - first + 1;
  return steps;
}

bool IsInside(const TClip &clip, TPoint64 p) {
  return p.X >= clip.Left && p.X < clip.Right && p.Y >= clip.Top && p.Y < clip.Bottom;
}

// The walk of a line whose ends are both inside the clip, and its number of steps. Every pixel lies
// in the ends' bounding box, so inside the clip too: the walk starts at a with g(0) = 0 and
// remainder c = steps - bias. The axes are chosen by masks: short lines go every which way, and a
// mispredicted branch would cost about as much as drawing them.
[[gnu::always_inline]] inline TWalk InsideWalk(const TRasterSurface &surface, TPoint64 a, TPoint64 b, i64 &steps) {
  const i64 dx = b.X - a.X, dy = b.Y - a.Y;
  const i64 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const std::ptrdiff_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -surface.Stride : surface.Stride;
  const i64 xMajor = -static_cast<i64>(adx >= ady); // all ones for an x-major line
  const i64 small = (ady & xMajor) | (adx & ~xMajor), bias = ((dy < 0) & xMajor) | ((dx < 0) & ~xMajor);
  steps = (adx & xMajor) | (ady & ~xMajor);
  return {surface.Pixels,
          static_cast<std::ptrdiff_t>(a.Y) * surface.Stride + a.X,
          (sx & xMajor) | (sy & ~xMajor),
          (sy & xMajor) | (sx & ~xMajor),
          -steps - bias,
          2 * small,
          2 * steps};
}

// A line that may leave the clip, starting at position phase of the dash cycle; returns the phase
// after it. The ends come as scalars, as for ClipLine.
template <bool Copy, bool Dashed>
[[gnu::noinline]] int ClippedLine(const TRasterSurface &surface, const TClip &clip, TRop rop, const TDashMask &dash,
                                  i64 ax, i64 ay, i64 bx, i64 by, int phase) {
  TWalk w;
  i64 first, count;
  const i64 steps = ClipLine(surface, clip, ax, ay, bx, by, w, first, count);
  if (count > 0)
    Walk<Copy, Dashed>(w, count, rop, dash, phase + first);
  return static_cast<int>((phase + steps) % PhaseModulus);
}

// Draws the cosmetic line a-b starting at position phase of the dash cycle (in [0, PhaseModulus));
// returns the phase after it.
//
// On a large surface most pixel stores miss the cache, and x86 commits stores in order. The common
// case, both ends inside the clip, therefore keeps its state in registers: every spill to the stack
// would queue behind those stores, and a reload that the store buffer cannot forward would wait
// for all of them, holding up the lines that follow.
template <bool Copy, bool Dashed>
[[gnu::always_inline]] inline int CosmeticLine(const TRasterSurface &surface, const TClip &clip, TRop rop,
                                               const TDashMask &dash, TPoint64 a, TPoint64 b, int phase) {
  if (!IsInside(clip, a) || !IsInside(clip, b))
    return ClippedLine<Copy, Dashed>(surface, clip, rop, dash, a.X, a.Y, b.X, b.Y, phase);
  i64 steps;
  const TWalk w = InsideWalk(surface, a, b, steps);
  Walk<Copy, Dashed>(w, steps, rop, dash, phase);
  return static_cast<int>((phase + steps) % PhaseModulus);
}

TPoint64 Shifted(TPoint p, TPoint origin) { return {i64{p.X} + origin.X, i64{p.Y} + origin.Y}; }

int NormalPhase(int phase) {
  phase %= PhaseModulus;
  return phase < 0 ? phase + PhaseModulus : phase;
}

// Steps of a line, for the phase of wide pens (which draw solid but keep the pattern's count).
i64 StepsOf(TPoint64 a, TPoint64 b) {
  const i64 dx = b.X - a.X, dy = b.Y - a.Y;
  return std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
}

int WideLine(const TRasterSurface &surface, const TClip &clip, const TStroke &pen, TPoint64 a, TPoint64 b, int phase) {
  if (!IsInRange(a) || !IsInRange(b))
    return phase;
  StrokeWideSegment(surface, clip, pen.Rop, std::min(pen.Width, MaxWideWidth), a, b);
  return static_cast<int>((phase + StepsOf(a, b)) % PhaseModulus);
}

template <bool Copy, bool Dashed>
int CosmeticPath(const TRasterSurface &surface, const TClip &clip, TRop rop, const TDashMask &dash,
                 std::span<const TPoint> points, TPoint origin, bool closed, int phase) {
  TPoint64 a = Shifted(points[0], origin);
  for (std::size_t i = 1; i < points.size(); ++i) {
    const TPoint64 b = Shifted(points[i], origin);
    phase = CosmeticLine<Copy, Dashed>(surface, clip, rop, dash, a, b, phase);
    a = b;
  }
  if (closed)
    phase = CosmeticLine<Copy, Dashed>(surface, clip, rop, dash, a, Shifted(points[0], origin), phase);
  return phase;
}

// One line, in a function of its own per kind of pen, so that each keeps a small frame (see
// CosmeticLine). The phase is stored before the walk: nothing but the walk's state is live in it.
template <bool Copy, bool Dashed>
[[gnu::noinline]] void SingleLine(const TRasterSurface &surface, const TClip &clip, const TStroke &pen, TPoint64 a,
                                  TPoint64 b, int &dashPhase) {
  const int phase = NormalPhase(dashPhase);
  const TDashMask &dash = Dashed ? DashMaskOf(pen.Style) : TDashMask{};
  if (!IsInside(clip, a) || !IsInside(clip, b)) {
    dashPhase = ClippedLine<Copy, Dashed>(surface, clip, pen.Rop, dash, a.X, a.Y, b.X, b.Y, phase);
    return;
  }
  i64 steps;
  const TWalk w = InsideWalk(surface, a, b, steps);
  dashPhase = static_cast<int>((phase + steps) % PhaseModulus);
  Walk<Copy, Dashed>(w, steps, pen.Rop, dash, phase);
}

} // namespace

void StrokeLine(const TRasterSurface &surface, const TClip &clip, const TStroke &pen, TPoint64 a, TPoint64 b,
                int &dashPhase) {
  if (!pen.IsCosmetic())
    dashPhase = WideLine(surface, clip, pen, a, b, NormalPhase(dashPhase));
  else if (!IsDashed(pen.Style))
    pen.Rop.IsCopy() ? SingleLine<true, false>(surface, clip, pen, a, b, dashPhase)
                     : SingleLine<false, false>(surface, clip, pen, a, b, dashPhase);
  else
    pen.Rop.IsCopy() ? SingleLine<true, true>(surface, clip, pen, a, b, dashPhase)
                     : SingleLine<false, true>(surface, clip, pen, a, b, dashPhase);
}

// Cosmetic segments exclude their end pixel, so every vertex is drawn once. Wide pens draw each
// segment as a capsule of its own: the caps make the round joins, and a pixel where neighbouring
// capsules overlap is written once per segment (a pmXor wide polyline shows its joins).
void StrokePolyline(const TRasterSurface &surface, const TClip &clip, const TStroke &pen,
                    std::span<const TPoint> points, TPoint origin, bool closed, int &dashPhase) {
  if (points.size() < 2)
    return;
  int phase = NormalPhase(dashPhase);
  const TRop rop = pen.Rop;
  if (!pen.IsCosmetic()) {
    for (std::size_t i = 1; i < points.size(); ++i)
      phase = WideLine(surface, clip, pen, Shifted(points[i - 1], origin), Shifted(points[i], origin), phase);
    if (closed)
      phase = WideLine(surface, clip, pen, Shifted(points.back(), origin), Shifted(points[0], origin), phase);
  } else if (!IsDashed(pen.Style)) {
    phase = rop.IsCopy() ? CosmeticPath<true, false>(surface, clip, rop, {}, points, origin, closed, phase)
                         : CosmeticPath<false, false>(surface, clip, rop, {}, points, origin, closed, phase);
  } else {
    const TDashMask &dash = DashMaskOf(pen.Style);
    phase = rop.IsCopy() ? CosmeticPath<true, true>(surface, clip, rop, dash, points, origin, closed, phase)
                         : CosmeticPath<false, true>(surface, clip, rop, dash, points, origin, closed, phase);
  }
  dashPhase = phase;
}

} // namespace Platform::Raster
