#include <gtest/gtest.h>

#include <platform/graphics/Canvas.h>
#include <platform/graphics/recording/RecordingDevice.h>

using namespace Platform;

TEST(MarkerPaint, TheCanvasStateInTheMarkerColourWithTheCanvasLeftAlone) {
  struct TCase {
    TPenStyle PenStyle;
    TBrushStyle BrushStyle;
    TMarkerFill Fill;
    // What reaches the device: nothing, or the brush style of the figure.
    bool Drawn;
    TBrushStyle DrawnBrush;
  };
  const TCase cases[] = {
      {psSolid, bsSolid, TMarkerFill::Filled, true, bsSolid},
      {psSolid, bsClear, TMarkerFill::Filled, true, bsSolid}, // a clear brush fills solid
      {psDash, bsCross, TMarkerFill::Filled, true, bsCross},  // a hatch stays
      {psSolid, bsSolid, TMarkerFill::Outlined, true, bsClear},
      {psClear, bsSolid, TMarkerFill::Filled, true, bsSolid},
      {psClear, bsSolid, TMarkerFill::Outlined, false, bsClear},
  };
  for (const TCase &c : cases) {
    TRecordingDevice recording;
    TCanvas canvas(&recording);
    canvas.Pen().SetStyle(c.PenStyle);
    canvas.Pen().SetWidth(4);
    canvas.Pen().SetMode(pmXor);
    canvas.Brush().SetColor(clYellow);
    canvas.Brush().SetStyle(c.BrushStyle);
    canvas.SetOrigin({5, 6});
    const TPoint triangle[] = {{0, 0}, {4, 0}, {2, 3}};
    const TMarkerPaint paint = canvas.MarkerPaint(clRed, c.Fill);
    // Later changes to the canvas do not reach figures of a paint already taken.
    canvas.Pen().SetColor(clBlue);
    canvas.MarkerPolygon(paint, triangle);
    canvas.MarkerEllipse(paint, {9, 9, 1, 1});
    EXPECT_EQ(canvas.Pen().Width(), 4);
    EXPECT_EQ(canvas.Brush().Color(), clYellow);
    EXPECT_EQ(canvas.Brush().Style(), c.BrushStyle);
    ASSERT_EQ(recording.Calls().size(), c.Drawn ? 2u : 0u);
    for (const TRecordedCall &call : recording.Calls()) {
      EXPECT_EQ(call.State.Pen.Color, clRed);
      EXPECT_EQ(call.State.Pen.Width, 1);
      EXPECT_EQ(call.State.Pen.Mode, pmXor);
      EXPECT_EQ(call.State.Pen.Style, c.PenStyle);
      EXPECT_EQ(call.State.Brush.Style, c.DrawnBrush);
      if (c.DrawnBrush != bsClear) {
        EXPECT_EQ(call.State.Brush.Color, clRed);
      }
      EXPECT_EQ(call.State.Origin, (TPoint{5, 6}));
    }
    if (c.Drawn) {
      EXPECT_EQ(recording.Calls()[1].Box, (TRect{1, 1, 9, 9}));
    }
  }
  // Without a device nothing is drawn and nothing fails.
  TCanvas none;
  const TPoint one[] = {{1, 1}};
  none.MarkerPolygon(none.MarkerPaint(clRed, TMarkerFill::Filled), one);
}
