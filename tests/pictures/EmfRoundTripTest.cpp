// Drawings recorded, written as enhanced metafiles, loaded and played back onto a raster canvas of
// the picture's size: the same pixels as drawing straight onto it.

#include <gtest/gtest.h>

#include <filesystem>
#include <platform/controls/Form.h>
#include <platform/pictures/CanvasRecorder.h>
#include <platform/pictures/EmfWriter.h>
#include <platform/pictures/Metafile.h>
#include <support/ReferenceDrawings.h>
#include <support/TestFiles.h>
#include <worldgraph/VelGraph.h>

using namespace Platform;
using namespace ReferenceDrawings;

namespace {

void Play(const std::vector<std::uint8_t> &file, TBitmap &bitmap) {
  TMetafile picture;
  picture.LoadFromMemory(file.data(), file.size());
  bitmap.Canvas()->StretchDraw({0, 0, bitmap.Width(), bitmap.Height()}, picture);
}

} // namespace

TEST(EmfRoundTrip, EveryDrawingPlaysBackToTheSamePixels) {
  ExpectEveryDrawingAsDrawnDirectly([](const TDrawing &drawing, const TPaint &paint, TBitmap &bitmap) {
    TRecordingDevice recording;
    Record(drawing, paint, recording);
    Play(TEmfWriter(Width, Height).Write(recording.Calls()), bitmap);
  });
}

// Objects deleted and made again as the table turns over, contexts restored under changing clips,
// rotated text on its background, coordinates far outside the picture.
TEST(EmfRoundTrip, LongDrawingsKeepTheirState) {
  const auto draw = [](TCanvas &c) {
    for (int i = 0; i < 60; ++i) {
      c.SetDeviceClip({i % 7, i % 5, 90 - i % 11, 70});
      c.Pen().SetColor(RGB(i * 4, 255 - i * 4, i % 3 * 100));
      c.Pen().SetStyle(static_cast<TPenStyle>(i % 5));
      c.Pen().SetMode(i % 9 == 0 ? pmXor : pmCopy);
      c.Brush().SetColor(RGB(i % 5 * 60, i * 3, 200));
      c.Brush().SetStyle(static_cast<TBrushStyle>(i % 8));
      c.Rectangle(i, i / 2, i + 25, i / 2 + 19);
      c.MoveTo(-100000 + i, 3 * i);
      c.LineTo(100000, 70 - i);
      const TPoint far[] = {{-50000, i}, {48, 70 - i}, {50000 + i, 40000}, {i, 5}};
      if (i % 2)
        c.Polyline(far);
      else
        c.Polygon(far);
      TFontSpec rotated;
      rotated.Size = 7 + i % 4;
      rotated.Escapement = i % 4 * 900;
      c.SetSelectedFont(&rotated);
      c.TextOut(40 + i % 13, 30 + i % 9, "Rot");
    }
  };
  TBitmap direct(96, 72), played(96, 72);
  draw(*direct.Canvas());
  TRecordingDevice recording;
  {
    TCanvas canvas(&recording);
    draw(canvas);
  }
  Play(TEmfWriter(96, 72).Write(recording.Calls()), played);
  EXPECT_EQ(PixelsOf(played), PixelsOf(direct));
}

TEST(EmfRoundTrip, TheGraphsPaintSavedAndPlayed) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 320, 260);
  auto *graph = new Velgraph::TVelWorldGraph(&form);
  graph->SetBounds(0, 0, 320, 260);
  graph->SetBackgroundColor(RGB(0xF0, 0xF8, 0xFF));
  graph->OnPaint = [graph](TObject *) {
    graph->SetPen(clNavy, pmCopy, psDashDot, 1);
    graph->WorldMoveTo(0, 5);
    for (int i = 1; i <= 20; ++i)
      graph->WorldLineTo(i * 0.5, 5 + 4 * ((i * 7) % 5) / 5.0);
    graph->ResetPen();
    graph->WorldArc(1, 1, 9, 9, 9, 5, 1, 5);
    graph->TrianglePoint(9, 5, 5, clMaroon);
    graph->DrawingCanvas()->TextOut(4, 4, "graph");
  };
  graph->Paint();
  TBitmap &bitmap = *graph->PaintBox()->Bitmap;
  const std::vector<std::uint32_t> painted = PixelsOf(bitmap);
  const std::string path = TestFiles::TempPath("emf", "graph.emf");
  {
    TCanvasRecorder recorder(*bitmap.Canvas());
    graph->Paint();
    recorder.SaveToEmfFile(path);
  }
  TMetafile picture;
  picture.LoadFromFile(path);
  std::filesystem::remove(path);
  TBitmap played(bitmap.Width(), bitmap.Height());
  played.Canvas()->Draw(0, 0, picture);
  EXPECT_EQ(picture.Width(), bitmap.Width());
  EXPECT_EQ(PixelsOf(played), painted);
}
