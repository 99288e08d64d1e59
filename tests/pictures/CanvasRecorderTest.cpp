// A canvas diverted to a recording: a component's whole paint is captured and the canvas gets its
// own device back.

#include <gtest/gtest.h>

#include <platform/controls/Form.h>
#include <platform/graphics/raster/RasterDevice.h>
#include <platform/pictures/Bitmap.h>
#include <platform/pictures/CanvasRecorder.h>
#include <stdexcept>
#include <support/ReferenceDrawings.h>
#include <vector>
#include <worldgraph/VelGraph.h>

using namespace Platform;
using namespace Velgraph;

using ReferenceDrawings::PixelsOf;

TEST(CanvasRecorder, RecordsTheGraphsWholePaint) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 320, 260);
  auto *graph = new TVelWorldGraph(&form);
  graph->SetBounds(0, 0, 320, 260);
  graph->SetBackgroundColor(RGB(0xFF, 0xF0, 0xC0));
  graph->OnPaint = [graph](TObject *) {
    graph->SetPen(clRed, pmCopy, psDash, 1);
    graph->WorldMoveTo(1, 1);
    graph->WorldLineTo(8, 9);
    graph->ResetPen();
    graph->WorldEllipse(2, 2, 6, 5);
    graph->CirclePoint(7, 5, 5, clBlue);
    graph->DrawingCanvas()->TextOut(10, 10, "graph");
  };
  graph->Paint();
  TBitmap &bitmap = *graph->PaintBox()->Bitmap;
  const std::vector<std::uint32_t> painted = PixelsOf(bitmap);

  std::vector<TRecordedCall> calls;
  {
    TCanvasRecorder recorder(*bitmap.Canvas());
    graph->Paint();
    calls = recorder.Recording().Calls();
    EXPECT_EQ(recorder.Bounds(), (TRect{0, 0, bitmap.Width(), bitmap.Height()}));
  }
  // Nothing reached the bitmap while recording; the replay draws the whole picture again.
  EXPECT_EQ(PixelsOf(bitmap), painted);
  bitmap.Canvas()->Brush().SetColor(clBlack);
  bitmap.Canvas()->FillRect({0, 0, bitmap.Width(), bitmap.Height()});
  TRasterDevice target(bitmap.Surface());
  TRecordingDevice::Replay(calls, target);
  EXPECT_EQ(PixelsOf(bitmap), painted);
}

TEST(CanvasRecorder, GivesTheDeviceBackWhenDrawingFails) {
  TBitmap bitmap(4, 4);
  TCanvas &canvas = *bitmap.Canvas();
  TDevice *const device = canvas.Device();
  try {
    TCanvasRecorder recorder(canvas);
    canvas.Rectangle(0, 0, 4, 4);
    EXPECT_EQ(recorder.Recording().Calls().size(), 1u);
    throw std::runtime_error("paint failed");
  } catch (const std::runtime_error &) {
  }
  EXPECT_EQ(canvas.Device(), device);
  EXPECT_EQ(canvas.Pixels(0, 0), clWhite);
  canvas.SetPixels(0, 0, clRed);
  EXPECT_EQ(canvas.Pixels(0, 0), clRed);
}
