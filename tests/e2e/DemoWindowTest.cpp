// The demo's window on a virtual X server, driven by xdotool as a user would drive it: a drag
// with the left button zooms to what it spans, a right-click steps back. What the window shows is
// dumped by xwd and compared with the headless render of the same world window.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "ChildProcess.h"
#include "DemoImages.h"

using namespace E2e;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

struct TWindow {
  double XMin = 0, XMax = 0, YMin = 0, YMax = 0;
  int Level = -1;
};

std::optional<TWindow> ParseWindow(const std::optional<std::string> &line) {
  TWindow w;
  if (!line ||
      std::sscanf(line->c_str(), "window %lf %lf %lf %lf level %d", &w.XMin, &w.XMax, &w.YMin, &w.YMax, &w.Level) != 5)
    return std::nullopt;
  return w;
}

class DemoWindow : public testing::Test {
protected:
  void SetUp() override {
#if !VELGRAPH_WITH_SDL
    GTEST_SKIP() << "velgraph was built without SDL2: the demo has no window";
#endif
    for (const char *tool : {"Xvfb", "xdotool", "xwd"})
      if (!OnPath(tool))
        GTEST_SKIP() << tool << " is not installed (the Makefile's deps install it)";
    Folder = fs::path(testing::TempDir()) / ("velgraph-window-" + std::to_string(::getpid()));
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    // Xvfb picks a free display itself and tells its number on the descriptor given.
    Server = std::make_unique<TChildProcess>(std::vector<std::string>{
        "Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-dpi", "96", "-nolisten", "tcp"});
    const auto number = Server->ReadLine(20s);
    ASSERT_TRUE(number && !number->empty()) << "Xvfb did not start";
    Display = "DISPLAY=:" + *number;
    // The demo says whether it opened a window, or why not. A display still busy starting may
    // refuse the first window: one more try.
    std::optional<std::string> opened;
    for (int attempt = 0; attempt < 2 && opened != "velgraph demo: window open"; ++attempt) {
      Demo = std::make_unique<TChildProcess>(std::vector<std::string>{VELGRAPH_DEMO_PATH}, std::vector{Display},
                                             Folder.string(), true);
      opened = Demo->WaitForLine("velgraph demo: ", 20s);
    }
    ASSERT_EQ(opened, "velgraph demo: window open");
    const auto layout = Demo->WaitForLine("paintbox ", 10s);
    ASSERT_TRUE(layout);
    ASSERT_EQ(std::sscanf(layout->c_str(), "paintbox %d %d %d %d", &Box.Left, &Box.Top, &Box.Width, &Box.Height), 4);
    const auto window = ParseWindow(Demo->WaitForLine("window ", 10s));
    ASSERT_TRUE(window);
    First = *window;
    const TRunResult found =
        RunProgram({"xdotool", "search", "--sync", "--onlyvisible", "--name", "^velgraph demo$"}, {Display}, {}, 20s);
    ASSERT_EQ(found.Status, 0) << found.Output;
    WindowId = found.Output.substr(0, found.Output.find('\n'));
  }

  void TearDown() override {
    if (Demo) {
      // q quits; a demo that does not is killed by its destructor. Without a window manager the
      // keyboard follows the pointer, and keys typed through XTEST reach the window like a user's.
      if (!WindowId.empty())
        RunProgram({"xdotool", "mousemove", "--window", WindowId, "20", "20", "key", "q"}, {Display}, {}, 10s);
      EXPECT_EQ(Demo->Wait(10s), 0);
    }
    Demo.reset();
    Server.reset();
    fs::remove_all(Folder);
  }

  void Xdotool(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "xdotool");
    const TRunResult run = RunProgram(arguments, {Display}, {}, 20s);
    ASSERT_EQ(run.Status, 0) << run.Output;
  }

  // What the window shows now.
  TImage Screenshot(const std::string &name) {
    const std::string file = (Folder / (name + ".xwd")).string();
    const TRunResult run = RunProgram({"xwd", "-id", WindowId, "-silent", "-out", file}, {Display}, {}, 20s);
    EXPECT_EQ(run.Status, 0) << run.Output;
    return LoadXwd(file);
  }

  // What the window shows once its drawing area looks like `expected` (the window presents after
  // the demo reports), or after a few seconds of waiting for it.
  TImage ScreenshotLike(const TImage &expected, const std::string &name) {
    TImage shown;
    for (int attempt = 0; attempt < 50; ++attempt) {
      shown = Screenshot(name);
      if (PaintBoxDifference(shown, expected) < Box.Width * Box.Height / 200)
        break;
      std::this_thread::sleep_for(100ms);
    }
    return shown;
  }

  int PaintBoxDifference(const TImage &a, const TImage &b) const {
    if (a.Width < Box.Left + Box.Width || b.Width < Box.Left + Box.Width || a.Height < Box.Top + Box.Height ||
        b.Height < Box.Top + Box.Height)
      return Box.Width * Box.Height;
    return DifferentPixels(a, Box, b, Box.Left, Box.Top);
  }

  // The headless demo's picture of the same world window.
  TImage Rendered(const TWindow &w, const std::string &name) {
    char zoom[200];
    std::snprintf(zoom, sizeof zoom, "%.17g,%.17g,%.17g,%.17g", w.XMin, w.YMin, w.XMax, w.YMax);
    std::vector<std::string> arguments{VELGRAPH_DEMO_PATH, "--headless", name + ".png"};
    if (w.Level > 0)
      arguments.insert(arguments.end(), {"--zoom", zoom});
    const TRunResult run = RunProgram(arguments, {}, Folder.string());
    EXPECT_EQ(run.Status, 0) << run.Output;
    return LoadPng((Folder / (name + ".png")).string());
  }

  // The world point of a paint-box pixel in the window shown.
  static double WorldX(const TWindow &w, const TArea &box, int x) { return w.XMin + x * (w.XMax - w.XMin) / box.Width; }
  static double WorldY(const TWindow &w, const TArea &box, int y) {
    return w.YMin + (box.Height - y) * (w.YMax - w.YMin) / box.Height;
  }

  fs::path Folder;
  std::unique_ptr<TChildProcess> Server, Demo;
  std::string Display, WindowId;
  TArea Box{};
  TWindow First;
};

} // namespace

TEST_F(DemoWindow, LeftDragZoomsToTheBandAndRightClickStepsBack) {
  // The window shows what the headless demo renders.
  const TImage first = Rendered(First, "first");
  const TImage before = ScreenshotLike(first, "before");
  ASSERT_GT(before.Width, 0);
  const int fewPixels = Box.Width * Box.Height / 200;
  EXPECT_LT(PaintBoxDifference(before, first), fewPixels);

  // A band from paint-box pixel (200, 150) to (500, 400), dragged in steps as a hand would.
  const int x1 = 200, y1 = 150, x2 = 500, y2 = 400;
  const auto at = [&](int x, int y) {
    return std::vector<std::string>{"mousemove", "--window", WindowId, std::to_string(Box.Left + x),
                                    std::to_string(Box.Top + y)};
  };
  std::vector<std::string> drag = at(x1, y1);
  drag.insert(drag.end(), {"mousedown", "1"});
  for (int step = 1; step <= 4; ++step) {
    const auto move = at(x1 + (x2 - x1) * step / 4, y1 + (y2 - y1) * step / 4);
    drag.insert(drag.end(), move.begin(), move.end());
  }
  drag.insert(drag.end(), {"mouseup", "1"});
  Xdotool(drag);
  const auto zoomed = ParseWindow(Demo->WaitForLine("window", 10s));
  ASSERT_TRUE(zoomed);
  EXPECT_EQ(zoomed->Level, 1);
  // The band's corners through the first window's mapping, widened to equal scales on one axis:
  // that axis holds the band, the other matches it to a pixel.
  const double bandX1 = WorldX(First, Box, x1), bandX2 = WorldX(First, Box, x2);
  const double bandY1 = WorldY(First, Box, y2), bandY2 = WorldY(First, Box, y1);
  const double pixel = (First.XMax - First.XMin) / Box.Width;
  EXPECT_LE(zoomed->XMin, bandX1 + pixel);
  EXPECT_GE(zoomed->XMax, bandX2 - pixel);
  EXPECT_LE(zoomed->YMin, bandY1 + pixel);
  EXPECT_GE(zoomed->YMax, bandY2 - pixel);
  const bool fitsX = std::abs(zoomed->XMin - bandX1) <= pixel && std::abs(zoomed->XMax - bandX2) <= pixel;
  const bool fitsY = std::abs(zoomed->YMin - bandY1) <= pixel && std::abs(zoomed->YMax - bandY2) <= pixel;
  EXPECT_TRUE(fitsX || fitsY);

  // The window now shows the zoomed graph, as rendered headless for that window, band erased.
  const TImage expected = Rendered(*zoomed, "zoomed");
  const TImage after = ScreenshotLike(expected, "after");
  EXPECT_GT(PaintBoxDifference(before, after), Box.Width * Box.Height / 4);
  EXPECT_LT(PaintBoxDifference(after, expected), fewPixels);

  Xdotool(at(300, 300));
  Xdotool({"click", "3"});
  const auto back = ParseWindow(Demo->WaitForLine("window", 10s));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Level, 0);
  const double tolerance = 1e-9 * (First.XMax - First.XMin);
  EXPECT_NEAR(back->XMin, First.XMin, tolerance);
  EXPECT_NEAR(back->XMax, First.XMax, tolerance);
  EXPECT_NEAR(back->YMin, First.YMin, tolerance);
  EXPECT_NEAR(back->YMax, First.YMax, tolerance);
  EXPECT_LT(PaintBoxDifference(ScreenshotLike(first, "back"), first), fewPixels);
}
