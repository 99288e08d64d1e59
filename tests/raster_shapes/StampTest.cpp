#include <gtest/gtest.h>

#include "ShapeTest.h"
#include <climits>
#include <functional>
#include <platform/graphics/raster/RasterStamp.h>
#include <random>
#include <sstream>
#include <wgraph/Wgraph.h>

// Small figures in one plain colour are drawn from cached stamps. Every test here draws the same
// calls twice, once with stamps and once without (the figures' own rasterizers), on the same
// noisy background, and wants every pixel equal.

using namespace ShapeTest;
using Platform::Raster::SetStampsEnabled;
using Platform::Raster::StampsBuilt;

namespace {

constexpr int Side = 96;

// Turns stamps off on this thread for its lifetime.
struct TWithoutStamps {
  TWithoutStamps() { SetStampsEnabled(false); }
  ~TWithoutStamps() { SetStampsEnabled(true); }
  TWithoutStamps(const TWithoutStamps &) = delete;
  TWithoutStamps &operator=(const TWithoutStamps &) = delete;
};

void Noise(TBitmap &bitmap, unsigned seed) {
  std::mt19937 random(seed);
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      bitmap.ScanLine(y)[x] = static_cast<std::uint32_t>(random()) & 0xFFFFFF;
}

// The first pixel where the bitmaps differ, or "" when none does.
std::string FirstDifference(const TBitmap &a, const TBitmap &b) {
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Surface().Row(y)[x] != b.Surface().Row(y)[x]) {
        std::ostringstream s;
        s << "pixel " << x << "," << y << ": " << std::hex << a.Surface().Row(y)[x] << " with stamps, "
          << b.Surface().Row(y)[x] << " without";
        return s.str();
      }
  return "";
}

// Runs draw(canvas) on two noisy bitmaps of the same size, with and without stamps, and returns
// where they differ.
std::string Compare(const std::function<void(TCanvas &)> &draw, int width = Side, int height = Side) {
  TBitmap stamped(width, height), direct(width, height);
  Noise(stamped, 5);
  Noise(direct, 5);
  draw(*stamped.Canvas());
  {
    const TWithoutStamps off;
    draw(*direct.Canvas());
  }
  return FirstDifference(stamped, direct);
}

// The canvas state of a marker: one colour for pen and brush, or a clear brush.
void MarkerState(TCanvas &c, TColor color, bool filled) {
  c.Pen().SetColor(color);
  c.Pen().SetWidth(1);
  c.Pen().SetStyle(psSolid);
  c.Pen().SetMode(pmCopy);
  c.Brush().SetColor(color);
  c.Brush().SetStyle(filled ? bsSolid : bsClear);
}

// Places where a figure is drawn in turn: its first drawing misses the cache, the second builds
// the stamp, the rest use it. Inside the clip, across each of its edges, beyond them.
const std::vector<TPoint> &Places() {
  static const std::vector<TPoint> places = {{40, 40},  {41, 43},  {30, 52}, {-3, 20}, {20, -5}, {88, 30}, {50, 90},
                                             {-40, 10}, {10, 200}, {60, 61}, {92, 93}, {-1, -1}, {45, 12}};
  return places;
}

std::vector<TPoint> Moved(const std::vector<TPoint> &points, TPoint by) {
  std::vector<TPoint> moved;
  for (const TPoint &p : points)
    moved.push_back({p.X + by.X, p.Y + by.Y});
  return moved;
}

// A random polygon of 3 to 8 vertices in a box of random size up to 70: convex, concave,
// self-intersecting, with repeated and collinear vertices, some too large for a stamp.
std::vector<TPoint> RandomFigure(std::mt19937 &random) {
  const int n = std::uniform_int_distribution<int>(3, 8)(random);
  const int size = std::uniform_int_distribution<int>(0, 70)(random);
  std::uniform_int_distribution<int> coordinate(-size / 2, size - size / 2);
  std::vector<TPoint> points;
  for (int i = 0; i < n; ++i) {
    const int kind = std::uniform_int_distribution<int>(0, 9)(random);
    if (kind == 0 && i > 0)
      points.push_back(points.back()); // a repeated vertex
    else if (kind == 1 && i > 1)
      points.push_back({2 * points[i - 1].X - points[i - 2].X, 2 * points[i - 1].Y - points[i - 2].Y}); // collinear
    else
      points.push_back({coordinate(random), coordinate(random)});
  }
  return points;
}

} // namespace

TEST(Stamp, RandomPolygonsMatchTheirFillAndOutline) {
  std::mt19937 random(17);
  const std::uint64_t built = StampsBuilt();
  for (int round = 0; round < 150; ++round) {
    const auto figure = RandomFigure(random);
    const int parts = round % 3; // 0: pen and brush, 1: pen only, 2: brush only
    const TPoint origin{round % 7 - 3, round % 5 - 2};
    const TRect clip = round % 4 == 0 ? TRect{7, 3, 80, 71} : TRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    const std::string difference = Compare([&](TCanvas &c) {
      MarkerState(c, RGB(20, 200, 90), parts != 1);
      if (parts == 2)
        c.Pen().SetStyle(psClear);
      c.SetOrigin(origin);
      c.SetDeviceClip(clip);
      for (const TPoint &place : Places())
        c.Polygon(Moved(figure, place));
    });
    ASSERT_EQ(difference, "") << "round " << round << ", " << figure.size() << " vertices from " << figure[0].X << ","
                              << figure[0].Y << ", parts " << parts;
  }
  EXPECT_GT(StampsBuilt(), built);
}

TEST(Stamp, EllipsesMatchTheirFillAndOutline) {
  const std::uint64_t built = StampsBuilt();
  for (int w = 1; w <= 66; w += 5)
    for (int h = 1; h <= 66; h += 7)
      for (bool filled : {true, false}) {
        const std::string difference = Compare([&](TCanvas &c) {
          MarkerState(c, clTeal, filled);
          c.SetOrigin({2, -3});
          for (const TPoint &place : Places())
            c.Ellipse(place.X, place.Y, place.X + w, place.Y + h);
        });
        ASSERT_EQ(difference, "") << w << " x " << h << (filled ? " filled" : " outlined");
      }
  EXPECT_GT(StampsBuilt(), built);
}

TEST(Stamp, MarkersMatchAtEverySizeAndAtTheEdges) {
  Wgraph::SetWorldWindow(0, Side, 0, Side, 0, 0, 0, 0);
  Wgraph::SetPCWindow(0, Side, Side, 0);
  using TMarker = void (*)(TCanvas *, int, double, double, TColor);
  const TMarker markers[] = {Wgraph::DrawSquarePoint,   Wgraph::DrawEmptySquarePoint,
                             Wgraph::DrawTrianglePoint, Wgraph::DrawEmptyTrianglePoint,
                             Wgraph::DrawCirclePoint,   Wgraph::DrawEmptyCirclePoint};
  std::mt19937 random(23);
  std::uniform_real_distribution<double> coordinate(-10, Side + 10);
  for (int kind = 0; kind < 6; ++kind)
    for (int size = 1; size <= 14; ++size) {
      const std::string difference = Compare([&](TCanvas &c) {
        c.SetDeviceClip({4, 6, Side - 5, Side - 3});
        std::mt19937 places(static_cast<unsigned>(size));
        for (int i = 0; i < 40; ++i)
          markers[kind](&c, size, coordinate(places), coordinate(places), clRed);
      });
      ASSERT_EQ(difference, "") << "marker " << kind << " size " << size;
    }
}

// A plot that mixes marker kinds and sizes in random order keeps all their stamps: after the
// first rounds no stamp is built again, which one that evicted another would be.
TEST(Stamp, MixedMarkersStayCached) {
  Wgraph::SetWorldWindow(0, Side, 0, Side, 0, 0, 0, 0);
  Wgraph::SetPCWindow(0, Side, Side, 0);
  using TMarker = void (*)(TCanvas *, int, double, double, TColor);
  const TMarker markers[] = {Wgraph::DrawSquarePoint, Wgraph::DrawTrianglePoint, Wgraph::DrawCirclePoint};
  TBitmap bitmap(Side, Side);
  std::mt19937 random(31);
  std::uniform_int_distribution<int> kind(0, 2), size(3, 11);
  std::uniform_real_distribution<double> coordinate(12, Side - 12);
  auto draw = [&](int count) {
    for (int i = 0; i < count; ++i)
      markers[kind(random)](bitmap.Canvas(), size(random), coordinate(random), coordinate(random), clRed);
  };
  draw(2000);
  const auto built = StampsBuilt();
  draw(2000);
  EXPECT_EQ(StampsBuilt(), built);
}

TEST(Stamp, ModesThatStoreOnePixelAreStamped) {
  // pmNotCopy stores the inverse colour; pmBlack and pmWhite store a constant whatever the pen and
  // brush colours are, so figures of two colours qualify too. psInsideFrame draws a cosmetic pen
  // solid.
  struct TCase {
    TPenMode Mode;
    TPenStyle Style;
    TColor Brush;
  };
  const TCase cases[] = {{pmNotCopy, psSolid, clRed},
                         {pmBlack, psSolid, clBlue},
                         {pmWhite, psSolid, clLime},
                         {pmCopy, psInsideFrame, clRed}};
  // Each case draws shapes of its own, so that its stamps are built here rather than found.
  int grow = 0;
  for (const TCase &k : cases) {
    ++grow;
    const std::vector<TPoint> triangle = {{0, -4 - grow}, {-4, 3}, {4 + grow, 3}};
    const std::uint64_t built = StampsBuilt();
    const std::string difference = Compare([&](TCanvas &c) {
      MarkerState(c, clRed, true);
      c.Pen().SetMode(k.Mode);
      c.Pen().SetStyle(k.Style);
      c.Brush().SetColor(k.Brush);
      for (const TPoint &place : Places()) {
        c.Polygon(Moved(triangle, place));
        c.Ellipse(place.X, place.Y, place.X + 5 + grow, place.Y + 4);
      }
    });
    EXPECT_EQ(difference, "") << "mode " << static_cast<int>(k.Mode);
    EXPECT_GT(StampsBuilt(), built) << "mode " << static_cast<int>(k.Mode);
  }
}

TEST(Stamp, OtherPensAndBrushesDrawAsBefore) {
  // A stamp writes each pixel once in one value; these states write pixels twice, in two values,
  // in patterns, or through more than one pixel's width, and must take the figures' own paths.
  const std::vector<std::function<void(TCanvas &)>> states = {
      [](TCanvas &c) { c.Pen().SetMode(pmXor); },
      [](TCanvas &c) { c.Pen().SetMode(pmNot); },
      [](TCanvas &c) { c.Pen().SetMode(pmMerge); },
      [](TCanvas &c) { c.Brush().SetColor(clBlue); },
      [](TCanvas &c) { c.Brush().SetStyle(bsDiagCross); },
      [](TCanvas &c) { c.Pen().SetWidth(3); },
      [](TCanvas &c) { c.Pen().SetStyle(psDot); },
      [](TCanvas &c) { c.Pen().SetStyle(psDashDotDot); },
      [](TCanvas &c) {
        c.Pen().SetMode(pmXor);
        c.Brush().SetStyle(bsClear);
      },
  };
  const std::vector<TPoint> figures[] = {
      {{0, -4}, {-4, 3}, {4, 3}}, {{-3, -3}, {3, -3}, {3, 3}, {-3, 3}}, {{0, 0}, {9, 9}, {9, 0}, {0, 9}, {4, -3}}};
  for (std::size_t k = 0; k < states.size(); ++k) {
    const std::uint64_t built = StampsBuilt();
    const std::string difference = Compare([&](TCanvas &c) {
      MarkerState(c, clRed, true);
      states[k](c);
      for (const TPoint &place : Places()) {
        for (const auto &figure : figures)
          c.Polygon(Moved(figure, place));
        c.Ellipse(place.X, place.Y, place.X + 7, place.Y + 6);
      }
    });
    EXPECT_EQ(difference, "") << "state " << k;
    EXPECT_EQ(StampsBuilt(), built) << "state " << k;
  }
}

TEST(Stamp, FarCoordinatesAndLargeFigures) {
  // Vertices near the ends of the 32-bit range brought into view by the origin, vertices too far
  // apart for a key (one figure's offsets equal to a stampable one's modulo 256), and boxes just
  // above the largest stamp.
  const std::vector<TPoint> wide = {{0, 0}, {64, 3}, {30, 20}};
  const std::vector<TPoint> far = {{0, 0}, {INT_MAX, 5}, {INT_MIN, 9}};
  const std::vector<TPoint> small = {{0, 0}, {56, 3}, {50, 9}}, aliased = {{20, 10}, {-180, 13}, {-186, 19}};
  const std::string difference = Compare([&](TCanvas &c) {
    MarkerState(c, clFuchsia, true);
    for (const TPoint &place : Places()) {
      // On the screen at place + (31..39, 9..16): INT_MIN + INT_MAX is -1.
      const std::vector<TPoint> near = {{INT_MAX - 6, INT_MIN + 10 + place.Y},
                                        {INT_MAX - 1, INT_MIN + 17 + place.Y},
                                        {INT_MAX - 9, INT_MIN + 15 + place.Y}};
      c.SetOrigin({place.X - (INT_MAX - 40), INT_MAX});
      c.Polygon(near);
      c.SetOrigin(place);
      c.Polygon(wide);
      c.Polygon(far);
      c.Polygon(small); // twice, so that its stamp is built before the other figure comes
      c.Polygon(small);
      c.Polygon(aliased);
      c.Ellipse(0, 0, 65, 30);
      c.Ellipse(0, 0, 20, 65);
    }
  });
  EXPECT_EQ(difference, "");
}

TEST(Stamp, SurfacesOfOtherStridesAndTheCacheFull) {
  // One shape drawn on bitmaps of different widths in turn, among more shapes than the cache
  // holds: stamps are refitted to each stride and rebuilt after eviction.
  TBitmap stamped[2], direct[2];
  for (int i = 0; i < 2; ++i) {
    stamped[i].SetSize(i ? 77 : 50, 40);
    direct[i].SetSize(i ? 77 : 50, 40);
    Noise(stamped[i], 9);
    Noise(direct[i], 9);
  }
  auto draw = [](TBitmap(&bitmaps)[2]) {
    for (int round = 0; round < 60; ++round)
      for (int i = 0; i < 2; ++i) {
        TCanvas &c = *bitmaps[i].Canvas();
        MarkerState(c, clNavy, true);
        const int s = 3 + round % 23;
        const TPoint shape[] = {{round % 40, 5}, {round % 40 + s, 5 + s / 2}, {round % 40 + 1, 5 + s}};
        c.Polygon(shape);
        c.Ellipse(10, 20, 16, 26);
      }
  };
  draw(stamped);
  {
    const TWithoutStamps off;
    draw(direct);
  }
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(FirstDifference(stamped[i], direct[i]), "") << "bitmap " << i;
}
