#include <platform/graphics/raster/RasterWideLine.h>

#include <algorithm>
#include <cmath>

// Wide pens. A segment covers the pixels whose centres lie within w / 2 of the segment between
// its end points (a capsule). The arithmetic runs in doubled coordinates relative to a, where
// every quantity is an integer: a pixel p sits at q = 2 * (p - a) + o, the segment runs from 0 to
// d = 2 * (b - a), and the radius is w. The offset o is 0 for odd widths (the segment joins the
// end pixels' centres) and 1 for even ones (it joins their top-left corners, so that a horizontal
// segment covers exactly w rows).
//
// The capsule is the union of the disk around each end and the strip of points whose projection
// falls on the segment and whose distance to its line is at most w. Each part meets a row in an
// interval found exactly (integer square roots and floor divisions); the capsule is convex, so
// the row's pixels are the hull of the three. Each row becomes one clipped span, so every pixel is
// written once per segment.

namespace Platform::Raster {

namespace {

i128 FloorDiv(i128 a, i128 b) { // b > 0
  const i128 q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

i128 CeilDiv(i128 a, i128 b) { return -FloorDiv(-a, b); } // b > 0

// floor(sqrt(n)) for n >= 0, from the floating-point root corrected to the exact value.
i128 ISqrt(i128 n) {
  if (n <= 0)
    return 0;
  i128 s = static_cast<i128>(std::sqrt(static_cast<long double>(n)));
  while (s * s > n)
    --s;
  while ((s + 1) * (s + 1) <= n)
    ++s;
  return s;
}

// An inclusive range of integers; empty when Lo > Hi.
struct TRange {
  i128 Lo = 1;
  i128 Hi = 0;
  bool IsEmpty() const { return Lo > Hi; }
};

TRange Hull(TRange a, TRange b) {
  if (a.IsEmpty())
    return b;
  if (b.IsEmpty())
    return a;
  return {std::min(a.Lo, b.Lo), std::max(a.Hi, b.Hi)};
}

TRange Intersection(TRange a, TRange b) { return {std::max(a.Lo, b.Lo), std::min(a.Hi, b.Hi)}; }

// Stands for "every integer": far beyond any coordinate, small enough to add to without overflow.
constexpr i128 Unbounded = i128{1} << 100;

// The integers x with lo <= k * x + m <= hi; all of them or none when k == 0.
TRange Solve(i128 k, i128 m, i128 lo, i128 hi) {
  if (k == 0)
    return (lo <= m && m <= hi) ? TRange{-Unbounded, Unbounded} : TRange{};
  if (k < 0) {
    std::swap(lo, hi);
    lo = -lo;
    hi = -hi;
    k = -k;
    m = -m;
  }
  return {CeilDiv(lo - m, k), FloorDiv(hi - m, k)};
}

// The x with x^2 + y^2 <= r^2.
TRange Disk(i128 y, i128 r) {
  if (y > r || y < -r)
    return {};
  const i128 h = ISqrt(r * r - y * y);
  return {-h, h};
}

} // namespace

void StrokeWideSegment(const TRasterSurface &surface, const TClip &clip, TRop rop, int width, TPoint64 a, TPoint64 b) {
  if (a.X == b.X && a.Y == b.Y)
    return;
  const i128 w = std::clamp(width, 2, MaxWideWidth);
  const i64 o = w % 2 == 0 ? 1 : 0;
  const i128 dx = 2 * i128{b.X - a.X}, dy = 2 * i128{b.Y - a.Y};
  const i128 dd = dx * dx + dy * dy;
  // |cross(q, d)| <= w * |d| holds for integers exactly when |cross| <= floor(w * |d|).
  const i128 band = ISqrt(w * w * dd);

  const i64 reach = static_cast<i64>(w) / 2 + 1;
  const i64 top = std::max<i64>(std::min(a.Y, b.Y) - reach, clip.Top);
  const i64 bottom = std::min<i64>(std::max(a.Y, b.Y) + reach, clip.Bottom - 1);
  const TFill fill{rop, nullptr};
  for (i64 y = top; y <= bottom; ++y) {
    const i128 qy = 2 * i128{y - a.Y} + o;
    const TRange nearA = Disk(qy, w);
    TRange nearB = Disk(qy - dy, w);
    nearB = {nearB.Lo + dx, nearB.Hi + dx};
    const TRange along = Solve(dx, qy * dy, 0, dd);
    const TRange across = Solve(dy, -qy * dx, -band, band);
    const TRange q = Hull(Hull(nearA, nearB), Intersection(along, across));
    if (q.IsEmpty())
      continue;
    // Back from q = 2 * (x - a.X) + o to pixel columns.
    const i128 x0 = std::max<i128>(CeilDiv(q.Lo - o, 2) + a.X, clip.Left);
    const i128 x1 = std::min<i128>(FloorDiv(q.Hi - o, 2) + a.X, clip.Right - 1);
    if (x0 <= x1)
      FillSpan(surface, static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1) + 1, fill);
  }
}

} // namespace Platform::Raster
