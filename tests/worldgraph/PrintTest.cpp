// The graph's print job on a page of 4000 x 6000 printer pixels and a screen of 1000 x 750, what
// each print operation hands the printer's canvas, and pictures loaded and drawn on the screen.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <platform/controls/Form.h>
#include <platform/controls/Screen.h>
#include <platform/pictures/Bitmap.h>
#include <platform/pictures/EmfWriter.h>
#include <platform/pictures/JpegImage.h>
#include <platform/pictures/Metafile.h>
#include <platform/printers/Printer.h>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Memory.h>
#include <support/RecordingCanvas.h>
#include <support/TestFiles.h>
#include <wgraph/Wgraph.h>
#include <worldgraph/VelGraph.h>

using namespace Platform;
using namespace Velgraph;

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, White = 0xFFFFFF;

// A bitmap of w x h whose four quarters are red, green (top) and blue, white (bottom).
std::unique_ptr<TBitmap> Quarters(int w, int h) {
  auto bitmap = std::make_unique<TBitmap>(w, h);
  const TColor colours[4] = {Red, Green, Blue, White};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bitmap->Canvas()->SetPixels(x, y, colours[(y >= h / 2) * 2 + (x >= w / 2)]);
  return bitmap;
}

class PrintJob : public ::testing::Test {
protected:
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TVelWorldGraph *Graph = nullptr;
  TDisplayMetrics SavedScreen = Screen().Metrics();
  std::string File = TestFiles::TempPath("print", "job.pdf");
  // What reaches the printer's canvas, once Record has put it there.
  TFigureRecordingCanvas Page;

  void SetUp() override {
    Screen().SetMetrics({1000, 750, 96});
    TPrinter &printer = *Printer();
    printer.SetFormat(pfPDF);
    printer.SetFileName(File);
    printer.SetResolution(254); // 10 pixels a millimetre
    printer.SetPaperSize(400, 600);
    Form->SetBounds(0, 0, 800, 800);
    Graph = new TVelWorldGraph(Form.get());
    Graph->SetBounds(0, 0, 400, 300);
    Graph->Paint(); // a new size settles on the second paint
    Graph->Paint();
  }
  void TearDown() override {
    Printer()->Abort();
    Printer()->Canvas()->SetDevice(nullptr);
    Printer()->SetPaperSize(210, 297);
    Printer()->SetResolution(600);
    Screen().SetMetrics(SavedScreen);
    std::filesystem::remove(File);
  }
  void Record() { Printer()->Canvas()->SetDevice(&Page.Device); }
  const TRecordedCall *OnlyImage() const {
    const auto images = Page.CallsOf(dcDrawImage);
    return images.size() == 1 ? images[0] : nullptr;
  }
  TCanvas *ScreenDrawCanvas() const { return Graph->PaintBox()->Bitmap->Canvas(); }
};

} // namespace

TEST_F(PrintJob, BeginPrintingTakesTheSmallerQuotientOfPageOverGraph) {
  const struct {
    int Width, Height;
    double PaperWidth, PaperHeight;
    double Scale;
  } cases[] = {
      {400, 300, 400, 600, 10},  // 4000 / 400 is below 6000 / 300
      {400, 300, 600, 150, 5},   // 1500 / 300 is below 6000 / 400
      {0, 300, 400, 600, 20},    // no width sets no limit
      {400, 0, 400, 600, 10},    // nor does no height
      {0, 0, 400, 600, 4},       // a graph of no size prints at the page-to-screen ratio
      {250, 400, 100, 150, 3.75} // 1500 / 400, in floating point
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << c.Width << " x " << c.Height);
    Printer()->SetPaperSize(c.PaperWidth, c.PaperHeight);
    Graph->SetBounds(0, 0, c.Width, c.Height);
    Graph->BeginPrinting();
    EXPECT_DOUBLE_EQ(Graph->FPrintScale, c.Scale);
    EXPECT_TRUE(Graph->FPrinting);
    EXPECT_TRUE(Printer()->Printing());
    Printer()->Abort();
    Graph->FPrinting = false;
  }
  Printer()->SetPaperSize(400, 600);
  Graph->SetBounds(0, 0, 400, 300);
  Graph->BeginPrinting();
  Graph->EndPrinting();
  EXPECT_FALSE(Graph->FPrinting);
  EXPECT_FALSE(Printer()->Printing());
  EXPECT_TRUE(std::filesystem::exists(File));
  // The scales stay for the next job.
  EXPECT_EQ(Graph->FPrintScale, 10);
}

TEST_F(PrintJob, BitmapsAndPicturesLandScaledAtTheirCorner) {
  const auto bitmap = Quarters(50, 20);
  TPicture picture;
  picture.SetGraphic(Quarters(50, 20));
  Graph->BeginPrinting();
  Record();
  const struct {
    double Scale;
    TRect Box;
  } cases[] = {
      {0.5, {100, 200, 350, 300}},   // 0.5 x the print scale 10
      {0, {100, 200, 300, 280}},     // the page-to-screen ratio, 4
      {0.25, {100, 200, 225, 250}},  // 125 x 50
      {0.01, {100, 200, 105, 202}},  // 5 x 2
      {0.025, {100, 200, 112, 205}}, // 12.5 x 5: halves go to the even neighbour
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.Scale);
    for (int printPicture = 0; printPicture < 2; ++printPicture) {
      Page.Device.Clear();
      if (printPicture)
        Graph->PrintPicture(&picture, 100, 200, c.Scale);
      else
        Graph->PrintBitmap(bitmap.get(), 100, 200, c.Scale);
      const TRecordedCall *image = OnlyImage();
      ASSERT_NE(image, nullptr);
      EXPECT_EQ(image->Box, c.Box);
      ASSERT_EQ(image->ImageWidth, 50);
      ASSERT_EQ(image->ImageHeight, 20);
      EXPECT_EQ(image->ImagePixels[0], 0xFF0000u);           // red, top-left
      EXPECT_EQ(image->ImagePixels[20 * 50 - 1], 0xFFFFFFu); // white, bottom-right
    }
  }
  Page.Device.Clear();
  Graph->PrintBitmap(nullptr, 0, 0, 1);
  Graph->PrintPicture(nullptr, 0, 0, 1);
  TPicture empty;
  Graph->PrintPicture(&empty, 0, 0, 1);
  EXPECT_TRUE(Page.Calls().empty());

  // A heap that refuses the image block: the error reaches the caller, and the header block is
  // freed on the way (the sanitized build would report it lost).
  SetAllocationFailureHook([](std::size_t size) { return size == 50u * 20 * 4; });
  EXPECT_THROW(Graph->PrintBitmap(bitmap.get(), 0, 0, 1), EOutOfMemory);
  SetAllocationFailureHook(nullptr);
  EXPECT_TRUE(Page.Calls().empty());
}

TEST_F(PrintJob, TheUserGraphicIsDrawnOnThePageThenTheScreenComesBack) {
  const struct { double Magnification, Stored, Scale; } cases[] = {{0, 0.4, 4}, {0.5, 0.5, 5}, {1, 1, 10}};
  std::vector<bool> printingInPaint;
  for (const auto &c : cases) {
    SCOPED_TRACE(c.Magnification);
    Graph->SetProportional(false);
    Graph->Paint();
    const int w = Graph->PaintBox()->Width(), h = Graph->PaintBox()->Height();
    printingInPaint.clear();
    Graph->OnPaint = [&](TObject *) {
      printingInPaint.push_back(Graph->FPrinting);
      Graph->DrawingCanvas()->Pen().SetColor(Blue);
      Graph->WorldMoveTo(Graph->XMin(), Graph->YMin());
      Graph->WorldLineTo(Graph->XMax(), Graph->YMax());
      Graph->SquarePoint(3, (Graph->XMin() + Graph->XMax()) / 2, (Graph->YMin() + Graph->YMax()) / 2, Red);
    };
    Graph->BeginPrinting();
    Record();
    Page.Device.Clear();
    Graph->PrintUserGraphic(c.Magnification);
    EXPECT_DOUBLE_EQ(Graph->FPrintMagnification, c.Stored);
    // The window, widened to equal scales as the screen's was not, across the box's size times
    // the scale: the full height, and the middle of the width.
    const auto lines = Page.CallsOf(dcLine);
    ASSERT_EQ(lines.size(), 1u);
    const double width = h * c.Scale * (Graph->XMax() - Graph->XMin()) / (Graph->YMax() - Graph->YMin());
    EXPECT_EQ(lines[0]->Points[0].Y, static_cast<int>(h * c.Scale));
    EXPECT_EQ(lines[0]->Points[1].Y, 0);
    EXPECT_NEAR(lines[0]->Points[0].X, (w * c.Scale - width) / 2, 1);
    EXPECT_NEAR(lines[0]->Points[1].X, (w * c.Scale + width) / 2, 1);
    EXPECT_EQ(lines[0]->State.Pen.Color, Blue) << "the pen set on the drawing canvas reaches the page";
    // The marker grows with the drawing: 3 pixels become 3 x scale.
    const auto squares = Page.CallsOf(dcPolygon);
    ASSERT_EQ(squares.size(), 1u);
    EXPECT_EQ(squares[0]->Points[2].X - squares[0]->Points[0].X, static_cast<int>(3 * c.Scale));
    EXPECT_EQ(printingInPaint, (std::vector<bool>{true, false})) << "the page, then the screen";
    // Afterwards: printing is off, the screen is drawn on again, with equal scales.
    EXPECT_FALSE(Graph->FPrinting);
    EXPECT_EQ(Graph->PaintBox()->DrawCanvas, ScreenDrawCanvas());
    EXPECT_EQ(Graph->DrawingCanvas(), ScreenDrawCanvas());
    EXPECT_TRUE(Graph->Proportional());
    EXPECT_EQ(Wgraph::PCRight, w) << "the screen's mapping is back";
    Graph->EndPrinting();
  }
}

TEST_F(PrintJob, APictureStretchedForPrintLiesUnderTheDrawing) {
  // Unequal scales on the screen; the print widens the window, and the picture must follow.
  Graph->SetProportional(false);
  Graph->Paint();
  const auto bitmap = Quarters(4, 4);
  for (const double magnification : {1.0, 0.5}) {
    SCOPED_TRACE(magnification);
    Graph->OnPaint = [&](TObject *) {
      // Inside the print the picture still maps as it does outside it.
      Graph->StretchPrintBitMap(bitmap.get(), magnification);
      Graph->WorldMoveTo(Graph->FHistXMin[0], Graph->FHistYMin[0]);
      Graph->WorldLineTo(Graph->FHistXMax[0], Graph->FHistYMax[0]);
    };
    Graph->BeginPrinting();
    Record();
    Page.Device.Clear();
    Graph->StretchPrintBitMap(bitmap.get(), magnification);
    Graph->PrintUserGraphic(magnification);
    const auto images = Page.CallsOf(dcDrawImage);
    const auto lines = Page.CallsOf(dcLine);
    // Before the print, inside it, and in the screen's repaint after it: the same place.
    ASSERT_EQ(images.size(), 3u);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(images[0]->Box, images[1]->Box);
    EXPECT_EQ(images[0]->Box, images[2]->Box);
    const TRect box = images[0]->Box;
    // The home window's corners, drawn as a line from lower-left to upper-right, are the
    // picture's corners (to the pixel the two roundings may differ by).
    EXPECT_NEAR(lines[0]->Points[0].X, box.Left, 1);
    EXPECT_NEAR(lines[0]->Points[0].Y, box.Bottom, 1);
    EXPECT_NEAR(lines[0]->Points[1].X, box.Right, 1);
    EXPECT_NEAR(lines[0]->Points[1].Y, box.Top, 1);
    EXPECT_GT(box.Width(), 100);
    Graph->EndPrinting();
    Graph->OnPaint = nullptr;
    Graph->SetProportional(false);
    Graph->Paint();
  }
}

TEST_F(PrintJob, FailuresLeaveTheScreenDrawingAndPrintingOff) {
  // A file that cannot be made: the document never opens.
  Printer()->SetFileName("/nonexistent-folder/job.pdf");
  EXPECT_THROW(Graph->BeginPrinting(), EPrinter);
  EXPECT_FALSE(Graph->FPrinting);
  EXPECT_FALSE(Printer()->Printing());
  EXPECT_EQ(Graph->FPrintScale, 0) << "no scale was fixed";

  // A second BeginPrinting cannot open another document; the first job goes on.
  Printer()->SetFileName(File);
  Graph->BeginPrinting();
  EXPECT_THROW(Graph->BeginPrinting(), EPrinter);
  EXPECT_TRUE(Graph->FPrinting);
  EXPECT_TRUE(Printer()->Printing());
  Graph->EndPrinting();
  std::filesystem::remove(File);

  // A drawing that fails half way: the job this graph opened is dropped, leaving no file.
  Printer()->SetFileName(File);
  Graph->OnPaint = [this](TObject *) {
    if (Graph->FPrinting)
      throw Exception("drawing failed");
  };
  Graph->BeginPrinting();
  try {
    Graph->PrintUserGraphic(1);
    ADD_FAILURE() << "the drawing's exception was swallowed";
  } catch (const Exception &e) {
    EXPECT_EQ(e.Message(), "drawing failed");
  }
  EXPECT_FALSE(Graph->FPrinting);
  EXPECT_EQ(Graph->PaintBox()->DrawCanvas, ScreenDrawCanvas());
  EXPECT_EQ(Graph->DrawingCanvas(), ScreenDrawCanvas());
  EXPECT_FALSE(Printer()->Printing());
  EXPECT_FALSE(std::filesystem::exists(File));
  EXPECT_EQ(Wgraph::PCRight, Graph->PaintBox()->Width()) << "the screen's mapping is back";

  // A document that cannot be completed (its name is a folder's).
  const std::string folder = TestFiles::TempPath("print", "folder");
  std::filesystem::create_directory(folder);
  Printer()->SetFileName(folder);
  Graph->OnPaint = nullptr;
  Graph->BeginPrinting();
  Graph->PrintUserGraphic(1);
  EXPECT_THROW(Graph->EndPrinting(), EPrinter);
  EXPECT_FALSE(Graph->FPrinting);
  EXPECT_FALSE(Printer()->Printing());
  std::filesystem::remove(folder);

  // The graph prints again afterwards.
  Printer()->SetFileName(File);
  Graph->BeginPrinting();
  Graph->PrintUserGraphic(0);
  Graph->EndPrinting();
  EXPECT_TRUE(std::filesystem::exists(File));
}

TEST_F(PrintJob, WithoutBeginPrintingTheScaleComesFromThePage) {
  std::vector<TPoint> ends;
  Graph->OnPaint = [&](TObject *) {
    Graph->WorldMoveTo(Graph->XMin(), Graph->YMin());
    Graph->WorldLineTo(Graph->XMax(), Graph->YMax());
  };
  ASSERT_EQ(Graph->FPrintScale, 0);
  Record(); // no document: the drawing is recorded where the page would be
  Graph->PrintUserGraphic(0);
  EXPECT_EQ(Graph->FPrintScale, 10);
  EXPECT_DOUBLE_EQ(Graph->FPrintMagnification, 0.4);
  const auto lines = Page.CallsOf(dcLine);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->Points[1].X, Graph->PaintBox()->Width() * 4);
  EXPECT_FALSE(Graph->FPrinting);
  EXPECT_FALSE(Printer()->Printing());
}

// Pictures drawn on the screen over the drawing, read back from the form's pixels.
TEST_F(PrintJob, PicturesOnTheScreen) {
  Velpaint::TVelPaintBox &box = *Graph->PaintBox();
  TCanvas &screen = *box.Canvas();
  const auto small = Quarters(20, 10);
  Graph->SetXMin(-50);
  Graph->Paint();
  screen.Brush().SetColor(Green);
  screen.FillRect(box.ClientRect());
  Graph->DrawBitMap(small.get());
  EXPECT_EQ(screen.Pixels(0, 0), Red);
  EXPECT_EQ(screen.Pixels(19, 9), White);
  EXPECT_EQ(screen.Pixels(20, 9), Green);
  EXPECT_EQ(screen.Pixels(19, 10), Green);

  // Stretched over the home window, which is the whole box when nothing is zoomed.
  const auto quarters = Quarters(2, 2);
  Graph->StretchDrawBitMap(quarters.get());
  EXPECT_TRUE(Graph->FSkipBitmapCopy);
  const int w = box.Width(), h = box.Height();
  EXPECT_EQ(screen.Pixels(0, 0), Red);
  EXPECT_EQ(screen.Pixels(w - 1, 0), Green);
  EXPECT_EQ(screen.Pixels(0, h - 1), Blue);
  EXPECT_EQ(screen.Pixels(w - 1, h - 1), White);
  // The next paint leaves the picture on the screen instead of copying the drawing over it.
  Graph->OnPaint = [](TObject *) {};
  Graph->Paint();
  EXPECT_FALSE(Graph->FSkipBitmapCopy);
  EXPECT_EQ(screen.Pixels(w - 1, 0), Green);

  // Zoomed into the lower-left quarter, the picture is enlarged with the drawing: only its
  // blue quarter shows.
  Graph->IncreaseZoom(Graph->XMin(), Graph->YMin(), (Graph->XMin() + Graph->XMax()) / 2,
                      (Graph->YMin() + Graph->YMax()) / 2);
  Graph->StretchDrawBitMap(quarters.get());
  for (const TPoint p : {TPoint{0, 0}, TPoint{w - 1, 0}, TPoint{0, h - 1}, TPoint{w - 1, h - 1}})
    EXPECT_EQ(screen.Pixels(p.X, p.Y), Blue) << p.X << ", " << p.Y;
  Graph->DrawBitMap(nullptr);
  Graph->StretchDrawBitMap(nullptr);
}

TEST_F(PrintJob, LoadersKeepWhatTheFileHeldAndSayWhetherItIsTheirKind) {
  const std::string bmp = TestFiles::TempPath("print", "picture.bmp");
  const std::string junk = TestFiles::TempPath("print", "junk.wmf");
  const std::string missing = TestFiles::TempPath("print", "missing.bmp");
  Quarters(6, 4)->SaveToBmpFile(bmp);
  // A placeable metafile header cut short: no loader can read it.
  TestFiles::WriteBytes(junk, {0xD7, 0xCD, 0xC6, 0x9A, 0, 0});

  EXPECT_FALSE(Graph->LoadBMP(missing));
  EXPECT_FALSE(Graph->LoadWMF(missing));
  EXPECT_FALSE(Graph->LoadJPeg(missing));
  EXPECT_EQ(Graph->BmpPicture(), nullptr);
  EXPECT_EQ(Graph->WmfPicture(), nullptr);
  EXPECT_EQ(Graph->JpegPicture(), nullptr);

  EXPECT_TRUE(Graph->LoadBMP(bmp));
  TPicture *picture = Graph->BmpPicture();
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Width(), 6);
  const TGraphic *loaded = picture->Graphic();
  EXPECT_FALSE(Graph->LoadBMP(missing));
  EXPECT_EQ(Graph->BmpPicture(), picture);
  EXPECT_EQ(picture->Graphic(), loaded) << "a missing file touches nothing";
  // Each loader keeps whatever the file held, and says whether it was its own kind.
  EXPECT_FALSE(Graph->LoadJPeg(bmp));
  ASSERT_NE(Graph->JpegPicture(), nullptr);
  EXPECT_NE(dynamic_cast<TBitmap *>(Graph->JpegPicture()->Graphic()), nullptr);
  // A file the loader rejects empties the picture.
  EXPECT_FALSE(Graph->LoadWMF(junk));
  ASSERT_NE(Graph->WmfPicture(), nullptr);
  EXPECT_EQ(Graph->WmfPicture()->Graphic(), nullptr);
  EXPECT_FALSE(Graph->LoadBMP(junk));
  EXPECT_EQ(Graph->BmpPicture(), picture) << "later loads reuse the picture";
  EXPECT_EQ(picture->Graphic(), nullptr);

  // A metafile of our own making is LoadWMF's kind, and prints through PrintPicture.
  const std::string emf = TestFiles::TempPath("print", "picture.emf");
  TRecordingCanvas recording;
  recording.Canvas.Brush().SetColor(Red);
  recording.Canvas.FillRect({0, 0, 30, 20});
  TEmfWriter(30, 20).SaveToFile(emf, recording.Calls());
  EXPECT_TRUE(Graph->LoadWMF(emf));
  ASSERT_NE(dynamic_cast<TMetafile *>(Graph->WmfPicture()->Graphic()), nullptr);
  EXPECT_FALSE(Graph->LoadBMP(emf));
  Graph->BeginPrinting();
  Record();
  Graph->PrintPicture(Graph->WmfPicture(), 0, 0, 1);
  const TRecordedCall *image = OnlyImage();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Box, (TRect{0, 0, 300, 200}));
  EXPECT_EQ(image->ImagePixels[0], 0xFF0000u) << "the metafile's red, played into the bitmap";
  // A JPEG file is LoadJPeg's kind; LoadBMP keeps it too, but says it is not a bitmap.
  const std::string jpeg = VELGRAPH_SOURCE_DIR "/tests/worldgraph/red.jpg";
  EXPECT_TRUE(Graph->LoadJPeg(jpeg));
  ASSERT_NE(dynamic_cast<TJPEGImage *>(Graph->JpegPicture()->Graphic()), nullptr);
  EXPECT_EQ(Graph->JpegPicture()->Width(), 16);
  EXPECT_FALSE(Graph->LoadBMP(jpeg));
  EXPECT_NE(dynamic_cast<TJPEGImage *>(picture->Graphic()), nullptr);
  std::filesystem::remove(bmp);
  std::filesystem::remove(junk);
  std::filesystem::remove(emf);
}
