// The demo's relief map under the drawing on the screen, and its printed page read back as pixels.

#include <gtest/gtest.h>

#include "DemoPicture.h"
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <platform/controls/Form.h>
#include <platform/controls/Screen.h>
#include <platform/printers/Printer.h>
#include <set>
#include <support/TestFiles.h>
#include <worldgraph/Shape.h>

using namespace Platform;
using namespace Velgraph;

namespace {

constexpr TColor Black = 0, ShapeFill = 0x00C000;

class DemoPicture : public ::testing::Test {
protected:
  TPicture Picture;
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TVelWorldGraph *Graph = nullptr;
  TDisplayMetrics SavedScreen = Screen().Metrics();

  void SetUp() override {
    Screen().SetMetrics({1000, 750, 96});
    Form->SetBounds(0, 0, 500, 400);
    Graph = new TVelWorldGraph(Form.get());
    Graph->SetBounds(0, 0, 480, 360);
    Graph->AddShape(skPolygon);
    Graph->BeginShape(6, 6);
    Graph->ContinueShape(9, 6, false);
    Graph->ContinueShape(9, 9, true);
    Graph->Shape(1)->FBrush.SetColor(ShapeFill);
    Graph->OnPaint = [this](TObject *) {
      Graph->DrawingCanvas()->Pen().SetColor(Black);
      Graph->WorldMoveTo(1, 1);
      Graph->WorldLineTo(4, 1);
    };
    Picture.SetGraphic(MakeDemoPicture());
    PlaceDemoPicture(*Graph, Picture);
    Graph->Paint();
    Graph->Paint();
  }
  void TearDown() override { Screen().SetMetrics(SavedScreen); }
  TColor OnScreen(double x, double y) const {
    const TPoint p = Graph->PCxy(x, y);
    return Graph->PaintBox()->Canvas()->Pixels(p.X, p.Y);
  }
};

// A page rendered by pdftoppm: 8-bit RGB rows.
struct TPage {
  int Width = 0, Height = 0;
  std::vector<unsigned char> Rgb;
  int Luminance(int x, int y) const {
    const unsigned char *p = &Rgb[(static_cast<std::size_t>(y) * Width + x) * 3];
    return (p[0] * 3 + p[1] * 6 + p[2]) / 10;
  }
  // The share of pixels in the box darker than white paper, and of those nearly black.
  std::pair<double, double> Ink(int left, int top, int right, int bottom) const {
    int tinted = 0, dark = 0, all = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x, ++all) {
        tinted += Luminance(x, y) < 250;
        dark += Luminance(x, y) < 100;
      }
    return {all ? double(tinted) / all : 0, all ? double(dark) / all : 0};
  }
};

bool ReadPpm(const std::string &fileName, TPage &page) {
  std::ifstream in(fileName, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  in >> magic >> page.Width >> page.Height >> maxValue;
  in.get();
  if (magic != "P6" || maxValue != 255 || page.Width <= 0 || page.Height <= 0)
    return false;
  page.Rgb.resize(static_cast<std::size_t>(page.Width) * page.Height * 3);
  in.read(reinterpret_cast<char *>(page.Rgb.data()), static_cast<std::streamsize>(page.Rgb.size()));
  return static_cast<std::size_t>(in.gcount()) == page.Rgb.size();
}

} // namespace

TEST_F(DemoPicture, LiesUnderTheShapesAndTheDrawingOnTheScreen) {
  const auto picture = MakeDemoPicture();
  std::set<TColor> reliefColours;
  for (int y = 0; y < picture->Height(); ++y)
    for (int x = 0; x < picture->Width(); ++x)
      reliefColours.insert(picture->Canvas()->Pixels(x, y));
  EXPECT_GT(reliefColours.size(), 20u) << "a map, not a plain fill";
  // Away from the drawing the map shows, across the whole home window.
  for (const auto &[x, y] : {std::pair{0.2, 0.2}, {9.8, 9.8}, {5.0, 3.0}, {2.0, 8.0}})
    EXPECT_TRUE(reliefColours.contains(OnScreen(x, y))) << x << ", " << y;
  EXPECT_EQ(OnScreen(8.5, 6.5), ShapeFill) << "the shape stays over the map";
  EXPECT_EQ(OnScreen(2.5, 1), Black) << "the drawing stays over the map";
}

TEST_F(DemoPicture, PrintsOnePageWithTheMapTheDrawingAndBothRulers) {
  const std::string dir = TestFiles::TempPath("demo", "page");
  std::filesystem::create_directories(dir);
  const std::string pdf = dir + "/demo.pdf";
  PrintDemo(*Graph, Picture, pdf);
  EXPECT_FALSE(Printer()->Printing());
  EXPECT_FALSE(Graph->FPrinting);
  const TestFiles::TBytes bytes = TestFiles::ReadBytes(pdf);
  ASSERT_GT(bytes.size(), 4u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "%PDF");
  if (std::string(VELGRAPH_PDFTOPPM).find("NOTFOUND") != std::string::npos)
    GTEST_SKIP() << "pdftoppm is not installed: the page is not checked as pixels";

  constexpr int Dpi = 30;
  const std::string command =
      std::string(VELGRAPH_PDFTOPPM) + " -r " + std::to_string(Dpi) + " '" + pdf + "' '" + dir + "/page' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  EXPECT_FALSE(std::filesystem::exists(dir + "/page-2.ppm")) << "one page";
  TPage page;
  ASSERT_TRUE(ReadPpm(dir + "/page-1.ppm", page));
  // A4 portrait.
  EXPECT_NEAR(page.Width, 210 / 25.4 * Dpi, 1);
  EXPECT_NEAR(page.Height, 297 / 25.4 * Dpi, 1);

  // The screen's layout at the page's share of the screen's width, from the margin.
  const double scale = static_cast<double>(Printer()->PageWidth()) / Screen().Width() * Dpi / Printer()->Resolution();
  const double margin = DemoPageMarginInches * Dpi;
  const auto at = [&](int screenPixels) { return static_cast<int>(margin + screenPixels * scale); };
  const Velpaint::TVelPaintBox &box = *Graph->PaintBox();
  const int left = at(box.Left()), top = at(box.Top()), right = at(box.Left() + box.Width()),
            bottom = at(box.Top() + box.Height());
  // The map tints the whole drawing area.
  EXPECT_GT(page.Ink(left + 2, top + 2, right - 2, bottom - 2).first, 0.95);
  // The rulers' ticks and labels stand above and left of it.
  EXPECT_GT(page.Ink(left, at(0), right, top).second, 0.01);
  EXPECT_GT(page.Ink(at(0), top, left, bottom).second, 0.01);
  // The key below it, and nothing but paper at the foot of the page.
  EXPECT_GT(page.Ink(left + 1, bottom + 8, left + 20, bottom + 20).first, 0.95);
  EXPECT_EQ(page.Ink(0, page.Height - 20, page.Width, page.Height).first, 0);
  std::filesystem::remove_all(dir);
}
