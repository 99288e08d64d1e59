#include "LineTestSupport.h"

#include <climits>
#include <gtest/gtest.h>
#include <random>

using namespace LineTest;

namespace {

// The rows of the surface as text: '#' changed from white, '.' untouched.
std::vector<std::string> Picture(const TSurface &s, int top, int bottom, int left, int right) {
  std::vector<std::string> rows;
  for (int y = top; y < bottom; ++y) {
    std::string row;
    for (int x = left; x < right; ++x)
      row += s.At(x, y) == White ? '.' : '#';
    rows.push_back(row);
  }
  return rows;
}

// Checks every pixel of the surface against the capsules of the given segments: copy-mode drawing
// changes the union, xor drawing of a single segment changes exactly the capsule (each pixel once).
void ExpectCapsules(const TSurface &s, const std::vector<std::pair<TPoint64, TPoint64>> &segments, int width,
                    const TRect &clip) {
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) {
      bool in = false;
      for (const auto &[a, b] : segments)
        in = in || InCapsule(x, y, a, b, width);
      in = in && x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom;
      ASSERT_EQ(s.At(x, y) != White, in) << x << "," << y;
    }
}

} // namespace

TEST(WideLine, HorizontalWidthFiveHasRoundCapsAndIncludesTheEnd) {
  TSurface s(32, 20);
  s.Canvas().Pen().SetWidth(5);
  s.Canvas().MoveTo(10, 10);
  s.Canvas().LineTo(20, 10);
  const std::vector<std::string> expected = {
      // columns 6..24, rows 7..13
      "...................", //
      "...#############...", //
      "..###############..", //
      "..###############..", //
      "..###############..", //
      "...#############...", //
      "...................", //
  };
  EXPECT_EQ(Picture(s, 7, 14, 6, 25), expected);
  // The same segment the other way round, and mirrored, covers the same pixels.
  TSurface back(32, 20);
  back.Canvas().Pen().SetWidth(5);
  back.Canvas().MoveTo(20, 10);
  back.Canvas().LineTo(10, 10);
  EXPECT_EQ(back.Pixels(), s.Pixels());
}

TEST(WideLine, EvenWidthsAreExactlyThatThick) {
  for (int width : {2, 4, 6}) {
    SCOPED_TRACE(testing::Message() << "width " << width);
    TSurface s(40, 40);
    s.Canvas().Pen().SetWidth(width);
    s.Canvas().MoveTo(10, 20);
    s.Canvas().LineTo(30, 20);
    s.Canvas().MoveTo(5, 5);
    s.Canvas().LineTo(5, 15);
    int rows = 0, columns = 0;
    for (int y = 0; y < 40; ++y)
      rows += s.At(20, y) != White;
    for (int x = 0; x < 40; ++x)
      columns += s.At(x, 10) != White;
    EXPECT_EQ(rows, width);
    EXPECT_EQ(columns, width);
    // The segment runs along the end pixels' top-left corners: half the width above the row.
    EXPECT_NE(s.At(20, 20 - width / 2), White);
    EXPECT_EQ(s.At(20, 20 - width / 2 - 1), White);
  }
}

TEST(WideLine, OddWidthsAreSymmetric) {
  for (int width : {3, 5, 7, 9}) {
    SCOPED_TRACE(testing::Message() << "width " << width);
    TSurface s(60, 60);
    s.Canvas().Pen().SetWidth(width);
    s.Canvas().MoveTo(20, 22);
    s.Canvas().LineTo(40, 38); // centred on (30, 30)
    for (int y = 1; y < 60; ++y)
      for (int x = 1; x < 60; ++x)
        ASSERT_EQ(s.At(x, y), s.At(60 - x, 60 - y)) << x << "," << y;
  }
}

TEST(WideLine, RandomSegmentsCoverTheirCapsuleOnceInsideTheClip) {
  std::mt19937 random(99);
  std::uniform_int_distribution<int> coordinate(-20, 70), width(2, 12), edge(0, 49);
  for (int i = 0; i < 300; ++i) {
    const TPoint64 a{coordinate(random), coordinate(random)}, b{coordinate(random), coordinate(random)};
    const int w = width(random);
    const TRect clip =
        i % 2 ? TRect{0, 0, 50, 40} : OrderedRect(edge(random), edge(random) % 40, edge(random), edge(random) % 40);
    SCOPED_TRACE(testing::Message() << a.X << "," << a.Y << " - " << b.X << "," << b.Y << " width " << w);
    TSurface s(50, 40);
    const TStroke pen{Raster::MakeRop(pmXor, White), psSolid, w};
    int phase = 0;
    const Raster::TClip c{clip.Left, clip.Top, clip.Right, clip.Bottom};
    Raster::StrokeLine(s.View(), c, pen, a, b, phase);
    if (a.X == b.X && a.Y == b.Y)
      ExpectCapsules(s, {}, w, clip);
    else
      ExpectCapsules(s, {{a, b}}, w, clip);
  }
}

TEST(WideLine, PolylineJoinsAreRound) {
  TSurface s(60, 50);
  const TPoint points[] = {{5, 5}, {40, 10}, {20, 40}, {50, 45}};
  s.Canvas().Pen().SetWidth(6);
  s.Canvas().Polyline(points);
  ExpectCapsules(s, {{{5, 5}, {40, 10}}, {{40, 10}, {20, 40}}, {{20, 40}, {50, 45}}}, 6, {0, 0, 60, 50});
}

TEST(WideLine, HugeCoordinatesDrawOnlyTheVisiblePart) {
  const i64 lo = INT_MIN, hi = INT_MAX;
  const std::pair<TPoint64, TPoint64> cases[] = {
      {{lo, 20}, {hi, 24}}, {{30, lo}, {33, hi}}, {{lo, lo}, {hi, hi}}, {{lo, 10}, {20, 10}}};
  for (const auto &[a, b] : cases) {
    SCOPED_TRACE(testing::Message() << a.X << "," << a.Y << " - " << b.X << "," << b.Y);
    TSurface s(64, 48);
    const TStroke pen{Raster::MakeRop(pmCopy, 0), psSolid, 7};
    int phase = 0;
    Raster::StrokeLine(s.View(), {0, 0, 64, 48}, pen, a, b, phase);
    ExpectCapsules(s, {{a, b}}, 7, {0, 0, 64, 48});
  }
  // A pen far wider than the surface just covers it.
  TSurface s(16, 16);
  s.Canvas().Pen().SetWidth(INT_MAX);
  s.Canvas().MoveTo(INT_MIN, -1000);
  s.Canvas().LineTo(INT_MAX, -1000);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(s.At(x, y), 0u);
}
