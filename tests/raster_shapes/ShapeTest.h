#pragma once

// Helpers of the shape tests: bitmaps read back as pixel sets, and the membership rules the
// figures are defined by, evaluated pixel by pixel in exact arithmetic.

#include <cstdint>
#include <platform/pictures/Bitmap.h>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace ShapeTest {

using namespace Platform;

using i64 = std::int64_t;
__extension__ typedef __int128 i128;

// Pixels as (x, y) pairs, ordered so that failures print readably.
using TPixelSet = std::set<std::pair<int, int>>;

// A bitmap filled with one colour, its canvas in pmCopy with a solid black pen and white brush.
inline void Clear(TBitmap &bitmap, TColor color) {
  TCanvas &c = *bitmap.Canvas();
  c.Brush().SetColor(color);
  c.Brush().SetStyle(bsSolid);
  c.FillRect({0, 0, bitmap.Width(), bitmap.Height()});
}

// The pixels of the bitmap that have the colour (equal) or do not (!equal).
inline TPixelSet PixelsWhere(const TBitmap &bitmap, TColor color, bool equal = true) {
  TPixelSet set;
  const std::uint32_t pixel = ColorToPixel(color);
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if ((bitmap.Surface().Row(y)[x] == pixel) == equal)
        set.insert({x, y});
  return set;
}

inline TPixelSet Changed(const TBitmap &bitmap, TColor background) { return PixelsWhere(bitmap, background, false); }

// Every pixel of [left, right) x [top, bottom).
inline TPixelSet Block(int left, int top, int right, int bottom) {
  TPixelSet set;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      set.insert({x, y});
  return set;
}

inline TPixelSet Minus(const TPixelSet &a, const TPixelSet &b) {
  TPixelSet r;
  for (const auto &p : a)
    if (!b.count(p))
      r.insert(p);
  return r;
}

inline TPixelSet Intersect(const TPixelSet &a, const TPixelSet &b) {
  TPixelSet r;
  for (const auto &p : a)
    if (b.count(p))
      r.insert(p);
  return r;
}

// The set drawn as rows of '#' and '.', for failure messages.
inline std::string Picture(const TPixelSet &set, int width, int height) {
  std::string s = "\n";
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      s += set.count({x, y}) ? '#' : '.';
    s += '\n';
  }
  return s;
}

// Alternate rule at the pixel's centre: the number of edges crossing the row's centre line at or
// left of the centre is odd. Evaluated directly from each edge, exactly.
inline bool InsidePolygon(std::span<const TPoint> points, TPoint origin, i64 x, i64 y) {
  bool inside = false;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const TPoint &a = points[i], &b = points[(i + 1) % points.size()];
    i64 x0 = i64{a.X} + origin.X, y0 = i64{a.Y} + origin.Y, x1 = i64{b.X} + origin.X, y1 = i64{b.Y} + origin.Y;
    if (y0 == y1)
      continue;
    if (y0 > y1) {
      std::swap(x0, x1);
      std::swap(y0, y1);
    }
    if (y < y0 || y >= y1)
      continue;
    // centre x + 1/2 >= x0 + (y + 1/2 - y0) dx / dy
    if (i128{2 * x + 1 - 2 * x0} * (y1 - y0) >= i128{2 * y + 1 - 2 * y0} * (x1 - x0))
      inside = !inside;
  }
  return inside;
}

// Centre sampling of the ellipse inscribed in [l, r) x [t, b).
inline bool InsideEllipse(i64 l, i64 t, i64 r, i64 b, i64 x, i64 y) {
  const i128 w = r - l, h = b - t, dx = 2 * x + 1 - (l + r), dy = 2 * y + 1 - (t + b);
  return dx * dx * h * h + dy * dy * w * w <= w * w * h * h;
}

inline TPixelSet EllipseSet(int l, int t, int r, int b, int width, int height) {
  TPixelSet set;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (InsideEllipse(l, t, r, b, x, y))
        set.insert({x, y});
  return set;
}

// The pixels of a set with a 4-neighbour outside it.
inline TPixelSet Border(const TPixelSet &set) {
  TPixelSet border;
  for (const auto &[x, y] : set)
    if (!set.count({x - 1, y}) || !set.count({x + 1, y}) || !set.count({x, y - 1}) || !set.count({x, y + 1}))
      border.insert({x, y});
  return border;
}

constexpr TColor PenColor = clRed;
constexpr TColor BrushColor = clLime;

// A black sheet whose canvas outlines in red and fills in lime.
struct TSheet {
  TBitmap Bitmap;
  explicit TSheet(int width = 64, int height = 64, TPenMode mode = pmCopy) : Bitmap(width, height) {
    Clear(Bitmap, clBlack);
    Canvas().Pen().SetColor(PenColor);
    Canvas().Pen().SetMode(mode);
    Canvas().Brush().SetColor(BrushColor);
  }
  TCanvas &Canvas() { return *Bitmap.Canvas(); }
  TPixelSet Pen() const { return PixelsWhere(Bitmap, PenColor); }
  TPixelSet Brush() const { return PixelsWhere(Bitmap, BrushColor); }
  TPixelSet Any() const { return Changed(Bitmap, clBlack); }
};

} // namespace ShapeTest
