#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <wgraph/Wgraph.h>

using namespace Wgraph;

namespace {

void Map(double left, double right, double bottom, double top, int pcLeft, int pcRight, int pcBottom, int pcTop) {
  SetWorldWindow(left, right, bottom, top, 0, 0, 0, 0);
  SetPCWindow(pcLeft, pcRight, pcBottom, pcTop);
}

Platform::TPoint Pixel(double x, double y) {
  Platform::TPoint p;
  WorldToPC(x, y, p.X, p.Y);
  return p;
}

} // namespace

TEST(Mapping, CoefficientsAndRoundTrip) {
  Map(0, 10, 0, 10, 0, 100, 0, 100);
  EXPECT_EQ(aa, 10);
  EXPECT_EQ(bb, 0);
  EXPECT_EQ(cc, 10);
  EXPECT_EQ(dd, 0);
  EXPECT_EQ(Pixel(2.5, 7), (Platform::TPoint{25, 70}));
  double x, y;
  PCToWorld(25, 70, x, y);
  EXPECT_DOUBLE_EQ(x, 2.5);
  EXPECT_DOUBLE_EQ(y, 7);
}

TEST(Mapping, RoundsHalfToEven) {
  Map(0, 10, 0, 10, 0, 100, 0, 100);
  EXPECT_EQ(Pixel(0.25, 0).X, 2);
  EXPECT_EQ(Pixel(0.75, 0).X, 8);
  EXPECT_EQ(Pixel(0.35, 0.45).X, 4); // 3.5 -> 4
  EXPECT_EQ(Pixel(-0.25, 0).X, -2);
}

TEST(Mapping, FlippedVerticalAxis) {
  Map(0, 10, 0, 10, 0, 100, 100, 0);
  EXPECT_EQ(cc, -10);
  EXPECT_EQ(dd, 100);
  EXPECT_EQ(Pixel(0, 0).Y, 100);
  EXPECT_EQ(Pixel(0, 10).Y, 0);
}

TEST(Mapping, FarPixelsAreReplaced) {
  Map(0, 1, 0, 1, 0, 1, 0, 1); // one pixel per world unit
  EXPECT_EQ(Pixel(40000, -40000), (Platform::TPoint{21844, -21844}));
  EXPECT_EQ(Pixel(32767, -32767), (Platform::TPoint{32767, -32767}));
  EXPECT_EQ(Pixel(32768, -32768), (Platform::TPoint{21844, -21844}));
  EXPECT_EQ(Pixel(1e300, -1e300), (Platform::TPoint{21844, -21844}));
  EXPECT_EQ(Pixel(3e9, -3e9), (Platform::TPoint{21844, -21844}));
}

TEST(Mapping, NonNumbersStayInRange) {
  Map(0, 10, 0, 10, 0, 100, 0, 100);
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(Pixel(inf, -inf), (Platform::TPoint{21844, -21844}));
  EXPECT_EQ(Pixel(nan, nan), (Platform::TPoint{21844, 21844}));
}

TEST(Mapping, MarginsWidenTheWindowButLeaveTheCoefficients) {
  Map(0, 10, 0, 10, 0, 100, 0, 100);
  SetWorldWindow(0, 10, 0, 20, 0.125, 0.25, 0.0625, 0.5);
  EXPECT_EQ(WorldLeft, -1.25);
  EXPECT_EQ(WorldRight, 12.5);
  EXPECT_EQ(WorldBottom, -1.25);
  EXPECT_EQ(WorldTop, 30);
  EXPECT_EQ(aa, 10);
  EXPECT_EQ(cc, 10);
}

TEST(Mapping, WorldSystemIgnoresAdjustedFields) {
  WorldSystem({0, 10, 10, 0, 1, 2, 3, 4}, {0, 100, 0, 100});
  const double a = aa, b = bb, c = cc, d = dd;
  WorldSystem({0, 10, 10, 0, 0, 0, 0, 0}, {0, 100, 0, 100});
  EXPECT_EQ(a, aa);
  EXPECT_EQ(b, bb);
  EXPECT_EQ(c, cc);
  EXPECT_EQ(d, dd);
  EXPECT_EQ(Pixel(0, 10).Y, 0);
  EXPECT_EQ(Pixel(0, 0).Y, 100);
}

TEST(Mapping, DegenerateWindowMapsToTheMiddle) {
  Map(5, 5, 0, 10, 0, 100, 0, 200);
  EXPECT_EQ(aa, 0);
  EXPECT_EQ(Pixel(5, 0).X, 50);
  EXPECT_EQ(Pixel(-1e9, 0).X, 50);
  EXPECT_EQ(Pixel(0, 10).Y, 200); // the other axis is untouched
  Map(0, std::numeric_limits<double>::quiet_NaN(), 0, 10, 0, 100, 0, 200);
  EXPECT_EQ(Pixel(3, 0).X, 50);
}

TEST(Mapping, PixelRoundTripWithinHalfAPixel) {
  Map(-3.7, 12.1, 2.5, -8, 0, 640, 0, 480);
  for (double x = -3.7; x < 12.1; x += 0.37)
    for (double y = -8; y < 2.5; y += 0.29) {
      const Platform::TPoint p = Pixel(x, y);
      double wx, wy;
      PCToWorld(p.X, p.Y, wx, wy);
      EXPECT_LE(std::abs((wx - x) * aa), 0.5);
      EXPECT_LE(std::abs((wy - y) * cc), 0.5);
    }
}
