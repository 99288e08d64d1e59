#include <platform/graphics/raster/RasterWideLine.h>

#include <algorithm>
#include <platform/graphics/raster/IntegerMath.h>

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

// An inclusive range of integers; empty when Lo > Hi.
template <class T> struct TRange {
  T Lo = 1;
  T Hi = 0;
  bool IsEmpty() const { return Lo > Hi; }
};

template <class T> TRange<T> Hull(TRange<T> a, TRange<T> b) {
  if (a.IsEmpty())
    return b;
  if (b.IsEmpty())
    return a;
  return {std::min(a.Lo, b.Lo), std::max(a.Hi, b.Hi)};
}

template <class T> TRange<T> Intersection(TRange<T> a, TRange<T> b) {
  return {std::max(a.Lo, b.Lo), std::min(a.Hi, b.Hi)};
}

// Stands for "every integer": far beyond any coordinate, small enough to add to without overflow.
template <class T> constexpr T Unbounded = T{1} << (sizeof(T) * 8 - 4);

// The integers x with lo <= k * x + m <= hi; all of them or none when k == 0.
template <class T> TRange<T> Solve(T k, T m, T lo, T hi) {
  if (k == 0)
    return (lo <= m && m <= hi) ? TRange<T>{-Unbounded<T>, Unbounded<T>} : TRange<T>{};
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
template <class T> TRange<T> Disk(T y, T r) {
  if (y > r || y < -r)
    return {};
  const T h = ISqrt(r * r - y * y);
  return {-h, h};
}

// The capsule of one segment in doubled coordinates relative to a (see above), rows top..bottom.
template <class T> struct TCapsule {
  T W;  // the radius, which is the width
  T O;  // the offset of pixel centres: 0 for odd widths, 1 for even ones
  T Dx; // the segment, 2 * (b - a)
  T Dy;
  T Dd;   // its squared length
  T Band; // floor(w * |d|): |cross(q, d)| <= Band keeps q within w of the segment's line
};

template <class T>
void FillRows(const TRasterSurface &surface, const TClip &clip, const TFill &fill, const TCapsule<T> &c, TPoint64 a,
              i64 top, i64 bottom) {
  for (i64 y = top; y <= bottom; ++y) {
    const T qy = 2 * static_cast<T>(y - a.Y) + c.O;
    const TRange<T> nearA = Disk<T>(qy, c.W), b = Disk<T>(qy - c.Dy, c.W);
    const TRange<T> nearB = b.IsEmpty() ? b : TRange<T>{b.Lo + c.Dx, b.Hi + c.Dx};
    const TRange<T> along = Solve<T>(c.Dx, qy * c.Dy, 0, c.Dd);
    const TRange<T> across = Solve<T>(c.Dy, -qy * c.Dx, -c.Band, c.Band);
    const TRange<T> q = Hull(Hull(nearA, nearB), Intersection(along, across));
    if (q.IsEmpty())
      continue;
    // Back from q = 2 * (x - a.X) + o to pixel columns.
    const T x0 = std::max<T>(CeilDiv(q.Lo - c.O, 2) + a.X, clip.Left);
    const T x1 = std::min<T>(FloorDiv(q.Hi - c.O, 2) + a.X, clip.Right - 1);
    if (x0 <= x1)
      FillSpan(surface, static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1) + 1, fill);
  }
}

// Below these, every product FillRows forms stays under 2^45 and fits an i64.
constexpr i64 SmallDelta = i64{1} << 21;
constexpr i64 SmallWidth = i64{1} << 20;

} // namespace

void StrokeWideSegment(const TRasterSurface &surface, const TClip &clip, TRop rop, int width, TPoint64 a, TPoint64 b) {
  if (a.X == b.X && a.Y == b.Y)
    return;
  const i128 w = std::clamp(width, 2, MaxWideWidth);
  const i128 dx = 2 * i128{b.X - a.X}, dy = 2 * i128{b.Y - a.Y};
  const i128 dd = dx * dx + dy * dy;
  // |cross(q, d)| <= w * |d| holds for integers exactly when |cross| <= floor(w * |d|).
  const TCapsule<i128> capsule{w, w % 2 == 0 ? 1 : 0, dx, dy, dd, ISqrt(w * w * dd)};

  const i64 reach = static_cast<i64>(w) / 2 + 1;
  const i64 top = std::max<i64>(std::min(a.Y, b.Y) - reach, clip.Top);
  const i64 bottom = std::min<i64>(std::max(a.Y, b.Y) + reach, clip.Bottom - 1);
  if (top > bottom)
    return;
  const TFill fill{rop, nullptr};
  const i128 qy =
      2 * std::max<i128>(top - a.Y < 0 ? a.Y - top : top - a.Y, bottom - a.Y < 0 ? a.Y - bottom : bottom - a.Y);
  const bool small = w <= SmallWidth && dx < SmallDelta && -dx < SmallDelta && dy < SmallDelta && -dy < SmallDelta &&
                     qy < 2 * SmallDelta;
  if (small)
    FillRows<i64>(surface, clip, fill,
                  {static_cast<i64>(w), static_cast<i64>(capsule.O), static_cast<i64>(dx), static_cast<i64>(dy),
                   static_cast<i64>(dd), static_cast<i64>(capsule.Band)},
                  a, top, bottom);
  else
    FillRows<i128>(surface, clip, fill, capsule, a, top, bottom);
}

} // namespace Platform::Raster
