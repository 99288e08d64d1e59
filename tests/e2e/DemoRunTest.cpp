// The demo program run as a user runs it without a display: the picture and the printed page it
// writes, looked at as pixels.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "ChildProcess.h"
#include "DemoImages.h"

using namespace E2e;
namespace fs = std::filesystem;

namespace {

// A scratch folder of its own for each test, removed afterwards.
class DemoRun : public testing::Test {
protected:
  DemoRun() {
    Folder = fs::path(testing::TempDir()) / ("velgraph-e2e-" + std::to_string(::getpid()) + "-" +
                                             testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Folder);
    fs::create_directories(Folder);
  }
  ~DemoRun() override { fs::remove_all(Folder); }

  TRunResult Demo(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), VELGRAPH_DEMO_PATH);
    // No display: the headless render, as on a server.
    return RunProgram(arguments, {"DISPLAY=", "WAYLAND_DISPLAY="}, Folder.string());
  }

  fs::path Folder;
};

// The graph's drawing area in the demo's picture: inside the rulers, above the status line.
constexpr TArea Drawing{80, 70, 860, 560};

} // namespace

TEST_F(DemoRun, WritesThePictureOfTheGraph) {
  const TRunResult run = Demo({});
  ASSERT_EQ(run.Status, 0) << run.Output;
  EXPECT_NE(run.Output.find("wrote demo.png"), std::string::npos) << run.Output;
  const TImage image = LoadPng((Folder / "demo.png").string());
  ASSERT_EQ(image.Width, 960);
  ASSERT_EQ(image.Height, 680);
  // The coloured mesh fills a good part of the drawing; rulers, markers and text add ink.
  EXPECT_GT(ColouredPixels(image, Drawing), Drawing.Width * Drawing.Height / 10);
  EXPECT_GT(InkedPixels(image, {80, 12, 860, 45}), 200); // the horizontal ruler's ticks and labels
  EXPECT_FALSE(fs::exists(Folder / "demo.pdf"));
}

TEST_F(DemoRun, ZoomOptionShowsTheAskedWindowWidenedToEqualScales) {
  const TRunResult run = Demo({"zoomed.png", "--zoom", "10,7,2,2"});
  ASSERT_EQ(run.Status, 0) << run.Output;
  double x1, x2, y1, y2;
  int level;
  // A line of its own, not the note that there is no window.
  const auto at = run.Output.find("\nwindow ") + 1;
  ASSERT_NE(at, 0u) << run.Output;
  ASSERT_EQ(std::sscanf(run.Output.c_str() + at, "window %lf %lf %lf %lf level %d", &x1, &x2, &y1, &y2, &level), 5);
  EXPECT_EQ(level, 1);
  // The drawing area is wider than the asked window: y is widened about its middle.
  EXPECT_DOUBLE_EQ(x1, 2);
  EXPECT_DOUBLE_EQ(x2, 10);
  EXPECT_LT(y1, 2);
  EXPECT_GT(y2, 7);
  EXPECT_NEAR((y1 + y2) / 2, 4.5, 1e-9);
  const TImage zoomed = LoadPng((Folder / "zoomed.png").string());
  ASSERT_EQ(zoomed.Width, 960);
  // Zoomed into the mesh, the coloured elements cover most of the drawing.
  EXPECT_GT(ColouredPixels(zoomed, Drawing), Drawing.Width * Drawing.Height / 2);
}

TEST_F(DemoRun, PrintWritesAPdfWhosePageShowsTheGraph) {
  if (!OnPath("pdftoppm"))
    GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
  const TRunResult run = Demo({"--print"});
  ASSERT_EQ(run.Status, 0) << run.Output;
  ASSERT_TRUE(fs::exists(Folder / "demo.pdf")) << run.Output;
  const TRunResult rendered =
      RunProgram({"pdftoppm", "-r", "50", "-png", "-singlefile", "demo.pdf", "page"}, {}, Folder.string());
  ASSERT_EQ(rendered.Status, 0) << rendered.Output;
  const TImage page = LoadPng((Folder / "page.png").string());
  // A4 at 50 dots per inch.
  ASSERT_NEAR(page.Width, 413, 1);
  ASSERT_NEAR(page.Height, 585, 1);
  const TArea whole{0, 0, page.Width, page.Height};
  const TArea top{0, 0, page.Width, page.Height / 2}, bottom{0, page.Height / 2, page.Width, page.Height / 2};
  // The graph sits at the top of the page, its mesh in colour; the lower half stays blank.
  EXPECT_GT(ColouredPixels(page, top), 2000);
  EXPECT_GT(InkedPixels(page, whole), 4000);
  EXPECT_EQ(InkedPixels(page, bottom), 0);
}

TEST_F(DemoRun, BadArgumentsAndUnwritableFilesFailWithAMessage) {
  const struct {
    std::vector<std::string> Arguments;
    int Status;
    const char *Says;
  } cases[] = {
      {{"--zoom", "1,2"}, 2, "--zoom takes x1,y1,x2,y2"},
      {{"--frobnicate"}, 2, "unknown option --frobnicate"},
      {{"/nonexistent-folder/demo.png"}, 1, "nonexistent-folder"},
  };
  for (const auto &c : cases) {
    const TRunResult run = RunProgram(
        [&] {
          std::vector<std::string> a{VELGRAPH_DEMO_PATH, "--headless"};
          a.insert(a.end(), c.Arguments.begin(), c.Arguments.end());
          return a;
        }(),
        {"DISPLAY="}, Folder.string());
    EXPECT_EQ(run.Status, c.Status) << c.Says;
    EXPECT_NE(run.Output.find(c.Says), std::string::npos) << run.Output;
  }
  const TRunResult help = Demo({"--help"});
  EXPECT_EQ(help.Status, 0);
  EXPECT_NE(help.Output.find("shift-left-drag"), std::string::npos) << help.Output;
}
