#include <gtest/gtest.h>

#include "RecordingCanvas.h"
#include <wgraph/Wgraph.h>

using namespace Platform;
using namespace Wgraph;

namespace {

// 10 pixels per world unit, y upwards: world (0, 0) at pixel (0, 100).
void MapTenPixelsPerUnit() {
  SetWorldWindow(0, 10, 0, 10, 0, 0, 0, 0);
  SetPCWindow(0, 100, 100, 0);
}

TPoint Pixel(double x, double y) {
  TPoint p;
  WorldToPC(x, y, p.X, p.Y);
  return p;
}

} // namespace

TEST(Primitives, LinesEllipsesAndArcsConvertEachPointAndCallOnce) {
  MapTenPixelsPerUnit();
  TRecordingCanvas r;
  WMoveTo(&r.Canvas, 1, 2);
  EXPECT_EQ(r.Canvas.PenPos(), (TPoint{10, 80}));
  WLineTo(&r.Canvas, 3, 4);
  WEllipse(&r.Canvas, 5, 5, 1, 1);
  WArc(&r.Canvas, 1, 1, 5, 5, 9, 3, 3, 9);
  ASSERT_EQ(r.Calls().size(), 3u);
  EXPECT_EQ(r.Calls()[0].Kind, dcLine);
  EXPECT_EQ(r.Calls()[0].Points, (std::vector<TPoint>{{10, 80}, {30, 60}}));
  EXPECT_EQ(r.Calls()[1].Kind, dcEllipse);
  EXPECT_EQ(r.Calls()[1].Box, (TRect{10, 50, 50, 90}));
  EXPECT_EQ(r.Calls()[2].Kind, dcArc);
  EXPECT_EQ(r.Calls()[2].Box, (TRect{10, 50, 50, 90}));
  EXPECT_EQ(r.Calls()[2].Points, (std::vector<TPoint>{{90, 70}, {30, 10}}));
}

TEST(Primitives, EllipseCornersInEitherOrderGiveTheSameBox) {
  MapTenPixelsPerUnit();
  TRecordingCanvas r;
  WEllipse(&r.Canvas, 1, 2, 6, 8);
  WEllipse(&r.Canvas, 6, 8, 1, 2);
  WEllipse(&r.Canvas, 1, 8, 6, 2);
  ASSERT_EQ(r.Calls().size(), 3u);
  EXPECT_EQ(r.Calls()[0].Box, r.Calls()[1].Box);
  EXPECT_EQ(r.Calls()[0].Box, r.Calls()[2].Box);
}

TEST(Primitives, Quad4WithoutOutlineDrawsInTheFillColourAndRestoresPenAndBrush) {
  MapTenPixelsPerUnit();
  TRecordingCanvas r;
  r.Canvas.Pen().SetColor(clBlack);
  r.Canvas.Brush().SetColor(clWhite);
  wquad4(&r.Canvas, 0, 0, 2, 0, 2, 2, 0, 2, clRed, false);
  ASSERT_EQ(r.Calls().size(), 1u);
  const TRecordedCall &call = r.Calls()[0];
  EXPECT_EQ(call.Kind, dcPolygon);
  EXPECT_EQ(call.Points, (std::vector<TPoint>{{0, 100}, {20, 100}, {20, 80}, {0, 80}}));
  EXPECT_EQ(call.State.Pen.Color, clRed);
  EXPECT_EQ(call.State.Brush.Color, clRed);
  EXPECT_EQ(r.Canvas.Pen().Color(), clBlack);
  EXPECT_EQ(r.Canvas.Brush().Color(), clWhite);
}

TEST(Primitives, Quad4WithOutlineKeepsThePen) {
  MapTenPixelsPerUnit();
  TRecordingCanvas r;
  r.Canvas.Pen().SetColor(clBlue);
  r.Canvas.Pen().SetStyle(psDash);
  wquad4(&r.Canvas, 0, 0, 2, 0, 2, 2, 0, 2, clYellow, true);
  ASSERT_EQ(r.Calls().size(), 1u);
  EXPECT_EQ(r.Calls()[0].State.Pen.Color, clBlue);
  EXPECT_EQ(r.Calls()[0].State.Pen.Style, psDash);
  EXPECT_EQ(r.Calls()[0].State.Brush.Color, clYellow);
}

TEST(Primitives, Quad8WithMidpointNodesIsTheStraightQuad) {
  MapTenPixelsPerUnit();
  TRecordingCanvas r;
  wquad8(&r.Canvas, 0, 0, 4, 0, 4, 4, 0, 4, 2, 0, 4, 2, 2, 4, 0, 2, clGreen, true);
  ASSERT_EQ(r.Calls().size(), 1u);
  const std::vector<TPoint> &p = r.Calls()[0].Points;
  ASSERT_EQ(p.size(), 160u);
  // Every point lies on the square's boundary, the corners at 0, 40, 80 and 120.
  for (const TPoint &q : p)
    EXPECT_TRUE(q.X == 0 || q.X == 40 || q.Y == 100 || q.Y == 60) << q.X << "," << q.Y;
  EXPECT_EQ(p[0], Pixel(0, 0));
  EXPECT_EQ(p[40], Pixel(4, 0));
  EXPECT_EQ(p[80], Pixel(4, 4));
  EXPECT_EQ(p[120], Pixel(0, 4));
  EXPECT_EQ(p[159], Pixel(0, 0.1)); // side 4 stops one step before it would close on corner 1
}

TEST(Primitives, Quad8SidesFollowTheParabolaThroughTheMidNode) {
  // One pixel per world unit scaled by 100 so that fractions show in whole pixels.
  SetWorldWindow(0, 2, 0, 2, 0, 0, 0, 0);
  SetPCWindow(1000, 1200, 1000, 1200);
  TRecordingCanvas r;
  wquad8(&r.Canvas, 0, 0, 2, 0, 2, 2, 0, 2, 1, -1, 2, 1, 1, 2, 0, 1, clGreen, true);
  const std::vector<TPoint> &p = r.Calls().at(0).Points;
  EXPECT_EQ(p[0], Pixel(0, 0));
  EXPECT_EQ(p[10], Pixel(0.5, -0.75)); // xi = -0.5
  EXPECT_EQ(p[20], Pixel(1, -1));      // the mid node
  EXPECT_EQ(p[40], Pixel(2, 0));
  // A mid node off its side's midpoint in X bows the side out in X: side 2 runs from (2, 0) to
  // (2, 2) through (3, 1), and at xi = -1/2 the shape functions give (2.75, 0.5).
  wquad8(&r.Canvas, 0, 0, 2, 0, 2, 2, 0, 2, 1, 0, 3, 1, 1, 2, 0, 1, clGreen, true);
  const std::vector<TPoint> &bowed = r.Calls().back().Points;
  EXPECT_EQ(bowed[50], Pixel(2.75, 0.5));
  EXPECT_EQ(bowed[60], Pixel(3, 1));
  EXPECT_EQ(bowed[70], Pixel(2.75, 1.5));
}

TEST(Primitives, FarWorldPointsArriveAsReplacementPixels) {
  MapTenPixelsPerUnit();
  TRecordingCanvas r;
  WMoveTo(&r.Canvas, 0, 0);
  WLineTo(&r.Canvas, 1e12, -1e12);
  EXPECT_EQ(r.Calls().at(0).Points[1], (TPoint{21844, 21844}));
}
