#include "GraphFixture.h"

#include <cmath>
#include <initializer_list>

using namespace GraphTest;

namespace {

class PolygonClip : public RecordedGraph {
protected:
  std::vector<TWorldPoint> Clip(std::initializer_list<TWorldPoint> points) {
    TWorldPointArray in{};
    int n = 0;
    for (const TWorldPoint &p : points)
      in[n++] = p;
    return Clip(in, n);
  }
  std::vector<TWorldPoint> Clip(const TWorldPointArray &in, int count) {
    TWorldPointArray out{};
    int outCount = -1;
    Graph->ClipPolygon(in, count, out, outCount);
    return {out.begin(), out.begin() + outCount};
  }
};

void ExpectPoints(const std::vector<TWorldPoint> &got, const std::vector<TWorldPoint> &want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_NEAR(got[i].X, want[i].X, 1e-9) << "point " << i;
    EXPECT_NEAR(got[i].Y, want[i].Y, 1e-9) << "point " << i;
  }
}

bool InsideFrame(const std::vector<TWorldPoint> &points) {
  for (const TWorldPoint &p : points)
    if (!(p.X >= 0 && p.X <= 10 && p.Y >= 0 && p.Y <= 10))
      return false;
  return true;
}

} // namespace

TEST_F(PolygonClip, EdgeCasesComeOutInTheClippersOrder) {
  ExpectPoints(Clip({{2, 2}, {8, 2}, {8, 8}, {2, 8}}), {{2, 2}, {8, 2}, {8, 8}, {2, 8}});
  ExpectPoints(Clip({{-5, -5}, {5, -5}, {5, 5}, {-5, 5}}), {{0, 0}, {5, 0}, {5, 5}, {0, 5}});
  ExpectPoints(Clip({{20, 20}, {30, 20}, {30, 30}, {20, 30}}), {});
  ExpectPoints(Clip({{0, 5}, {5, 2}, {5, 8}}), {{0, 5}, {5, 2}, {5, 8}});
  ExpectPoints(Clip({{-5, -5}, {15, -5}, {15, 15}, {-5, 15}}), {{0, 10}, {0, 0}, {10, 0}, {10, 10}});
  const std::vector<TWorldPoint> bar = Clip({{3, -4}, {3, 4}, {5, 4}, {5, -4}});
  ExpectPoints(bar, {{3, 0}, {3, 4}, {5, 4}, {5, 0}});
  // The vertical sides are tilted by the raise of 1e-10 before they meet the bottom edge.
  EXPECT_NEAR(bar[0].X - 3, 5e-11, 1e-15);
  EXPECT_NEAR(bar[3].X - 5, 5e-11, 1e-15);
}

TEST_F(PolygonClip, SmallAndOversizedCounts) {
  TWorldPointArray in{};
  for (int i = 0; i < MaxPolygonPoints; ++i)
    in[i] = {5 + 4 * std::cos(i * 0.00628), 5 + 4 * std::sin(i * 0.00628)};
  EXPECT_TRUE(Clip(in, 0).empty());
  EXPECT_TRUE(Clip(in, -3).empty());
  EXPECT_EQ(Clip(in, 1).size(), 1u);
  EXPECT_EQ(Clip(in, 2).size(), 2u);
  EXPECT_EQ(Clip(in, 1000).size(), 1000u);
  // Counts beyond the array are cut to it.
  EXPECT_EQ(Clip(in, 70000).size(), 1000u);
}

TEST_F(PolygonClip, ResultsBeyondTheArrayAreThinnedInsideTheFrame) {
  // A circle of 1000 points a hair larger than the frame's inner circle pokes one point out
  // beyond each edge: each pass turns it into two crossings, four beyond the array in all.
  TWorldPointArray circle{};
  for (int i = 0; i < MaxPolygonPoints; ++i) {
    const double t = 2 * M_PI * i / MaxPolygonPoints;
    circle[i] = {5 + 5.00005 * std::cos(t), 5 + 5.00005 * std::sin(t)};
  }
  const std::vector<TWorldPoint> clipped = Clip(circle, MaxPolygonPoints);
  EXPECT_EQ(clipped.size(), 1000u);
  EXPECT_TRUE(InsideFrame(clipped));
  // Thinning takes the points that matter least: the figure still reaches every edge.
  int onEdges = 0;
  for (const TWorldPoint &p : clipped)
    onEdges += p.X == 0 || p.X == 10 || p.Y == 0 || p.Y == 10;
  EXPECT_GE(onEdges, 4);

  // A comb whose 500 teeth cross the bottom edge: 1500 points after the first pass.
  TWorldPointArray comb{};
  for (int i = 0; i < 500; ++i) {
    comb[2 * i] = {i * 0.02, -1};
    comb[2 * i + 1] = {i * 0.02 + 0.01, 1};
  }
  const std::vector<TWorldPoint> teeth = Clip(comb, MaxPolygonPoints);
  EXPECT_EQ(teeth.size(), 1000u);
  EXPECT_TRUE(InsideFrame(teeth));
}

TEST_F(PolygonClip, WorldPolygonDrawsTheClippedFigure) {
  TWorldPointArray square{};
  square[0] = {-5, -5}, square[1] = {5, -5}, square[2] = {5, 5}, square[3] = {-5, 5};
  Graph->WorldPolygon(4, square, clRed, clBlue, true);
  ASSERT_EQ(Device.Calls().size(), 1u);
  const TRecordedCall &call = Device.Calls()[0];
  EXPECT_EQ(call.Kind, dcPolygon);
  EXPECT_EQ(call.Points, (std::vector<TPoint>{{0, 1000}, {500, 1000}, {500, 500}, {0, 500}}));
  EXPECT_EQ(call.State.Pen.Color, clRed);
  EXPECT_EQ(call.State.Brush.Color, clBlue);
  Device.Clear();
  Graph->WorldPolygon(0, square, clRed, clBlue, true);
  square[0] = {20, 20}, square[1] = {30, 20}, square[2] = {30, 30};
  Graph->WorldPolygon(3, square, clRed, clBlue, true);
  EXPECT_TRUE(Device.Calls().empty());
}
