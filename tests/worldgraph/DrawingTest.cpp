#include "GraphFixture.h"

#include <cmath>
#include <numbers>

using namespace GraphTest;

namespace {

using Drawing = RecordedGraph;

constexpr double Pi = std::numbers::pi;

int Count(const std::vector<TDeviceCall> &kinds, TDeviceCall kind) {
  return static_cast<int>(std::count(kinds.begin(), kinds.end(), kind));
}

} // namespace

TEST_F(Drawing, ThePenWalksOnWhetherOrNotASectionShows) {
  Graph->WorldMoveTo(5, 5);
  Graph->WorldLineTo(15, 5);
  Graph->WorldLineTo(15, 8);
  Graph->WorldLineTo(5, 8);
  const std::vector<TDrawnLine> lines = Lines();
  // The section that comes back in is drawn from its inner end outwards.
  EXPECT_EQ(lines, (std::vector<TDrawnLine>{{{500, 500}, {1000, 500}}, {{500, 200}, {1000, 200}}}));
  EXPECT_EQ(Recorder.PenPos(), Pixel(5, 8));
}

TEST_F(Drawing, PolarAngleAndEllipsePoints) {
  EXPECT_NEAR(PolarAngle(1, 1), Pi / 4, 1e-15);
  EXPECT_NEAR(PolarAngle(-1, 1), 3 * Pi / 4, 1e-15);
  EXPECT_NEAR(PolarAngle(-1, -1), 5 * Pi / 4, 1e-15);
  EXPECT_NEAR(PolarAngle(1, -1), 7 * Pi / 4, 1e-15);
  EXPECT_LT(PolarAngle(0, 1), Pi / 2);
  EXPECT_NEAR(PolarAngle(0, 1), Pi / 2, 1e-9);
  EXPECT_LT(PolarAngle(-1, 0), Pi);
  EXPECT_NEAR(PolarAngle(-1, 0), Pi, 1e-9);
  EXPECT_NEAR(PolarAngle(0, 0), Pi / 4, 1e-15);
  EXPECT_EQ(PolarAngle(NAN, 1), 0);
  const TWorldPoint p = EllipsePointAtAngle(4, 2, Pi / 4);
  EXPECT_NEAR(p.X, p.Y, 1e-12); // on the diagonal ray
  EXPECT_NEAR(p.X * p.X / 16 + p.Y * p.Y / 4, 1, 1e-12);
}

TEST_F(Drawing, EllipsesWholePartOrNone) {
  Graph->WorldEllipse(2, 2, 8, 8);
  EXPECT_EQ(Kinds(), (std::vector<TDeviceCall>{dcEllipse}));
  Device.Clear();
  Graph->WorldEllipse(20, 20, 30, 30);
  EXPECT_TRUE(Kinds().empty());
  // Centred on a corner: the visible quarter, as a clipped polygon of the 1000-point ring.
  // The ring takes its colours from the graph's drawing canvas.
  Graph->DrawingCanvas()->Pen().SetColor(clGreen);
  Graph->DrawingCanvas()->Brush().SetColor(clYellow);
  Graph->WorldEllipse(-5, -5, 5, 5);
  ASSERT_EQ(Kinds(), (std::vector<TDeviceCall>{dcPolygon}));
  const TRecordedCall &quarter = Device.Calls()[0];
  EXPECT_EQ(quarter.State.Pen.Color, clGreen);
  EXPECT_EQ(quarter.State.Brush.Color, clYellow);
  EXPECT_TRUE(AllInsideFrame());
  EXPECT_GT(quarter.Points.size(), 200u);
  // Corners given the other way round do not let the figure past the frame.
  Device.Clear();
  Graph->WorldEllipse(12, 5, 5, 8);
  EXPECT_EQ(Kinds(), (std::vector<TDeviceCall>{dcPolygon}));
  EXPECT_TRUE(AllInsideFrame());
  // A box of no width or height has no curve: nothing, rather than points divided by zero.
  Device.Clear();
  Graph->WorldEllipse(5, -5, 5, 5);
  Graph->WorldEllipse(-5, 5, 5, 5);
  Graph->WorldEllipse(-5, NAN, 5, 5);
  Graph->WorldArc(5, -5, 5, 5, 0, 0, 1, 1);
  Graph->WorldArc(-INFINITY, -5, INFINITY, 5, 0, 0, 1, 1);
  EXPECT_TRUE(Kinds().empty());
}

TEST_F(Drawing, PartlyVisibleArcsAreClippedPolylines) {
  Graph->WorldArc(2, 2, 8, 8, 10, 5, 5, 10);
  EXPECT_EQ(Kinds(), (std::vector<TDeviceCall>{dcArc}));
  Device.Clear();
  // The quarter from 0 to pi/2 around the corner lies in the frame: 1000 segments.
  Graph->WorldArc(-5, -5, 5, 5, 5, 0, 0, 5);
  EXPECT_EQ(Count(Kinds(), dcLine), 1000);
  EXPECT_TRUE(AllInsideFrame());
  EXPECT_NEAR(Graph->FLineX1, 0, 1e-9);
  EXPECT_NEAR(Graph->FLineY1, 5, 1e-9);
  // The other three quarters: all outside but for the ends.
  Device.Clear();
  Graph->WorldArc(-5, -5, 5, 5, 0, 5, 5, 0);
  int visible = 0;
  for (const TDrawnLine &l : Lines())
    visible += !(l.From == l.To);
  EXPECT_LE(visible, 2);
  EXPECT_TRUE(AllInsideFrame());
  EXPECT_NEAR(Graph->FLineX1, 5, 1e-9);
  // Equal rays make a step of 0: nothing with extent.
  Device.Clear();
  Graph->WorldArc(-5, -5, 5, 5, 5, 1, 5, 1);
  for (const TDrawnLine &l : Lines())
    EXPECT_EQ(l.From, l.To);
}

TEST_F(Drawing, QuadrilateralsClippedOrCulled) {
  Graph->WorldQuad4(20, 20, 30, 20, 30, 30, 20, 30, clRed, true);
  EXPECT_TRUE(Kinds().empty());
  Graph->WorldQuad4(8, 8, 12, 8, 12, 12, 8, 12, clRed, true);
  ASSERT_EQ(Kinds(), (std::vector<TDeviceCall>{dcPolygon}));
  EXPECT_EQ(Device.Calls()[0].Points, (std::vector<TPoint>{{800, 0}, {800, 200}, {1000, 200}, {1000, 0}}));
  EXPECT_EQ(Device.Calls()[0].State.Brush.Color, clRed);
  EXPECT_EQ(Device.Calls()[0].State.Pen.Color, clBlack);
  Device.Clear();
  // Corners 1 and 3 span a box beside the frame; 2 and 4 span one touching it: drawn whole.
  Graph->WorldQuad8(11, 0, 10, 12, 13, 5, 14, -2, 10.5, 6, 11.5, 8, 13.5, 1.5, 12.5, -1, clRed, false);
  EXPECT_EQ(Count(Kinds(), dcPolygon), 1);
  EXPECT_FALSE(AllInsideFrame());
  Device.Clear();
  Graph->WorldQuad8(11, 0, 12, 1, 13, 5, 14, 4, 11.5, 0.5, 12.5, 3, 13.5, 4.5, 12.5, 2, clRed, false);
  EXPECT_TRUE(Kinds().empty());
}

TEST_F(Drawing, MarkersByTheirCentreAndScaledWhilePrinting) {
  Graph->SquarePoint(5, 10, 10, clRed);
  Graph->SquarePoint(5, 10.000001, 10, clRed);
  Graph->CrossPoint(5, NAN, 5, clRed);
  ASSERT_EQ(Device.Calls().size(), 1u);
  auto width = [this] { return Device.Calls().back().Points[1].X - Device.Calls().back().Points[0].X; };
  EXPECT_EQ(width(), 5);
  Device.Clear();
  Graph->FPrinting = true;
  Graph->FPrintMagnification = 1.5;
  Graph->FPrintScale = 4;
  Graph->SquarePoint(5, 5, 5, clRed);
  ASSERT_EQ(Device.Calls().size(), 1u);
  EXPECT_EQ(width(), 30);
  // A scale that makes no sense gives a marker of no size, not an overflow.
  Graph->FPrintScale = 1e300;
  Graph->EmptyCirclePoint(5, 5, 5, clRed);
}
