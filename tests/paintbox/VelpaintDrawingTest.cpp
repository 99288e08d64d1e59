#include <gtest/gtest.h>

#include <memory>
#include <paintbox/Velpaint.h>
#include <platform/controls/Form.h>
#include <platform/graphics/recording/RecordingDevice.h>
#include <support/RecordingCanvas.h>
#include <wgraph/Wgraph.h>

using namespace Platform;
using namespace Velpaint;

namespace {

// A painted 100 x 100 box whose drawing canvas records every call.
class PaintBoxDrawing : public ::testing::Test {
protected:
  PaintBoxDrawing() {
    Box->Paint();
    Box->DrawCanvas = &Recording.Canvas;
  }
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TVelPaintBox *Box = new TVelPaintBox(Form.get());
  TRecordingCanvas Recording;

  static TWPointArray Triangle() {
    TWPointArray points{};
    points[0] = {1, 1};
    points[1] = {5, 1};
    points[2] = {3, 4};
    for (int i = 3; i < MaxPolygonPoints; ++i)
      points[i] = {9, 9};
    return points;
  }
};

} // namespace

TEST_F(PaintBoxDrawing, ForwardsGoToTheDrawCanvas) {
  Box->WorldMoveTo(1, 1);
  Box->WorldLineTo(2, 2);
  Box->WorldEllipse(1, 1, 3, 3);
  Box->WorldArc(1, 1, 3, 3, 3, 2, 2, 3);
  Box->WorldQuad4(0, 0, 1, 0, 1, 1, 0, 1, clRed, true);
  Box->WorldQuad8(0, 0, 2, 0, 2, 2, 0, 2, 1, 0, 2, 1, 1, 2, 0, 1, clRed, true);
  Box->SquarePoint(5, 5, 5, clBlue);
  Box->CrossPoint(5, 5, 5, clBlue);
  const auto &calls = Recording.Calls();
  ASSERT_EQ(calls.size(), 11u);
  EXPECT_EQ(calls[0].Kind, dcMoveTo);
  EXPECT_EQ(calls[0].Points, (std::vector<TPoint>{{10, 90}}));
  EXPECT_EQ(calls[1].Points, (std::vector<TPoint>{{10, 90}, {20, 80}}));
  EXPECT_EQ(calls[2].Kind, dcEllipse);
  EXPECT_EQ(calls[3].Kind, dcArc);
  EXPECT_EQ(calls[4].Points.size(), 4u);
  EXPECT_EQ(calls[5].Points.size(), 160u);
  EXPECT_EQ(calls[6].Points[0], (TPoint{48, 48}));
  // The cross: two arms, each a move and a line.
  EXPECT_EQ(calls[7].Kind, dcMoveTo);
  EXPECT_EQ(calls[8].Kind, dcLine);
  EXPECT_EQ(calls[10].Kind, dcLine);
}

TEST_F(PaintBoxDrawing, PolygonOfNoPointsDrawsAndChangesNothing) {
  Recording.Canvas.Pen().SetColor(clBlue);
  Recording.Canvas.Brush().SetColor(clYellow);
  Box->WorldPolygon(0, Triangle(), clRed, clGreen, true);
  EXPECT_TRUE(Recording.Calls().empty());
  EXPECT_EQ(Recording.Canvas.Pen().Color(), clBlue);
  EXPECT_EQ(Recording.Canvas.Brush().Color(), clYellow);
}

TEST_F(PaintBoxDrawing, PolygonUsesOnlyCountPointsAndRestoresThePen) {
  Recording.Canvas.Pen().SetColor(clBlack);
  Box->WorldPolygon(3, Triangle(), clRed, clGreen, true);
  ASSERT_EQ(Recording.Calls().size(), 1u);
  const TRecordedCall &call = Recording.Calls()[0];
  EXPECT_EQ(call.Points, (std::vector<TPoint>{{10, 90}, {50, 90}, {30, 60}}));
  EXPECT_EQ(call.State.Pen.Color, clRed);
  EXPECT_EQ(call.State.Brush.Color, clGreen);
  EXPECT_EQ(Recording.Canvas.Pen().Color(), clBlack);
  EXPECT_EQ(Recording.Canvas.Brush().Color(), clWhite);
}

TEST_F(PaintBoxDrawing, PolygonWithoutOutlineClearsThePenForItsFigureOnly) {
  Box->WorldPolygon(3, Triangle(), clRed, clGreen, false);
  const TRecordedCall &call = Recording.Calls().at(0);
  EXPECT_EQ(call.State.Pen.Style, psClear);
  EXPECT_EQ(call.State.Pen.Color, clBlack);
  EXPECT_EQ(Recording.Canvas.Pen().Style(), psSolid);
  EXPECT_EQ(Recording.Canvas.Pen().Color(), clBlack);
}

TEST_F(PaintBoxDrawing, PolygonOnAClearBrushOnlyOutlinesAndTheBrushStaysClear) {
  Recording.Canvas.Brush().SetStyle(bsClear);
  Box->WorldPolygon(3, Triangle(), clRed, clGreen, true);
  EXPECT_EQ(Recording.Calls().at(0).State.Brush.Style, bsClear);
  EXPECT_EQ(Recording.Canvas.Brush().Style(), bsClear);
}

TEST_F(PaintBoxDrawing, CountsBeyondTheArrayAreCut) {
  Box->WorldPolygon(65535, Triangle(), clRed, clGreen, true);
  EXPECT_EQ(Recording.Calls().at(0).Points.size(), static_cast<std::size_t>(MaxPolygonPoints));
}

TEST_F(PaintBoxDrawing, SetPenAndResetPenUseOneSlot) {
  TPen &pen = Recording.Canvas.Pen();
  Box->ResetPen(); // nothing saved yet: all zero
  EXPECT_EQ(pen.Color(), clBlack);
  EXPECT_EQ(pen.Mode(), pmBlack);
  EXPECT_EQ(pen.Style(), psSolid);
  EXPECT_EQ(pen.Width(), 0);
  pen.SetMode(pmCopy);
  pen.SetColor(clGreen);
  pen.SetWidth(2);
  Box->SetPen(clRed, pmXor, psDash, 3);
  EXPECT_EQ(pen.Color(), clRed);
  EXPECT_EQ(pen.Mode(), pmXor);
  EXPECT_EQ(pen.Style(), psDash);
  EXPECT_EQ(pen.Width(), 3);
  Box->ResetPen();
  EXPECT_EQ(pen.Color(), clGreen);
  EXPECT_EQ(pen.Mode(), pmCopy);
  EXPECT_EQ(pen.Style(), psSolid);
  EXPECT_EQ(pen.Width(), 2);
  Box->SetPen(clBlue, pmNot, psDot, 1);
  Box->SetPen(clYellow, pmCopy, psSolid, 4); // overwrites the slot with the blue pen
  Box->ResetPen();
  EXPECT_EQ(pen.Color(), clBlue);
  Box->ResetPen();
  EXPECT_EQ(pen.Color(), clBlue);
}

TEST_F(PaintBoxDrawing, CrossGoesOnTheBoxItselfAcrossItsWholeSize) {
  Box->SetBounds(10, 10, 100, 50);
  TRecordingDevice own;
  Box->Canvas()->SetDevice(&own);
  Box->Canvas()->Pen().SetMode(pmCopy);
  Box->DrawCrossAt(pmNot, 10, 20);
  EXPECT_TRUE(Recording.Calls().empty()); // nothing on the drawing canvas
  ASSERT_EQ(own.Calls().size(), 4u);      // a move and a line per arm
  EXPECT_EQ(own.Calls()[1].Points, (std::vector<TPoint>{{0, 20}, {100, 20}}));
  EXPECT_EQ(own.Calls()[3].Points, (std::vector<TPoint>{{10, 0}, {10, 50}}));
  EXPECT_EQ(own.Calls()[1].State.Pen.Mode, pmNot);
  EXPECT_EQ(Box->Canvas()->Pen().Mode(), pmCopy);
}
