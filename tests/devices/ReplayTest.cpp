// One table of drawings, each drawn under every pen mode, pen style and brush style through each
// way a canvas reaches pixels: straight onto a raster device, and recorded then replayed onto one.
// Every way must leave exactly the pixels of the direct drawing.

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <platform/graphics/raster/RasterDevice.h>
#include <platform/graphics/recording/RecordingDevice.h>
#include <platform/pictures/Bitmap.h>
#include <string>
#include <support/ReferenceDrawings.h>
#include <vector>

using namespace Platform;

namespace {

using namespace ReferenceDrawings;

int PixelsWhereNot(const TBitmap &bitmap, TColor color) {
  int n = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      n += bitmap.Surface().Row(y)[x] != ColorToPixel(color) ? 1 : 0;
  return n;
}

} // namespace

TEST(Replay, EveryDrawingReplaysToTheSamePixels) {
  ExpectEveryDrawingAsDrawnDirectly([](const TDrawing &drawing, const TPaint &paint, TBitmap &bitmap) {
    TRecordingDevice recording;
    Record(drawing, paint, recording);
    TRasterDevice target(bitmap.Surface());
    recording.Replay(target);
  });
}

TEST(Replay, RecordingKeepsMovesPhasesAndImagePixels) {
  TRecordingDevice recording;
  TCanvas c(&recording);
  c.Pen().SetStyle(psDash);
  c.MoveTo(0, 0);
  c.LineTo(10, 3);  // 10 steps
  c.LineTo(10, 30); // starts 10 into the pattern
  c.MoveTo(5, 5);
  c.LineTo(6, 6); // a move starts the pattern again
  TBitmap picture(2, 1);
  picture.ScanLine(0)[0] = 0x123456;
  picture.ScanLine(0)[1] = 0xABCDEF;
  c.Draw(1, 1, picture);
  const auto &calls = recording.Calls();
  ASSERT_EQ(calls.size(), 6u);
  EXPECT_EQ(calls[0].Kind, dcMoveTo);
  EXPECT_EQ(calls[1].DashPhase, 0);
  EXPECT_EQ(calls[2].DashPhase, 10);
  EXPECT_EQ(calls[3].Kind, dcMoveTo);
  EXPECT_EQ(calls[3].Points, (std::vector<TPoint>{{5, 5}}));
  EXPECT_EQ(calls[4].DashPhase, 0);
  EXPECT_EQ(calls[5].ImagePixels, (std::vector<std::uint32_t>{0x123456, 0xABCDEF}));
  // Phases wrap at the longest cycle and count the longer extent of each line.
  EXPECT_EQ(DashPhaseAfter(20, {0, 0}, {-3, 7}), 3);
  EXPECT_EQ(DashPhaseAfter(-1, {0, 0}, {0, 0}), 23);
  EXPECT_EQ(DashPhaseAfter(0, {INT_MIN, 0}, {INT_MAX, 0}), 15); // (2^32 - 1) mod 24
}

TEST(Replay, CallsMadeByHandWithoutTheirDataAreSkipped) {
  TRecordingDevice recording;
  TCanvas c(&recording);
  c.MoveTo(1, 1);
  c.LineTo(4, 4);
  std::vector<TRecordedCall> calls = recording.Calls();
  calls[0].Points.clear();
  calls[1].Points.resize(1);
  TRecordedCall image;
  image.Kind = dcDrawImage;
  image.ImageWidth = 100;
  image.ImageHeight = 100;
  image.Box = {0, 0, 8, 8};
  calls.push_back(image);
  TBitmap bitmap(8, 8);
  TRasterDevice target(bitmap.Surface());
  TRecordingDevice::Replay(calls, target);
  EXPECT_EQ(PixelsWhereNot(bitmap, clWhite), 0);
  recording.Replay(target);
  EXPECT_EQ(PixelsWhereNot(bitmap, clWhite), 3);
}
