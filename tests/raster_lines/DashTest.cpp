#include "LineTestSupport.h"

#include <gtest/gtest.h>
#include <string>

using namespace LineTest;

namespace {

struct TStyleCase {
  TPenStyle Style;
  std::vector<int> Lengths;
};

const TStyleCase Styles[] = {
    {psDash, {18, 6}},
    {psDot, {3, 3}},
    {psDashDot, {9, 6, 3, 6}},
    {psDashDotDot, {9, 3, 3, 3, 3, 3}},
};

// '#' for a drawn pixel, '.' for an untouched one, along the given pixels.
std::string Trace(const TSurface &s, const std::vector<TLinePixel> &path) {
  std::string out;
  for (const TLinePixel &p : path)
    out += s.At(p.X, p.Y) == White ? '.' : '#';
  return out;
}

std::string Pattern(const std::vector<int> &lengths, i64 from, i64 count) {
  std::string out;
  for (i64 i = 0; i < count; ++i)
    out += DashOn(lengths, from + i) ? '#' : '.';
  return out;
}

TRect Whole(const TSurface &s) { return {0, 0, s.Width(), s.Height()}; }

} // namespace

TEST(Dash, EachStyleRunsItsPatternAlongTheMajorAxis) {
  const std::pair<TPoint, TPoint> lines[] = {
      {{2, 10}, {98, 10}}, {{97, 12}, {1, 12}}, {{5, 1}, {5, 59}}, {{3, 2}, {60, 59}}, {{40, 59}, {90, 0}}};
  for (const TStyleCase &c : Styles)
    for (const auto &[a, b] : lines) {
      SCOPED_TRACE(testing::Message() << "style " << static_cast<int>(c.Style) << " from " << a.X << "," << a.Y);
      TSurface s(100, 60);
      s.Canvas().Pen().SetStyle(c.Style);
      s.Canvas().MoveTo(a.X, a.Y);
      s.Canvas().LineTo(b.X, b.Y);
      const auto path = ExpectedLine({a.X, a.Y}, {b.X, b.Y}, Whole(s));
      EXPECT_EQ(Trace(s, path), Pattern(c.Lengths, 0, static_cast<i64>(path.size())));
    }
  // Spelled out once, so the table above cannot be wrong in the same way as the rasterizer.
  TSurface s(40, 4);
  s.Canvas().Pen().SetStyle(psDashDotDot);
  s.Canvas().MoveTo(0, 1);
  s.Canvas().LineTo(30, 1);
  EXPECT_EQ(Trace(s, ExpectedLine({0, 1}, {30, 1}, Whole(s))), "#########...###...###...######");
}

TEST(Dash, PatternContinuesAcrossLineToAndPolyline) {
  for (const TStyleCase &c : Styles) {
    SCOPED_TRACE(testing::Message() << "style " << static_cast<int>(c.Style));
    // Three LineTo calls turning corners: the pattern counts steps along the whole path.
    TSurface s(80, 60), poly(80, 60);
    const TPoint points[] = {{5, 5}, {12, 5}, {40, 30}, {40, 50}, {70, 20}};
    s.Canvas().Pen().SetStyle(c.Style);
    s.Canvas().MoveTo(points[0].X, points[0].Y);
    for (std::size_t i = 1; i < std::size(points); ++i)
      s.Canvas().LineTo(points[i].X, points[i].Y);
    poly.Canvas().Pen().SetStyle(c.Style);
    poly.Canvas().Polyline(points);
    i64 along = 0;
    for (std::size_t i = 1; i < std::size(points); ++i) {
      const TPoint a = points[i - 1], b = points[i];
      const auto path = ExpectedLine({a.X, a.Y}, {b.X, b.Y}, Whole(s));
      EXPECT_EQ(Trace(s, path), Pattern(c.Lengths, along, static_cast<i64>(path.size()))) << "segment " << i;
      along += static_cast<i64>(path.size());
    }
    EXPECT_EQ(s.Pixels(), poly.Pixels());
  }
}

TEST(Dash, MoveToRestartsThePattern) {
  TSurface s(100, 4);
  s.Canvas().Pen().SetStyle(psDash);
  s.Canvas().MoveTo(0, 1);
  s.Canvas().LineTo(10, 1);
  s.Canvas().MoveTo(10, 1);
  s.Canvas().LineTo(60, 1);
  EXPECT_EQ(Trace(s, ExpectedLine({0, 1}, {60, 1}, Whole(s))), Pattern({18, 6}, 0, 10) + Pattern({18, 6}, 0, 50));
  // A polyline restarts it too, whatever the lines before it left.
  TSurface t(100, 4);
  t.Canvas().Pen().SetStyle(psDot);
  t.Canvas().MoveTo(0, 2);
  t.Canvas().LineTo(4, 2);
  const TPoint points[] = {{10, 2}, {40, 2}};
  t.Canvas().Polyline(points);
  EXPECT_EQ(Trace(t, ExpectedLine({10, 2}, {40, 2}, Whole(t))), Pattern({3, 3}, 0, 30));
}

TEST(Dash, OffRunsLeavePixelsAloneUnderEveryMode) {
  TSurface s(64, 4), before(64, 4);
  s.FillNoise(5);
  before.FillNoise(5);
  s.Canvas().Pen().SetStyle(psDashDot);
  s.Canvas().Pen().SetMode(pmXor);
  s.Canvas().Pen().SetColor(RGB(0xF0, 0x0F, 0x55));
  s.Canvas().MoveTo(0, 2);
  s.Canvas().LineTo(64, 2);
  for (int x = 0; x < 64; ++x) {
    const std::uint32_t want =
        DashOn({9, 6, 3, 6}, x) ? before.At(x, 2) ^ ColorToPixel(RGB(0xF0, 0x0F, 0x55)) : before.At(x, 2);
    EXPECT_EQ(s.At(x, 2), want) << x;
  }
}

TEST(Dash, PhaseAdvancesByStepsEvenWhenNothingIsVisible) {
  // A line wholly outside the clip still moves the pattern on, so what shows next is what an
  // unclipped drawing shows there.
  TSurface clipped(100, 4), full(100, 4);
  for (TSurface *s : {&clipped, &full}) {
    s->Canvas().Pen().SetStyle(psDash);
    s->Canvas().MoveTo(0, 1);
  }
  clipped.Canvas().SetDeviceClip({50, 0, 100, 4});
  for (TSurface *s : {&clipped, &full}) {
    s->Canvas().LineTo(7, 1);
    s->Canvas().LineTo(7, 3);
    s->Canvas().LineTo(11, 3);
    s->Canvas().LineTo(90, 3);
  }
  for (int x = 50; x < 100; ++x)
    EXPECT_EQ(clipped.At(x, 3), full.At(x, 3)) << x;
  clipped.Canvas().SetDeviceClip({0, 0, 0, 0});
  clipped.Canvas().LineTo(95, 3); // empty clip: nothing drawn, phase still moves
  clipped.Canvas().SetDeviceClip({0, 0, 100, 4});
  full.Canvas().LineTo(95, 3);
  clipped.Canvas().LineTo(99, 3);
  full.Canvas().LineTo(99, 3);
  for (int x = 95; x < 99; ++x)
    EXPECT_EQ(clipped.At(x, 3), full.At(x, 3)) << x;
}
