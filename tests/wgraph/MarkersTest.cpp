#include <gtest/gtest.h>

#include "RecordingCanvas.h"
#include <alloc/Alloc.h>
#include <wgraph/Wgraph.h>

using namespace Platform;
using namespace Wgraph;

namespace {

// One pixel per world unit, y downwards, so world (x, y) is pixel (x, y).
void MapIdentity() {
  SetWorldWindow(0, 1000, 0, 1000, 0, 0, 0, 0);
  SetPCWindow(0, 1000, 0, 1000);
}

using TMarker = void (*)(TCanvas *, int, double, double, TColor);

struct TCanvasLook {
  TColor PenColor;
  int PenWidth;
  TColor BrushColor;
  TBrushStyle BrushStyle;
  TPenMode PenMode;
  friend bool operator==(const TCanvasLook &, const TCanvasLook &) = default;
};

TCanvasLook LookOf(TCanvas &c) {
  return {c.Pen().Color(), c.Pen().Width(), c.Brush().Color(), c.Brush().Style(), c.Pen().Mode()};
}

} // namespace

TEST(Markers, EveryMarkerRestoresPenAndBrush) {
  MapIdentity();
  const TMarker markers[] = {DrawSquarePoint,        DrawTrianglePoint,    DrawCirclePoint, DrawEmptySquarePoint,
                             DrawEmptyTrianglePoint, DrawEmptyCirclePoint, DrawCrossPoint};
  for (TBrushStyle style : {bsSolid, bsClear, bsCross}) {
    for (std::size_t kind = 0; kind < std::size(markers); ++kind) {
      const TMarker marker = markers[kind];
      TRecordingCanvas r;
      r.Canvas.Pen().SetColor(clBlue);
      r.Canvas.Pen().SetWidth(3);
      r.Canvas.Brush().SetColor(clYellow);
      r.Canvas.Brush().SetStyle(style);
      const TCanvasLook before = LookOf(r.Canvas);
      marker(&r.Canvas, 7, 50, 50, clRed);
      EXPECT_EQ(LookOf(r.Canvas), before);
      ASSERT_FALSE(r.Calls().empty());
      EXPECT_EQ(r.Calls()[0].State.Pen.Color, clRed);
      EXPECT_EQ(r.Calls()[0].State.Pen.Width, 1);
      // Filled kinds fill in the marker colour, on a clear brush too; empty ones never fill.
      const TBrushStyle drawnWith = r.Calls()[0].State.Brush.Style;
      if (kind < 3) {
        EXPECT_EQ(drawnWith, style == bsClear ? bsSolid : style) << kind;
        EXPECT_EQ(r.Calls()[0].State.Brush.Color, clRed) << kind;
      } else if (kind < 6) {
        EXPECT_EQ(drawnWith, bsClear) << kind;
      }
    }
  }
}

TEST(Markers, SquareCorners) {
  MapIdentity();
  TRecordingCanvas r;
  DrawSquarePoint(&r.Canvas, 4, 10, 10, clRed);
  DrawSquarePoint(&r.Canvas, 5, 10, 10, clRed);
  DrawEmptySquarePoint(&r.Canvas, 5, 10, 10, clRed);
  ASSERT_EQ(r.Calls().size(), 3u);
  EXPECT_EQ(r.Calls()[0].Points, (std::vector<TPoint>{{8, 8}, {12, 8}, {12, 12}, {8, 12}}));
  EXPECT_EQ(r.Calls()[1].Points, (std::vector<TPoint>{{8, 8}, {13, 8}, {13, 13}, {8, 13}}));
  EXPECT_EQ(r.Calls()[1].State.Brush.Color, clRed);
  EXPECT_EQ(r.Calls()[1].State.Brush.Style, bsSolid);
  EXPECT_EQ(r.Calls()[2].Points, r.Calls()[1].Points);
  EXPECT_EQ(r.Calls()[2].State.Brush.Style, bsClear);
}

TEST(Markers, TriangleRoundsHalfToEven) {
  MapIdentity();
  TRecordingCanvas r;
  DrawTrianglePoint(&r.Canvas, 10, 50, 50, clRed);
  DrawEmptyTrianglePoint(&r.Canvas, 6, 50, 50, clRed); // h = 3: offsets Round(2.598) = 3, Round(1.5) = 2
  EXPECT_EQ(r.Calls().at(0).Points, (std::vector<TPoint>{{50, 45}, {46, 52}, {54, 52}}));
  EXPECT_EQ(r.Calls().at(1).Points, (std::vector<TPoint>{{50, 47}, {47, 52}, {53, 52}}));
}

TEST(Markers, CirclesAndTheirSinglePixelCase) {
  MapIdentity();
  TRecordingCanvas r;
  DrawCirclePoint(&r.Canvas, 1, 20, 30, clRed);
  DrawCirclePoint(&r.Canvas, 0, 20, 30, clRed);
  DrawCirclePoint(&r.Canvas, 2, 20, 30, clRed);
  DrawEmptyCirclePoint(&r.Canvas, 5, 20, 20, clRed);
  DrawEmptyCirclePoint(&r.Canvas, 4, 20, 20, clRed);
  DrawEmptyCirclePoint(&r.Canvas, 1, 20, 20, clRed);
  ASSERT_EQ(r.Calls().size(), 6u);
  EXPECT_EQ(r.Calls()[0].Kind, dcSetPixel);
  EXPECT_EQ(r.Calls()[0].Points[0], (TPoint{20, 30}));
  EXPECT_EQ(r.Calls()[0].Color, clRed);
  EXPECT_EQ(r.Calls()[1].Kind, dcSetPixel);
  EXPECT_EQ(r.Calls()[2].Kind, dcEllipse);
  EXPECT_EQ(r.Calls()[2].Box, (TRect{19, 29, 21, 31}));
  EXPECT_EQ(r.Calls()[3].Box, (TRect{18, 18, 23, 23}));
  EXPECT_EQ(r.Calls()[4].Box, (TRect{18, 18, 22, 22}));
  EXPECT_EQ(r.Calls()[5].Box, (TRect{20, 20, 21, 21}));
}

TEST(Markers, CrossArmsSpanTheSize) {
  MapIdentity();
  TRecordingCanvas r;
  DrawCrossPoint(&r.Canvas, 5, 20, 20, clRed);
  ASSERT_EQ(r.Calls().size(), 2u);
  EXPECT_EQ(r.Calls()[0].Points, (std::vector<TPoint>{{18, 20}, {23, 20}}));
  EXPECT_EQ(r.Calls()[1].Points, (std::vector<TPoint>{{20, 18}, {20, 23}}));
}

namespace {

std::vector<Alloc::TWPoint> Series(int n) {
  std::vector<Alloc::TWPoint> points;
  for (int i = 0; i < n; ++i)
    points.push_back({10.0 * (i + 1), 5.0 * (i + 1)});
  return points;
}

TLineFormat Format(int n, pointType kind) {
  TLineFormat f;
  f.NumPoints = static_cast<std::uint16_t>(n);
  f.PointKind = kind;
  f.PointColor = clRed;
  f.PointSize = 5;
  f.LineColor = clBlue;
  f.LineWidth = 3;
  return f;
}

} // namespace

TEST(ScatterPlot, LineThenMarkers) {
  MapIdentity();
  TRecordingCanvas r;
  const auto points = Series(3);
  ScatterPlotData(&r.Canvas, points.data(), Format(3, pointType::crosspoint));
  ASSERT_EQ(r.Calls().size(), 2u + 3u * 2u);
  EXPECT_EQ(r.Calls()[0].Points, (std::vector<TPoint>{{10, 5}, {20, 10}}));
  EXPECT_EQ(r.Calls()[1].Points, (std::vector<TPoint>{{20, 10}, {30, 15}}));
  EXPECT_EQ(r.Calls()[0].State.Pen.Color, clBlue);
  EXPECT_EQ(r.Calls()[0].State.Pen.Width, 3);
  EXPECT_EQ(r.Calls()[2].State.Pen.Color, clRed);
  EXPECT_EQ(r.Calls()[2].Points[0], (TPoint{8, 5}));
  EXPECT_EQ(r.Canvas.Pen().Color(), clBlue);
  EXPECT_EQ(r.Canvas.Pen().Width(), 1);
  EXPECT_EQ(r.Canvas.PenPos(), (TPoint{30, 18})); // after the last cross's vertical arm
}

TEST(ScatterPlot, OnePointDrawsOnlyItsMarker) {
  MapIdentity();
  TRecordingCanvas r;
  const auto points = Series(1);
  ScatterPlotData(&r.Canvas, points.data(), Format(1, pointType::square));
  ASSERT_EQ(r.Calls().size(), 1u);
  EXPECT_EQ(r.Calls()[0].Kind, dcPolygon);
}

TEST(ScatterPlot, NothingMarkersDrawOnlyTheLine) {
  MapIdentity();
  TRecordingCanvas r;
  const auto points = Series(4);
  ScatterPlotData(&r.Canvas, points.data(), Format(4, pointType::nothing));
  EXPECT_EQ(r.Calls().size(), 3u);
  TLineFormat unknown = Format(4, static_cast<pointType>(42));
  r.Device.Clear();
  ScatterPlotData(&r.Canvas, points.data(), unknown);
  EXPECT_EQ(r.Calls().size(), 3u);
  EXPECT_EQ(r.Canvas.PenPos(), (TPoint{10, 5})); // back on the first point
}

TEST(ScatterPlot, EmptySeriesReadsNoElement) {
  MapIdentity();
  TRecordingCanvas r;
  r.Canvas.MoveTo(7, 7);
  ScatterPlotData(&r.Canvas, nullptr, Format(0, pointType::square));
  EXPECT_TRUE(r.Calls().empty());
  EXPECT_EQ(r.Canvas.Pen().Color(), clBlue);
  EXPECT_EQ(r.Canvas.Pen().Width(), 1);
}
