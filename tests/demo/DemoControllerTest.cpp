#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <platform/graphics/Color.h>
#include <platform/host/HeadlessHost.h>
#include <platform/pictures/Bitmap.h>
#include <string>
#include <vector>

#include "DemoController.h"
#include "support/TestFiles.h"

using namespace Platform;
using namespace Demo;

namespace {

struct TWindow {
  double XMin, XMax, YMin, YMax;
  int Level;
};

TWindow ParseWindow(const std::string &line) {
  TWindow w{};
  EXPECT_EQ(std::sscanf(line.c_str(), "window %lf %lf %lf %lf level %d", &w.XMin, &w.XMax, &w.YMin, &w.YMax, &w.Level),
            5)
      << line;
  return w;
}

// The demo on a headless host, with its reports collected and helpers to act in paint-box pixels.
class DemoTest : public testing::Test {
protected:
  DemoTest() : Demo(Options()), Host(Demo.Form()) {
    Demo.OnReport = [this](const std::string &line) { Reports.push_back(line); };
    Settle();
  }
  static TDemoOptions Options() {
    TDemoOptions options;
    options.PdfFile = TestFiles::TempPath("demo", "print.pdf");
    options.ShowPicture = false; // the tests look at the white paper behind the drawing
    return options;
  }
  void Settle() {
    for (int round = 0; round < 4 && Host.ProcessPaints() > 0; ++round) {
    }
    Host.Present();
  }
  TPoint Form(int x, int y) { return Demo.Graph().PaintBox()->ClientToForm({x, y}); }
  void Drag(int x1, int y1, int x2, int y2, TMouseButton button = mbLeft, TShiftState keys = {}) {
    Host.MouseMove(Form(x1, y1).X, Form(x1, y1).Y, keys);
    Host.MouseDown(Form(x1, y1).X, Form(x1, y1).Y, button, keys);
    Host.MouseMove(Form((x1 + x2) / 2, (y1 + y2) / 2).X, Form((x1 + x2) / 2, (y1 + y2) / 2).Y, keys);
    Host.MouseMove(Form(x2, y2).X, Form(x2, y2).Y, keys);
    Host.MouseUp(Form(x2, y2).X, Form(x2, y2).Y, button, keys);
    Settle();
  }
  void Click(int x, int y, TMouseButton button) {
    Host.MouseDown(Form(x, y).X, Form(x, y).Y, button);
    Host.MouseUp(Form(x, y).X, Form(x, y).Y, button);
    Settle();
  }
  void Key(WORD key) {
    EXPECT_EQ(Host.KeyDown(key), 0) << "the demo's keys are consumed";
    Settle();
  }
  TWindow Shown() {
    Velgraph::TVelWorldGraph &g = Demo.Graph();
    return {g.XMin(), g.XMax(), g.YMin(), g.YMax(), g.ZoomLevel()};
  }
  TColor PaintBoxPixel(int x, int y) {
    const TPoint p = Form(x, y);
    return PixelToColor(Host.Presented().Surface().Row(p.Y)[p.X]);
  }
  const std::string &Status() { return Demo.Status().Text(); }

  TDemoController Demo;
  THeadlessHost Host;
  std::vector<std::string> Reports;
};

// Equal up to the rounding of a proportional paint widening a window it widened before.
void ExpectSameWindow(const TWindow &a, const TWindow &b) {
  const double tolerance = 1e-9 * (std::abs(b.XMax - b.XMin) + std::abs(b.YMax - b.YMin));
  EXPECT_NEAR(a.XMin, b.XMin, tolerance);
  EXPECT_NEAR(a.XMax, b.XMax, tolerance);
  EXPECT_NEAR(a.YMin, b.YMin, tolerance);
  EXPECT_NEAR(a.YMax, b.YMax, tolerance);
  EXPECT_EQ(a.Level, b.Level);
}

} // namespace

// Drag, step back, forward and reset, each reported once with the window the graph shows.
TEST_F(DemoTest, ZoomHistoryThroughMouseAndKeys) {
  const TWindow first = Shown();
  const Velgraph::TWorldPoint topLeft = Demo.Graph().Wxy(100, 80), bottomRight = Demo.Graph().Wxy(400, 300);
  Drag(400, 300, 100, 80); // from the bottom right: the same band
  ASSERT_EQ(Reports.size(), 1u);
  const TWindow zoomed = ParseWindow(Reports.back());
  ExpectSameWindow(zoomed, Shown());
  EXPECT_EQ(zoomed.Level, 1);
  // The proportional view holds the band and fits one of its axes exactly.
  EXPECT_LE(zoomed.XMin, topLeft.X + 1e-9);
  EXPECT_GE(zoomed.XMax, bottomRight.X - 1e-9);
  EXPECT_LE(zoomed.YMin, bottomRight.Y + 1e-9);
  EXPECT_GE(zoomed.YMax, topLeft.Y - 1e-9);
  EXPECT_TRUE(std::abs(zoomed.XMin - topLeft.X) < 1e-9 || std::abs(zoomed.YMax - topLeft.Y) < 1e-9);
  EXPECT_NE(Status().find("(zoom 1)"), std::string::npos) << Status();

  Click(200, 200, mbRight);
  ASSERT_EQ(Reports.size(), 2u);
  ExpectSameWindow(ParseWindow(Reports.back()), first);
  Key(KeyForward);
  ExpectSameWindow(ParseWindow(Reports.back()), zoomed);
  Key(KeyReset);
  ExpectSameWindow(ParseWindow(Reports.back()), first);
  // Nothing left to step back to or forward to: no change, no report.
  Click(200, 200, mbRight);
  Key(KeyBack);
  EXPECT_EQ(Reports.size(), 4u);
  // A click without a drag is no zoom.
  Click(150, 150, mbLeft);
  EXPECT_EQ(Reports.size(), 4u);
  ExpectSameWindow(Shown(), first);
}

TEST_F(DemoTest, ShiftDragMeasuresWithoutZooming) {
  const TWindow first = Shown();
  const Velgraph::TWorldPoint a = Demo.Graph().Wxy(50, 400), b = Demo.Graph().Wxy(350, 0);
  // Points the line passes: x = 50 + 0.75 (400 - y).
  const TPoint onLine[] = {{125, 300}, {200, 200}, {275, 100}};
  TColor before[3];
  for (int i = 0; i < 3; ++i)
    before[i] = PaintBoxPixel(onLine[i].X, onLine[i].Y);
  Drag(50, 400, 350, 0, mbLeft, TShiftState{ssShift});
  EXPECT_NEAR(Demo.Distance(), std::hypot(b.X - a.X, b.Y - a.Y), 1e-9);
  EXPECT_NE(Status().find("distance"), std::string::npos) << Status();
  EXPECT_TRUE(Reports.empty());
  ExpectSameWindow(Shown(), first);
  // The measuring line stays on the screen, drawn inverting.
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(PaintBoxPixel(onLine[i].X, onLine[i].Y), before[i] ^ 0xFFFFFF) << i;
}

TEST_F(DemoTest, CrosshairKeyShowsAndTakesOffTheCrosshair) {
  const TPoint at = Form(300, 200);
  Host.MouseMove(at.X, at.Y);
  Settle();
  const TColor before = PaintBoxPixel(300, 20);
  ASSERT_EQ(before, clWhite);
  Key(KeyCrosshair);
  Host.MouseMove(at.X, at.Y + 1);
  Settle();
  EXPECT_NE(Status().find("crosshair on"), std::string::npos);
  EXPECT_EQ(PaintBoxPixel(300, 20), clBlack); // the vertical line of the crosshair, inverted white
  Key(KeyCrosshair);
  EXPECT_EQ(PaintBoxPixel(300, 20), clWhite);
  EXPECT_NE(Status().find("crosshair off"), std::string::npos);
}

// In inches and millimetres the drawing follows the rulers, one world unit to the unit they show
// (centimetres are the millimetre ruler's labels), and zooming is refused; world units come back
// with the world window.
TEST_F(DemoTest, UnitsKeyCyclesTheRulersAndComesBackToTheWorldWindow) {
  const TWindow first = Shown();
  const int width = Demo.Graph().PaintBox()->Width(), ppi = Demo.Graph().PaintBox()->Canvas()->PixelsPerInch();
  const struct {
    Pbrulers::TLengthUnits Units;
    const char *Status;
    double UnitsAcross;
  } cycle[] = {{Pbrulers::luActualInches, "rulers: inches", double(width) / ppi},
               {Pbrulers::luActualMM, "rulers: mm", width * 2.54 / ppi},
               {Pbrulers::luCustom, "rulers: world units", first.XMax - first.XMin}};
  for (const auto &step : cycle) {
    Key(KeyUnits);
    EXPECT_EQ(Demo.Units(), step.Units);
    EXPECT_EQ(Demo.Graph().LengthUnits(), step.Units);
    EXPECT_NE(Status().find(step.Status), std::string::npos) << Status();
    EXPECT_NEAR(Shown().XMax - Shown().XMin, step.UnitsAcross, 0.02 * step.UnitsAcross);
    // The world point under a pixel is the rulers' length there.
    EXPECT_NEAR(Demo.Graph().Wxy(width / 2, 0).X, Shown().XMin + (Shown().XMax - Shown().XMin) / 2,
                0.01 * step.UnitsAcross);
    if (step.Units == Pbrulers::luActualInches) {
      Drag(100, 100, 300, 300);
      Click(200, 200, mbRight);
      EXPECT_TRUE(Reports.empty());
      EXPECT_EQ(Demo.Graph().ZoomLevel(), 0);
      EXPECT_NE(Status().find("zoom with the rulers in world units"), std::string::npos) << Status();
    }
  }
  ExpectSameWindow(Shown(), first);
  EXPECT_TRUE(Demo.Graph().Proportional());
}

TEST_F(DemoTest, PrintKeyWritesThePdfAndSaysSo) {
  const std::string pdf = TestFiles::TempPath("demo", "print.pdf");
  std::filesystem::remove(pdf);
  Key(KeyPrint);
  const TestFiles::TBytes bytes = TestFiles::ReadBytes(pdf);
  ASSERT_GT(bytes.size(), 1000u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5), "%PDF-");
  EXPECT_NE(Status().find("printed " + pdf), std::string::npos) << Status();
  std::filesystem::remove(pdf);
}

TEST(DemoPrint, AFolderThatIsNotThereIsReportedInTheStatusLine) {
  TDemoOptions options;
  options.PdfFile = "/nonexistent-folder/demo.pdf";
  TDemoController demo(options);
  EXPECT_TRUE(demo.KeyDown(KeyPrint, {}));
  EXPECT_NE(demo.Status().Text().find("print failed"), std::string::npos) << demo.Status().Text();
}

TEST_F(DemoTest, PictureKeyShowsAndHidesAPictureUnderTheDrawing) {
  // An empty part of the drawing, inside the unzoomed world window.
  const TPoint empty = Demo.Graph().PCxy(12, 1);
  ASSERT_EQ(PaintBoxPixel(empty.X, empty.Y), clWhite);
  Key(KeyPicture);
  EXPECT_NE(PaintBoxPixel(empty.X, empty.Y), clWhite);
  EXPECT_NE(Status().find("picture"), std::string::npos);
  Key(KeyPicture);
  EXPECT_EQ(PaintBoxPixel(empty.X, empty.Y), clWhite);
}

TEST(DemoPicture, APictureFileIsShownFromTheStartAndABadOneIsReported) {
  const std::string good = TestFiles::TempPath("demo", "picture.bmp"), bad = TestFiles::TempPath("demo", "bad.bmp");
  TBitmap teal(4, 4);
  teal.Canvas()->Brush().SetColor(clTeal);
  teal.Canvas()->FillRect({0, 0, 4, 4});
  teal.SaveToBmpFile(good);
  TestFiles::WriteBytes(bad, {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'});
  const struct {
    std::string File;
    TColor Shown;
    const char *Says;
  } cases[] = {{good, clTeal, "picture: "}, {bad, clWhite, "cannot load picture"}};
  for (const auto &c : cases) {
    TDemoOptions options;
    options.PictureFile = c.File;
    TDemoController demo(options);
    THeadlessHost host(demo.Form());
    for (int round = 0; round < 4 && host.ProcessPaints() > 0; ++round) {
    }
    const TPoint empty = demo.Graph().PaintBox()->ClientToForm(demo.Graph().PCxy(12, 1));
    EXPECT_EQ(PixelToColor(demo.Form().Framebuffer().Surface().Row(empty.Y)[empty.X]), c.Shown) << c.File;
    EXPECT_NE(demo.Status().Text().find(c.Says), std::string::npos) << demo.Status().Text();
  }
  std::filesystem::remove(good);
  std::filesystem::remove(bad);
}

TEST_F(DemoTest, AResizedWindowLaysTheGraphAndTheStatusLineOutAgain) {
  Demo.Form().SetBounds(0, 0, 1200, 800);
  Settle();
  EXPECT_EQ(Demo.Graph().Width(), 1180);
  EXPECT_EQ(Demo.Status().Top() + Demo.Status().Height(), 800);
  EXPECT_EQ(Demo.Status().Width(), 1200);
  // The graph's drawing area reaches into the new room, on the right of the old width.
  EXPECT_EQ(Host.Presented().Width(), 1200);
  EXPECT_EQ(PixelToColor(Host.Presented().Surface().Row(400)[1150]), clWhite);
  EXPECT_EQ(PixelToColor(Host.Presented().Surface().Row(400)[1195]), RGB(0xF0, 0xF0, 0xF0));
}

TEST_F(DemoTest, HelpAndQuitKeys) {
  Key(KeyHelp);
  EXPECT_EQ(Status(), TDemoController::ShortHelp());
  Key(KeyF1);
  EXPECT_NE(Status().find("rulers:"), std::string::npos);
  EXPECT_EQ(Host.KeyDown('Z'), 'Z');
  EXPECT_FALSE(Demo.QuitRequested());
  Key(KeyEscape);
  EXPECT_TRUE(Demo.QuitRequested());
}
