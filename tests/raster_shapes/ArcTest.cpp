#include <gtest/gtest.h>

#include "ShapeTest.h"
#include <cmath>
#include <random>

using namespace ShapeTest;

namespace {

// Arcs are compared with whole ellipse outlines, so the sheet's ellipses are not filled.
struct TArcSheet : TSheet {
  explicit TArcSheet(int width = 64, int height = 64, TPenMode mode = pmCopy) : TSheet(width, height, mode) {
    Canvas().Brush().SetStyle(bsClear);
  }
};

// The angle of the direction from the box's centre to the centre of pixel p, counter-clockwise
// as seen on the screen (y flipped), in [0, 2 pi).
long double AngleOf(const TRect &box, long double x, long double y) {
  const long double dx = 2 * x + 1 - (box.Left + box.Right), dy = 2 * y + 1 - (box.Top + box.Bottom);
  const long double a = std::atan2(-dy, dx);
  return a < 0 ? a + 2 * M_PIl : a;
}

// The pixels of figure whose direction lies in the sweep from start to end, judged by angles.
// Pixels within a hair of a ray count as on it, and rays include their own pixels.
TPixelSet InSweep(const TPixelSet &figure, const TRect &box, TPoint start, TPoint end) {
  const long double s = AngleOf(box, start.X, start.Y), e = AngleOf(box, end.X, end.Y);
  const long double turn = 2 * M_PIl, eps = 1e-12L;
  long double sweep = std::fmod(e - s + turn, turn);
  if (sweep < eps)
    sweep = turn;
  TPixelSet in;
  for (const auto &[x, y] : figure) {
    const bool centre = 2 * x + 1 == box.Left + box.Right && 2 * y + 1 == box.Top + box.Bottom;
    const long double a = std::fmod(AngleOf(box, x, y) - s + turn, turn);
    if (centre || a <= sweep + eps || a >= turn - eps)
      in.insert({x, y});
  }
  return in;
}

// The pen's pixels of the whole ellipse, drawn with a clear brush.
TPixelSet Outline(const TRect &box, int width, int size = 64) {
  TArcSheet sheet(size, size);
  sheet.Canvas().Pen().SetWidth(width);
  sheet.Canvas().Ellipse(box);
  return sheet.Any();
}

TPixelSet ArcPixels(const TRect &box, TPoint start, TPoint end, int width = 1, int size = 64) {
  TArcSheet sheet(size, size);
  sheet.Canvas().Pen().SetWidth(width);
  sheet.Canvas().Arc(box.Left, box.Top, box.Right, box.Bottom, start.X, start.Y, end.X, end.Y);
  return sheet.Any();
}

const TRect Box{4, 6, 45, 47}; // 41 x 41: the middle pixel is (24, 26)
const TPoint East{60, 26}, North{24, 0}, West{0, 26}, South{24, 60};

} // namespace

TEST(Arc, QuadrantsRunCounterClockwiseOnTheScreen) {
  const TPixelSet outline = Outline(Box, 1);
  // East to north is the upper right quarter on the screen, and so on round.
  const TPixelSet upperRight = ArcPixels(Box, East, North);
  for (const auto &[x, y] : outline)
    EXPECT_EQ(upperRight.count({x, y}) == 1, x >= 24 && y <= 26) << x << "," << y;
  EXPECT_EQ(ArcPixels(Box, North, West), InSweep(outline, Box, North, West));
  EXPECT_EQ(ArcPixels(Box, West, South), InSweep(outline, Box, West, South));
  EXPECT_EQ(ArcPixels(Box, South, East), InSweep(outline, Box, South, East));
  const TPixelSet lowerLeft = ArcPixels(Box, West, South);
  for (const auto &[x, y] : outline)
    EXPECT_EQ(lowerLeft.count({x, y}) == 1, x <= 24 && y >= 26) << x << "," << y;
}

TEST(Arc, SweepsAcrossTheSeamAndBeyondHalfATurn) {
  const TPixelSet outline = Outline(Box, 1);
  const TPoint below{50, 40}, above{50, 12}; // about 30 degrees under and over the east ray
  const TPixelSet narrow = ArcPixels(Box, below, above);
  EXPECT_EQ(narrow, InSweep(outline, Box, below, above));
  EXPECT_TRUE(narrow.count({44, 26}));
  EXPECT_FALSE(narrow.count({4, 26}));
  const TPixelSet wide = ArcPixels(Box, above, below);
  EXPECT_EQ(wide, InSweep(outline, Box, above, below));
  EXPECT_TRUE(wide.count({4, 26}));
  EXPECT_FALSE(wide.count({44, 26}));
  // The two sweeps cover the outline and meet only on their shared rays.
  TPixelSet both = narrow;
  both.insert(wide.begin(), wide.end());
  EXPECT_EQ(both, outline);
  EXPECT_LE(Intersect(narrow, wide).size(), 4u);
}

TEST(Arc, EqualRaysDrawTheWholeEllipseAndOppositeRaysHalf) {
  const TPixelSet outline = Outline(Box, 1);
  EXPECT_EQ(ArcPixels(Box, East, {70, 26}), outline);
  EXPECT_EQ(ArcPixels(Box, {24, 26}, {24, 26}), outline);
  const TPixelSet upper = ArcPixels(Box, East, West);
  for (const auto &[x, y] : outline)
    EXPECT_EQ(upper.count({x, y}) == 1, y <= 26) << x << "," << y;
}

TEST(Arc, RandomArcsMatchTheirSweep) {
  // Boxes of both parities and rays in every direction, with cosmetic and wide pens.
  std::mt19937 random(9);
  std::uniform_int_distribution<int> coordinate(-30, 90);
  for (int round = 0; round < 150; ++round) {
    const int l = 8 + static_cast<int>(random() % 10), t = 8 + static_cast<int>(random() % 10);
    const TRect box{l, t, l + 2 + static_cast<int>(random() % 40), t + 2 + static_cast<int>(random() % 40)};
    const TPoint start{coordinate(random), coordinate(random)}, end{coordinate(random), coordinate(random)};
    const int width = round % 4 == 3 ? 2 + round % 5 : 1;
    EXPECT_EQ(ArcPixels(box, start, end, width), InSweep(Outline(box, width), box, start, end)) << "round " << round;
  }
}

TEST(Arc, ClipShowsThePartInside) {
  const TPixelSet whole = ArcPixels(Box, South, North, 3);
  for (TRect clip : {TRect{0, 0, 25, 64}, TRect{20, 20, 40, 40}, TRect{4, 6, 45, 47}}) {
    TArcSheet part;
    part.Canvas().Pen().SetWidth(3);
    part.Canvas().SetDeviceClip(clip);
    part.Canvas().Arc(Box.Left, Box.Top, Box.Right, Box.Bottom, South.X, South.Y, North.X, North.Y);
    EXPECT_EQ(part.Any(), Intersect(whole, Block(clip.Left, clip.Top, clip.Right, clip.Bottom)));
  }
}

TEST(Arc, XorTwiceRestores) {
  for (int width : {1, 4}) {
    TArcSheet sheet(64, 64, pmXor);
    sheet.Canvas().Pen().SetWidth(width);
    sheet.Canvas().Arc(Box.Left, Box.Top, Box.Right, Box.Bottom, 50, 12, 50, 40);
    EXPECT_FALSE(sheet.Any().empty());
    sheet.Canvas().Arc(Box.Left, Box.Top, Box.Right, Box.Bottom, 50, 12, 50, 40);
    EXPECT_TRUE(sheet.Any().empty()) << "width " << width;
  }
}

TEST(Arc, ExtremeCoordinatesFinish) {
  // A box and rays at the ends of the 32-bit range: the arc's visible part is the ellipse's
  // upper half, the rays pointing east and west.
  TArcSheet sheet(32, 32);
  sheet.Canvas().SetOrigin({16, 0});
  sheet.Canvas().Arc(INT_MIN, 4, INT_MAX, 24, INT_MAX, 13, INT_MIN, 13);
  EXPECT_EQ(sheet.Any(), Block(0, 4, 32, 5));
}
