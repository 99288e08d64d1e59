// Bitmaps drawn on canvases: every pixel of the target checked against where it should come from,
// for copies at any offset, nearest-neighbour stretches, and a bitmap drawn onto itself.

#include <gtest/gtest.h>
#include <platform/pictures/Bitmap.h>

#include <vector>

namespace {

using namespace Platform;

// Odd sizes, so that the copy loops' tails are exercised as well as their whole turns.
constexpr int SourceWidth = 37, SourceHeight = 11;
constexpr int TargetWidth = 61, TargetHeight = 23;

std::uint32_t PatternPixel(int x, int y) { return static_cast<std::uint32_t>(x * 0x010203 + y * 0x0A0000) & 0xFFFFFF; }

void FillPattern(TBitmap &bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      bitmap.ScanLine(y)[x] = PatternPixel(x, y);
}

std::vector<std::uint32_t> Snapshot(const TBitmap &bitmap) {
  const TRasterSurface &s = bitmap.Surface();
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < s.Height; ++y)
    pixels.insert(pixels.end(), s.Row(y), s.Row(y) + s.Width);
  return pixels;
}

// Checks that pixel (x, y) of the target holds before[sourceOf(x, y)], or its old value where
// sourceOf gives no pixel (-1).
template <class TSourceOf>
void ExpectPixels(const TBitmap &target, const std::vector<std::uint32_t> &old, const std::vector<std::uint32_t> &src,
                  TSourceOf &&sourceOf) {
  const TRasterSurface &s = target.Surface();
  int wrong = 0;
  for (int y = 0; y < s.Height; ++y)
    for (int x = 0; x < s.Width; ++x) {
      const int from = sourceOf(x, y);
      const std::uint32_t want =
          from < 0 ? old[static_cast<std::size_t>(y * s.Width + x)] : src[static_cast<std::size_t>(from)];
      if (s.Row(y)[x] != want && ++wrong <= 5)
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << s.Row(y)[x] << ", want " << want;
    }
  EXPECT_EQ(wrong, 0);
}

TEST(BitmapDraw, CopiesAtEveryOffsetClippedToTheTarget) {
  TBitmap source(SourceWidth, SourceHeight);
  FillPattern(source);
  const std::vector<std::uint32_t> src = Snapshot(source);
  const TPoint offsets[] = {{0, 0}, {5, 3}, {-7, -2}, {40, 15}, {-36, -10}, {60, 22}, {-37, 0}, {0, 23}};
  for (const TPoint at : offsets) {
    SCOPED_TRACE(testing::Message() << "at " << at.X << ", " << at.Y);
    TBitmap target(TargetWidth, TargetHeight);
    const std::vector<std::uint32_t> old = Snapshot(target);
    target.Canvas()->Draw(at.X, at.Y, source);
    ExpectPixels(target, old, src, [&](int x, int y) {
      const int sx = x - at.X, sy = y - at.Y;
      return sx >= 0 && sx < SourceWidth && sy >= 0 && sy < SourceHeight ? sy * SourceWidth + sx : -1;
    });
  }
}

TEST(BitmapDraw, StretchesByTheSourcePixelUnderEachCentre) {
  TBitmap source(SourceWidth, SourceHeight);
  FillPattern(source);
  const std::vector<std::uint32_t> src = Snapshot(source);
  const TRect boxes[] = {{2, 1, 2 + 2 * SourceWidth - 20, 1 + 2 * SourceHeight - 4}, {10, 4, 20, 9}, {-30, -5, 50, 30}};
  for (const TRect &box : boxes) {
    SCOPED_TRACE(testing::Message() << "box " << box.Left << ", " << box.Top << ", " << box.Right << ", "
                                    << box.Bottom);
    TBitmap target(TargetWidth, TargetHeight);
    const std::vector<std::uint32_t> old = Snapshot(target);
    target.Canvas()->StretchDraw(box, source);
    const int w = box.Right - box.Left, h = box.Bottom - box.Top;
    ExpectPixels(target, old, src, [&](int x, int y) {
      const int dx = x - box.Left, dy = y - box.Top;
      if (dx < 0 || dx >= w || dy < 0 || dy >= h)
        return -1;
      return (2 * dy + 1) * SourceHeight / (2 * h) * SourceWidth + (2 * dx + 1) * SourceWidth / (2 * w);
    });
  }
}

// Drawn onto itself, a bitmap shows its pixels as they were before the drawing, whichever way the
// copy overlaps its source.
TEST(BitmapDraw, OntoItselfReadsThePixelsAsTheyWere) {
  const TPoint offsets[] = {{3, 2}, {-3, -2}, {5, -1}, {-4, 3}, {0, 1}, {1, 0}};
  for (const TPoint at : offsets) {
    SCOPED_TRACE(testing::Message() << "at " << at.X << ", " << at.Y);
    TBitmap bitmap(TargetWidth, TargetHeight);
    FillPattern(bitmap);
    const std::vector<std::uint32_t> before = Snapshot(bitmap);
    bitmap.Canvas()->Draw(at.X, at.Y, bitmap);
    ExpectPixels(bitmap, before, before, [&](int x, int y) {
      const int sx = x - at.X, sy = y - at.Y;
      return sx >= 0 && sx < TargetWidth && sy >= 0 && sy < TargetHeight ? sy * TargetWidth + sx : -1;
    });
  }
  TBitmap bitmap(TargetWidth, TargetHeight);
  FillPattern(bitmap);
  const std::vector<std::uint32_t> before = Snapshot(bitmap);
  bitmap.Canvas()->StretchDraw({0, 0, TargetWidth * 2, TargetHeight * 2}, bitmap);
  ExpectPixels(bitmap, before, before, [&](int x, int y) { return y / 2 * TargetWidth + x / 2; });
}

} // namespace
