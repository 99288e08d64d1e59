// Shapes formed point by point and drawn, clipped, at every paint: read off the paint box's
// off-screen picture.

#include <gtest/gtest.h>

#include <memory>
#include <platform/controls/Form.h>
#include <worldgraph/Shape.h>
#include <worldgraph/VelGraph.h>

using namespace Platform;
using namespace Velgraph;

namespace {

class Shapes : public ::testing::Test {
protected:
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TVelWorldGraph *Graph = new TVelWorldGraph(Form.get());

  void SetUp() override {
    Graph->SetProportional(false);
    Graph->SetXMin(0);
    Graph->SetXMax(10);
    Graph->SetYMin(0);
    Graph->SetYMax(10);
  }
  TColor At(double x, double y) const {
    const TPoint p = Graph->PCxy(x, y);
    return PixelToColor(Graph->PaintBox()->Bitmap->Surface().Row(p.Y)[p.X]);
  }
  TShape &Make(TShapeKind kind, std::initializer_list<TWorldPoint> points, bool close = false) {
    const int n = Graph->AddShape(kind);
    bool first = true;
    for (const TWorldPoint &p : points) {
      if (first)
        Graph->BeginShape(p.X, p.Y);
      else
        Graph->ContinueShape(p.X, p.Y, close);
      first = false;
    }
    TShape &shape = *Graph->Shape(n);
    shape.FPen.SetColor(clRed);
    shape.FBrush.SetColor(clBlue);
    return shape;
  }
};

} // namespace

TEST_F(Shapes, FormingActsOnTheShapeAddedLast) {
  EXPECT_FALSE(Graph->ContinueShape(1, 1, false)); // no shape yet: nothing happens
  Graph->BeginShape(1, 1);
  EXPECT_EQ(Graph->AddShape(skLine), 1);
  EXPECT_EQ(Graph->AddShape(skEllipse), 2);
  Graph->BeginShape(0, 0);
  EXPECT_FALSE(Graph->ContinueShape(4, 2, false));
  EXPECT_FALSE(Graph->ContinueShape(6, 3, false));
  EXPECT_EQ(Graph->Shape(2)->Points(), (std::vector<TWorldPoint>{{0, 0}, {6, 3}}));
  EXPECT_TRUE(Graph->Shape(1)->Points().empty());
  Graph->AddShape(skCircle);
  EXPECT_TRUE(Graph->ContinueShape(2, 2, false)); // appends to the empty list
  EXPECT_EQ(Graph->Shape(3)->Points().size(), 1u);
  EXPECT_EQ(Graph->ShapeCount(), 3);
}

TEST_F(Shapes, LinesDrawWithExactlyTwoPoints) {
  TShape &line = Make(skLine, {{1, 5}, {9, 5}});
  Graph->Paint();
  EXPECT_EQ(At(5, 5), clRed);
  Graph->ContinueShape(9, 9, false);
  Graph->Paint();
  EXPECT_EQ(At(5, 5), clWhite);
  EXPECT_EQ(line.Points().size(), 3u);
}

TEST_F(Shapes, PolygonsClosedFilledOrOpen) {
  Make(skPolygon, {{1, 1}, {9, 1}, {5, 9}}, true);
  Graph->Paint();
  EXPECT_EQ(At(5, 4), clBlue);
  EXPECT_EQ(At(5, 1), clRed);
  EXPECT_EQ(At(3, 5), clRed);
  Graph->ContinueShape(5, 9, false); // the last call decides: now an open polyline
  Graph->Paint();
  EXPECT_EQ(At(5, 4), clWhite);
  EXPECT_EQ(At(5, 1), clRed);
}

TEST_F(Shapes, CirclesUseTheirFirstTwoPointsAndPolylinesAreCut) {
  Graph->DrawingCanvas()->Pen().SetColor(clGreen);
  Make(skCircle, {{0, 0}, {4, 4}, {8, 8}});
  Make(skPolyline, {{5, 8}, {15, 8}, {15, 9}});
  Graph->Paint();
  EXPECT_EQ(At(2, 4), clGreen); // top of the circle in the box 0..4
  EXPECT_NE(At(6, 6), clGreen);
  EXPECT_EQ(At(9.9, 8), clRed);
  EXPECT_EQ(Graph->FLineX1, 15);
}
