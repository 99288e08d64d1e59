#include "LineTestSupport.h"

#include <climits>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <utility>

using namespace LineTest;

namespace {

using TPixelSet = std::set<std::pair<int, int>>;

TPixelSet Changed(const TSurface &s, std::uint32_t background) {
  TPixelSet out;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      if (s.At(x, y) != background)
        out.insert({x, y});
  return out;
}

TPixelSet SetOf(const std::vector<TLinePixel> &pixels) {
  TPixelSet out;
  for (const TLinePixel &p : pixels)
    out.insert({p.X, p.Y});
  return out;
}

TRect Whole(const TSurface &s) { return {0, 0, s.Width(), s.Height()}; }

// The sixteen modes written out bit by bit, independently of MakeRop.
std::uint32_t ApplyMode(TPenMode mode, std::uint32_t d, std::uint32_t p) {
  std::uint32_t r = 0;
  switch (mode) {
  case pmBlack: r = 0; break;
  case pmWhite: r = 0xFFFFFF; break;
  case pmNop: r = d; break;
  case pmNot: r = ~d; break;
  case pmCopy: r = p; break;
  case pmNotCopy: r = ~p; break;
  case pmMergePenNot: r = p | ~d; break;
  case pmMaskPenNot: r = p & ~d; break;
  case pmMergeNotPen: r = ~p | d; break;
  case pmMaskNotPen: r = ~p & d; break;
  case pmMerge: r = p | d; break;
  case pmNotMerge: r = ~(p | d); break;
  case pmMask: r = p & d; break;
  case pmNotMask: r = ~(p & d); break;
  case pmXor: r = p ^ d; break;
  case pmNotXor: r = ~(p ^ d); break;
  }
  return r & 0xFFFFFF;
}

} // namespace

TEST(CosmeticLine, DirectionsAndOctantsExcludeTheEndPixel) {
  const TPoint ends[] = {{30, 20}, {10, 20}, {20, 30}, {20, 10}, {27, 23}, {23, 27}, {17, 27}, {13, 23},
                         {13, 17}, {17, 13}, {23, 13}, {27, 17}, {26, 26}, {14, 26}, {14, 14}, {26, 14}};
  for (const TPoint end : ends) {
    SCOPED_TRACE(testing::Message() << "to " << end.X << "," << end.Y);
    TSurface s(40, 40);
    s.Canvas().MoveTo(20, 20);
    s.Canvas().LineTo(end.X, end.Y);
    const auto expected = ExpectedLine({20, 20}, {end.X, end.Y}, Whole(s));
    EXPECT_EQ(Changed(s, White), SetOf(expected));
    EXPECT_EQ(s.At(20, 20), 0u);
    EXPECT_EQ(s.At(end.X, end.Y), White);
    EXPECT_EQ(expected.size(), static_cast<std::size_t>(std::max(std::abs(end.X - 20), std::abs(end.Y - 20))));
    // One pixel per step, each touching the one before.
    for (std::size_t i = 1; i < expected.size(); ++i) {
      EXPECT_LE(std::abs(expected[i].X - expected[i - 1].X), 1);
      EXPECT_LE(std::abs(expected[i].Y - expected[i - 1].Y), 1);
    }
    EXPECT_EQ(s.Canvas().PenPos(), end);
  }
}

TEST(CosmeticLine, TiesRoundTowardsPositiveMinorAxisEitherWayRound) {
  const auto drawn = [](TPoint a, TPoint b) {
    TSurface s(40, 40);
    s.Canvas().MoveTo(a.X, a.Y);
    s.Canvas().LineTo(b.X, b.Y);
    return Changed(s, White);
  };
  EXPECT_EQ(drawn({0, 0}, {4, 2}), (TPixelSet{{0, 0}, {1, 1}, {2, 1}, {3, 2}}));
  EXPECT_EQ(drawn({4, 2}, {0, 0}), (TPixelSet{{4, 2}, {3, 2}, {2, 1}, {1, 1}}));
  EXPECT_EQ(drawn({0, 0}, {2, 4}), (TPixelSet{{0, 0}, {1, 1}, {1, 2}, {2, 3}}));
  EXPECT_EQ(drawn({2, 4}, {0, 0}), (TPixelSet{{2, 4}, {2, 3}, {1, 2}, {1, 1}}));
  EXPECT_EQ(drawn({0, 4}, {4, 2}), (TPixelSet{{0, 4}, {1, 4}, {2, 3}, {3, 3}}));

  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(0, 39);
  for (int i = 0; i < 200; ++i) {
    const TPoint a{coordinate(random), coordinate(random)}, b{coordinate(random), coordinate(random)};
    if (a == b)
      continue;
    TPixelSet forward = drawn(a, b), backward = drawn(b, a);
    forward.insert({b.X, b.Y});
    backward.insert({a.X, a.Y});
    EXPECT_EQ(forward, backward) << a.X << "," << a.Y << " - " << b.X << "," << b.Y;
  }
}

TEST(CosmeticLine, ZeroLengthDrawsNothing) {
  TSurface s(8, 8);
  s.Canvas().MoveTo(3, 3);
  s.Canvas().LineTo(3, 3);
  s.Canvas().Pen().SetMode(pmNot);
  const TPoint points[] = {{5, 5}, {5, 5}};
  s.Canvas().Polyline(points);
  EXPECT_TRUE(Changed(s, White).empty());
}

// A polyline leaves the pen on its last point, so the next LineTo starts there.
TEST(CosmeticLine, PolylineLeavesThePenOnItsLastPoint) {
  TSurface s(16, 10);
  const TPoint points[] = {{1, 1}, {10, 1}, {10, 6}};
  s.Canvas().Polyline(points);
  EXPECT_EQ(s.Canvas().PenPos(), (TPoint{10, 6}));
  s.Canvas().LineTo(2, 6);
  for (int x = 3; x <= 10; ++x)
    EXPECT_NE(s.At(x, 6), White) << x;
  EXPECT_EQ(s.At(2, 6), White);
}

TEST(CosmeticLine, AllSixteenModesOnEveryDirection) {
  const std::pair<TPoint, TPoint> lines[] = {{{2, 3}, {25, 3}}, {{25, 6}, {2, 6}},   {{4, 1}, {4, 18}},
                                             {{7, 18}, {7, 1}}, {{10, 2}, {29, 17}}, {{29, 2}, {12, 19}}};
  const TColor pen = RGB(0x35, 0xA6, 0xC9);
  for (int m = 0; m < 16; ++m) {
    const auto mode = static_cast<TPenMode>(m);
    for (const auto &[a, b] : lines) {
      SCOPED_TRACE(testing::Message() << "mode " << m << " from " << a.X << "," << a.Y);
      TSurface s(32, 20), before(32, 20);
      s.FillNoise(m * 131);
      before.FillNoise(m * 131);
      s.Canvas().Pen().SetColor(pen);
      s.Canvas().Pen().SetMode(mode);
      s.Canvas().MoveTo(a.X, a.Y);
      s.Canvas().LineTo(b.X, b.Y);
      const TPixelSet on = SetOf(ExpectedLine({a.X, a.Y}, {b.X, b.Y}, Whole(s)));
      for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
          const std::uint32_t d = before.At(x, y);
          const std::uint32_t want = on.count({x, y}) ? ApplyMode(mode, d, ColorToPixel(pen)) : d;
          ASSERT_EQ(s.At(x, y), want) << x << "," << y;
        }
    }
  }
}

TEST(CosmeticLine, XorAndNotTwiceRestoreThePixels) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> coordinate(-30, 90), style(0, 4), width(0, 6);
  for (TPenMode mode : {pmXor, pmNot}) {
    TSurface s(64, 48), before(64, 48);
    s.FillNoise(3);
    before.FillNoise(3);
    TCanvas &c = s.Canvas();
    c.Pen().SetMode(mode);
    c.Pen().SetColor(RGB(0x12, 0x34, 0x56));
    for (int i = 0; i < 100; ++i) {
      c.Pen().SetStyle(static_cast<TPenStyle>(style(random)));
      c.Pen().SetWidth(i % 3 == 0 ? width(random) : 1);
      std::vector<TPoint> points(2 + i % 4);
      for (TPoint &p : points)
        p = {coordinate(random), coordinate(random)};
      for (int pass = 0; pass < 2; ++pass) {
        c.MoveTo(points[0].X, points[0].Y);
        for (std::size_t k = 1; k < points.size(); ++k)
          c.LineTo(points[k].X, points[k].Y);
        c.Polyline(points);
      }
      ASSERT_EQ(s.Pixels(), before.Pixels()) << "figure " << i;
    }
  }
}

TEST(CosmeticLine, PolylineDrawsEveryVertexOnce) {
  const TPoint points[] = {{5, 5}, {30, 8}, {12, 25}, {40, 30}, {6, 20}};
  for (bool closed : {false, true}) {
    SCOPED_TRACE(closed ? "closed" : "open");
    TSurface s(48, 36);
    const TStroke pen{Raster::MakeRop(pmXor, 0x00FFFFFF), psSolid, 1};
    int phase = 0;
    Raster::StrokePolyline(s.View(), {0, 0, 48, 36}, pen, points, {0, 0}, closed, phase);
    // Count how often each segment's own pixels cover a pixel: xor leaves the odd counts changed.
    std::map<std::pair<int, int>, int> hits;
    const std::size_t n = std::size(points), segments = closed ? n : n - 1;
    for (std::size_t i = 0; i < segments; ++i) {
      const TPoint a = points[i], b = points[(i + 1) % n];
      for (const TLinePixel &p : ExpectedLine({a.X, a.Y}, {b.X, b.Y}, Whole(s)))
        ++hits[{p.X, p.Y}];
    }
    TPixelSet odd;
    for (const auto &[p, count] : hits)
      if (count % 2)
        odd.insert(p);
    EXPECT_EQ(Changed(s, White), odd);
    for (std::size_t i = 0; i < n; ++i)
      EXPECT_EQ(s.At(points[i].X, points[i].Y) != White, closed || i + 1 < n) << "vertex " << i;
  }
}

TEST(CosmeticLine, ClippingNeverMovesAPixel) {
  std::mt19937 random(2024);
  std::uniform_int_distribution<int> near(-60, 160), any(INT_MIN, INT_MAX), pick(0, 5), style(0, 4);
  const auto coordinate = [&] {
    switch (pick(random)) {
    case 0: return INT_MIN;
    case 1: return INT_MAX;
    case 2: return any(random);
    default: return near(random);
    }
  };
  for (int i = 0; i < 3000; ++i) {
    const TPoint a{coordinate(), coordinate()}, b{coordinate(), coordinate()};
    const TPenStyle penStyle = static_cast<TPenStyle>(style(random));
    const TPenMode mode = i % 2 ? pmCopy : pmXor;
    const int phase = i % 24;
    std::uniform_int_distribution<int> cx(0, 99), cy(0, 79);
    const TRect clip = OrderedRect(cx(random), cy(random), cx(random) + 1, cy(random) + 1);
    TSurface full(100, 80), clipped(100, 80);
    for (TSurface *s : {&full, &clipped}) {
      s->Canvas().Pen().SetStyle(penStyle);
      s->Canvas().Pen().SetMode(mode);
      s->Canvas().Pen().SetColor(clRed);
    }
    clipped.Canvas().SetDeviceClip(clip);
    int phaseFull = phase, phaseClipped = phase;
    const TDrawState stateFull{{clRed, mode, penStyle, 1}, {}, {}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}};
    const TDrawState stateClipped{stateFull.Pen, {}, {}, clip};
    TRasterDevice(full.View()).Line(stateFull, a, b, phaseFull);
    TRasterDevice(clipped.View()).Line(stateClipped, a, b, phaseClipped);
    SCOPED_TRACE(testing::Message() << a.X << "," << a.Y << " - " << b.X << "," << b.Y);
    EXPECT_EQ(phaseFull, phaseClipped);
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 100; ++x) {
        const bool inside = x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom;
        ASSERT_EQ(clipped.At(x, y), inside ? full.At(x, y) : White) << x << "," << y;
      }
    if (penStyle == psSolid || penStyle == psInsideFrame) {
      ASSERT_EQ(Changed(full, White), SetOf(ExpectedLine({a.X, a.Y}, {b.X, b.Y}, Whole(full))));
    }
  }
}

TEST(CosmeticLine, EverySmallLineClipsExactly) {
  // All lines between points of a small grid around a small clip: ties on the clip's edges, which
  // random lines rarely hit, all occur here.
  const TRect clip{2, 3, 7, 8};
  const Raster::TClip c{clip.Left, clip.Top, clip.Right, clip.Bottom};
  const TStroke pen{Raster::MakeRop(pmXor, White), psSolid, 1};
  for (int ax = -2; ax < 12; ++ax)
    for (int ay = -2; ay < 12; ++ay)
      for (int bx = -2; bx < 12; ++bx)
        for (int by = -2; by < 12; ++by) {
          TSurface s(10, 10);
          int phase = 0;
          Raster::StrokeLine(s.View(), c, pen, {ax, ay}, {bx, by}, phase);
          ASSERT_EQ(Changed(s, White), SetOf(ExpectedLine({ax, ay}, {bx, by}, clip)))
              << ax << "," << ay << " - " << bx << "," << by;
        }
}

TEST(CosmeticLine, HugeCoordinatesDrawOnlyTheVisiblePart) {
  struct TCase {
    TPoint64 A, B;
  };
  const i64 lo = INT_MIN, hi = INT_MAX;
  const TCase cases[] = {
      {{lo, 5}, {hi, 7}},
      {{hi, 9}, {lo, 3}},
      {{5, lo}, {9, hi}},
      {{lo, lo}, {hi, hi}},
      {{lo, hi}, {hi, lo}},
      {{lo + 20, lo}, {hi + 20, hi}},
      {{-(i64{1} << 35), 10}, {i64{1} << 35, 11}},
      {{30, -(i64{1} << 35)}, {31, i64{1} << 35}},
  };
  for (const TCase &c : cases) {
    SCOPED_TRACE(testing::Message() << c.A.X << "," << c.A.Y << " - " << c.B.X << "," << c.B.Y);
    TSurface s(64, 16);
    int phase = 0;
    const TStroke pen{Raster::MakeRop(pmCopy, 0), psSolid, 1};
    Raster::StrokeLine(s.View(), {0, 0, 64, 16}, pen, c.A, c.B, phase);
    EXPECT_EQ(Changed(s, White), SetOf(ExpectedLine(c.A, c.B, Whole(s))));
  }
  // The first case crosses every column once.
  TSurface s(64, 16);
  s.Canvas().MoveTo(INT_MIN, 5);
  s.Canvas().LineTo(INT_MAX, 7);
  EXPECT_EQ(Changed(s, White).size(), 64u);
  // The same through a far origin: the canvas adds it in 64 bits.
  TSurface shifted(64, 16);
  shifted.Canvas().SetOrigin({INT_MAX, INT_MAX});
  shifted.Canvas().MoveTo(INT_MIN, INT_MIN); // device (-1, -1)
  shifted.Canvas().LineTo(INT_MIN + 100, INT_MIN);
  EXPECT_TRUE(Changed(shifted, White).empty());
  shifted.Canvas().MoveTo(INT_MIN, -INT_MAX); // device (-1, 0)
  shifted.Canvas().LineTo(INT_MIN + 60, -INT_MAX + 12);
  const auto expected = ExpectedLine({-1, 0}, {59, 12}, Whole(shifted));
  EXPECT_EQ(expected.size(), 59u);
  EXPECT_EQ(Changed(shifted, White), SetOf(expected));
}

TEST(CosmeticLine, CoordinatesBeyondTheLimitDrawNothing) {
  TSurface s(16, 16);
  int phase = 0;
  const TStroke pen{Raster::MakeRop(pmCopy, 0), psSolid, 1};
  const i64 far = i64{1} << 62;
  Raster::StrokeLine(s.View(), {0, 0, 16, 16}, pen, {-far, 3}, {far, 3}, phase);
  Raster::StrokeLine(s.View(), {0, 0, 16, 16}, pen, {INT64_MIN, INT64_MIN}, {INT64_MAX, INT64_MAX}, phase);
  EXPECT_TRUE(Changed(s, White).empty());
}
