#include <gtest/gtest.h>

#include "RulerSheet.h"
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <platform/printers/Printer.h>
#include <platform/rtl/Rtl.h>

using namespace Platform;
using namespace Pbrulers;
using namespace RulerSheet;

namespace {

// A recording that answers the device measures of a page: 8 x 4 inches at 480 dpi.
class TPageRecorder : public TRecordingDevice {
public:
  static constexpr int Dpi = 480;
  TRect Bounds() const override { return {0, 0, 8 * Dpi, 4 * Dpi}; }
  int PixelsPerInch() const override { return Dpi; }
};

// Rulers on a 1920-pixel screen printed on an 8 x 4 inch page at 480 dpi: the print scale is
// 3840 / 1920 = 2.
class RulerPrint : public ::testing::Test, public Sheet {
protected:
  RulerPrint() {
    DisplayMetrics() = {1920, 1080, 96};
    Printer()->SetFormat(pfPDF);
    Printer()->SetPaperSize(203.2, 101.6);
    Printer()->SetResolution(TPageRecorder::Dpi);
    HRuler->SetBounds(10, 10, 200, 33);
    VRuler->SetBounds(10, 60, 33, 200);
  }
  ~RulerPrint() override {
    Printer()->Abort();
    Printer()->Canvas()->SetDevice(nullptr);
    Printer()->SetFileName("print.pdf");
    Printer()->SetPaperSize(210, 297);
    Printer()->SetResolution(600);
    std::filesystem::remove_all(Folder);
  }
  // Prints through the page recorder on the printer's canvas, outside any job.
  TPaintRecord PrintRecorded(TRulerControl &ruler, double left, double top) {
    Printer()->Canvas()->SetDevice(&Page);
    Page.Clear();
    ruler.Print(left, top, false, false);
    Printer()->Canvas()->SetDevice(nullptr);
    return Sorted(Page);
  }
  std::string FileIn(const std::string &name) {
    std::filesystem::create_directories(Folder);
    return (Folder / name).string();
  }

  TVelPBHRuler *HRuler = new TVelPBHRuler(Graph);
  TVelPBVRuler *VRuler = new TVelPBVRuler(Graph);
  TPageRecorder Page;
  std::filesystem::path Folder = std::filesystem::temp_directory_path() / ("rulerprint-" + IntToStr(getpid()));
};

// A grey-scale page from pdftoppm: one byte a pixel, 0 black.
struct TGreyPage {
  int Width = 0, Height = 0;
  std::vector<unsigned char> Pixels;
  bool DarkNear(int x, int y, int reach = 1) const {
    for (int dy = -reach; dy <= reach; ++dy)
      for (int dx = -reach; dx <= reach; ++dx) {
        const int px = x + dx, py = y + dy;
        if (px >= 0 && py >= 0 && px < Width && py < Height && Pixels[py * Width + px] < 128)
          return true;
      }
    return false;
  }
};

TGreyPage ReadPgm(const std::string &fileName) {
  std::ifstream in(fileName, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  TGreyPage page;
  in >> magic >> page.Width >> page.Height >> maxValue;
  in.get();
  page.Pixels.resize(static_cast<std::size_t>(page.Width) * page.Height);
  in.read(reinterpret_cast<char *>(page.Pixels.data()), static_cast<std::streamsize>(page.Pixels.size()));
  if (magic != "P5" || maxValue != 255 || !in)
    page = {};
  return page;
}

} // namespace

TEST_F(RulerPrint, OffsetsUseThePageResolutionAlongTheRulersAxis) {
  // 203 mm and 4803 pixels across: Round(4803 / 7.992...) = 601 dpi.
  Printer()->SetPaperSize(203, 290);
  Printer()->SetResolution(601);
  HRuler->Print(1.0, 0.5, false, false);
  EXPECT_EQ(HRuler->PrintOffsetX(), 601);
  EXPECT_EQ(HRuler->PrintOffsetY(), 300); // 300.5 to even
  EXPECT_EQ(HRuler->PaintCanvas(), HRuler->Canvas());
  // 290 mm and 6850 pixels down at 600 dpi: Round(6850 / 11.417...) = 600.
  Printer()->SetPaperSize(210, 290);
  Printer()->SetResolution(600);
  VRuler->Print(0.25, 2, false, false);
  EXPECT_EQ(VRuler->PrintOffsetX(), 150);
  EXPECT_EQ(VRuler->PrintOffsetY(), 1200);
  // The offsets last until the next screen paint.
  VRuler->Paint();
  EXPECT_EQ(VRuler->PrintOffsetX(), 0);
  EXPECT_EQ(VRuler->PrintOffsetY(), 0);
}

TEST_F(RulerPrint, WorldUnitsScaledAndOffsetOnThePage) {
  const TPaintRecord h = PrintRecorded(*HRuler, 1.0, 0.5);
  ASSERT_EQ(h.Frames, 1);
  EXPECT_EQ(h.FrameCalls[0].Box, (TRect{480, 240, 880, 306}));
  ASSERT_EQ(h.Ticks.size(), 11u);
  for (int i = 0; i <= 10; ++i) {
    const int length = i % 10 == 0 ? 36 : (i % 2 == 0 ? 24 : 12);
    EXPECT_EQ(h.Ticks[i], (TTick{{480 + 40 * i, 242}, {480 + 40 * i, 240 + length}})) << i;
  }
  ASSERT_EQ(h.Labels.size(), 6u);
  EXPECT_EQ(h.Labels[1].At.X, 486 + 80);
  // Labels keep their screen proportion: 6 points scaled by 2, at 480 rather than 96 dpi.
  const TRecordedCall &text = *std::find_if(Page.Calls().begin(), Page.Calls().end(),
                                            [](const TRecordedCall &c) { return c.Kind == dcTextOut; });
  EXPECT_EQ(text.Font.Size, 2);

  // 102 mm (101.6 rounded) and 1920 pixels down: Round(1920 / 4.0157...) = 478 dpi.
  const TPaintRecord v = PrintRecorded(*VRuler, 0.5, 1.0);
  EXPECT_EQ(v.FrameCalls[0].Box, (TRect{239, 478, 305, 878}));
  ASSERT_EQ(v.Ticks.size(), 11u);
  EXPECT_EQ(v.Ticks[0], (TTick{{241, 878}, {239 + 48, 878}}));
  EXPECT_EQ(v.Ticks[1], (TTick{{241, 838}, {239 + 24, 838}}));
  EXPECT_EQ(v.Labels[0].At, (TPoint{239 + 12, 798 - 24}));
  EXPECT_EQ(HRuler->PaintCanvas(), HRuler->Canvas());
}

TEST_F(RulerPrint, PhysicalScaleAtThePrintersResolution) {
  HRuler->SetLengthUnits(luActualMM);
  const TPaintRecord h = PrintRecorded(*HRuler, 1.0, 0.5);
  // 5 mm is Round(480 / 5.08) = 94 printer pixels; the strip is 400 pixels long.
  ASSERT_GE(h.Ticks.size(), 5u);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(h.Ticks[i], (TTick{{480 + 94 * i, 240}, {480 + 94 * i, 240 + (i % 2 == 0 ? 32 : 16)}})) << i;
  EXPECT_EQ(h.Labels[0].Text, "1");
  EXPECT_EQ(h.Labels[0].At.X, 480 + 188 + 6);
  EXPECT_EQ(HRuler->XMax(), 2); // five ticks: two whole centimetres
}

TEST_F(RulerPrint, FailedJobLeavesTheScreenCanvasAndNoJob) {
  Printer()->SetFileName("/nonexistent-folder/ruler.pdf");
  EXPECT_THROW(HRuler->Print(1, 1, true, true), EPrinter);
  EXPECT_EQ(HRuler->PaintCanvas(), HRuler->Canvas());
  EXPECT_FALSE(Printer()->Printing());
  Record(HRuler);
  HRuler->Paint();
  EXPECT_EQ(Recorded().Frames, 1);
  EXPECT_EQ(HRuler->PrintOffsetX(), 0);
  // A job that fails as it is written: the folder goes away between the two rulers.
  const std::string pdf = FileIn("gone/rulers.pdf");
  std::filesystem::create_directories(Folder / "gone");
  Printer()->SetFileName(pdf);
  HRuler->Print(1, 1, true, false);
  std::filesystem::remove_all(Folder / "gone");
  EXPECT_THROW(VRuler->Print(0, 0, false, true), EPrinter);
  EXPECT_EQ(VRuler->PaintCanvas(), VRuler->Canvas());
  EXPECT_FALSE(Printer()->Printing());
  EXPECT_FALSE(std::filesystem::exists(pdf));
  // Ending a job nobody opened fails the same way.
  EXPECT_THROW(VRuler->Print(0, 0, false, true), EPrinter);
  EXPECT_EQ(VRuler->PaintCanvas(), VRuler->Canvas());
}

TEST_F(RulerPrint, BothRulersInOneJobStandWhereTheyWereDrawn) {
  const char *pdftoppm = "/usr/bin/pdftoppm";
  if (!std::filesystem::exists(pdftoppm))
    GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
  const std::string pdf = FileIn("rulers.pdf");
  Printer()->SetFileName(pdf);
  HRuler->Print(1.0, 0.5, true, false);
  EXPECT_TRUE(Printer()->Printing());
  VRuler->Print(0.5, 1.0, false, true);
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_FALSE(Printer()->Printing());

  // A quarter of the printer's resolution, without smoothing: 120 dpi.
  const std::string command =
      std::string(pdftoppm) + " -r 120 -aa no -aaVector no -gray \"" + pdf + "\" \"" + FileIn("page") + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const TGreyPage page = ReadPgm(FileIn("page-1.pgm"));
  ASSERT_EQ(page.Width, 960);
  ASSERT_EQ(page.Height, 480);
  // Horizontal ruler ticks at printer x = 480 + 40 i, rows 242 to 252 at least; between them blank.
  for (int i = 0; i <= 10; ++i) {
    EXPECT_TRUE(page.DarkNear(120 + 10 * i, 62)) << i;
    if (i < 10) {
      EXPECT_FALSE(page.DarkNear(125 + 10 * i, 62)) << i;
    }
  }
  // Vertical ruler ticks at printer y = 878 - 40 i, columns 241 to 263 at least; the labels
  // start at column 251.
  for (int i = 0; i <= 10; ++i) {
    EXPECT_TRUE(page.DarkNear(61, (878 - 40 * i) / 4)) << i;
    if (i < 10) {
      EXPECT_FALSE(page.DarkNear(61, (858 - 40 * i) / 4, 0)) << i;
    }
  }
  // Nothing outside the two rulers.
  EXPECT_FALSE(page.DarkNear(600, 300, 50));
}
