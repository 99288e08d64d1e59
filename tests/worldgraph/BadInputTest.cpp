// Coordinates no drawing expects: every world drawing operation is defined for them, draws
// nothing outside the frame and leaves the graph usable.

#include "GraphFixture.h"

#include <cmath>
#include <limits>

using namespace GraphTest;

namespace {

constexpr double Bad[] = {
    std::numeric_limits<double>::quiet_NaN(), INFINITY, -INFINITY, 1e308, -1e308, 2147483648.0, -2147483649.0};

} // namespace

TEST_F(RecordedGraph, BadCoordinatesDrawNothingOutsideTheFrame) {
  for (const double v : Bad) {
    SCOPED_TRACE(v);
    Device.Clear();
    Graph->WorldMoveTo(v, 5);
    Graph->WorldLineTo(5, v);
    Graph->WorldLineTo(v, v);
    Graph->WorldLineTo(5, 5);
    Graph->WorldArc(v, 0, 10, 10, 5, 5, v, 1);
    Graph->WorldArc(-5, -5, 5, 5, v, 0, 0, v);
    Graph->WorldEllipse(v, 2, 8, 8);
    Graph->WorldEllipse(-5, -5, v, v);
    Graph->WorldQuad4(v, 1, 9, 1, 9, 9, 1, v, clRed, true);
    TWorldPointArray points{};
    points[0] = {1, 1}, points[1] = {v, 2}, points[2] = {9, 9}, points[3] = {v, v};
    Graph->WorldPolygon(4, points, clRed, clBlue, true);
    Graph->SquarePoint(5, v, 5, clRed);
    Graph->CrossPoint(5, 5, v, clRed);
    EXPECT_TRUE(AllInsideFrame());
    // The pen stands where it was last sent, and the graph draws on.
    Device.Clear();
    Graph->WorldMoveTo(1, 1);
    Graph->WorldLineTo(2, 2);
    EXPECT_EQ(Lines(), (std::vector<TDrawnLine>{{{100, 900}, {200, 800}}}));
  }
}

TEST_F(RecordedGraph, ZoomsToBadWindowsCanBeUndone) {
  Graph->SetProportional(true);
  Graph->Paint();
  for (const double v : Bad) {
    SCOPED_TRACE(v);
    const double xMin = Graph->XMin(), xMax = Graph->XMax();
    Graph->IncreaseZoom(v, 1, 2, v);
    Graph->IncreaseZoom(3, 3, 3, 3);
    Graph->DecreaseZoom();
    Graph->DecreaseZoom();
    EXPECT_EQ(Graph->XMin(), xMin);
    EXPECT_EQ(Graph->XMax(), xMax);
    EXPECT_EQ(Graph->ZoomLevel(), 0);
  }
}
