// The sample application: a world graph with both rulers above a status line. With a display it
// is a window to zoom, measure and print in; without one it renders the graph to demo.png (and
// prints it to demo.pdf with --print). Run with --help for the options and the keys.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include <memory>
#include <platform/host/HeadlessHost.h>
#include <platform/host/SdlHost.h>

#include "DemoController.h"
#include "DemoEmf.h"
#include "DemoPicture.h"
#include "DemoScene.h"

using namespace Platform;

namespace {

struct TArguments {
  Demo::TDemoOptions Options;
  std::string Output = "demo.png";
  double Zoom[4] = {};
  bool Zoomed = false;
  bool Print = false;
  bool Emf = false;
  bool Headless = false;
  bool Help = false;
};

const char Usage[] =
    "usage: velgraph-demo [output.png] [--zoom x1,y1,x2,y2] [--print] [--emf] [--picture FILE] [--headless]\n";

void PrintHelp() {
  std::printf("%s\n"
              "With a display, a window showing a world graph; without one (or with --headless) the graph\n"
              "rendered to output.png (demo.png by default).\n"
              "  --zoom x1,y1,x2,y2  start zoomed to that world window\n"
              "  --print             also print the graph with its rulers to demo.pdf\n"
              "  --emf               also write the drawing as an enhanced metafile, demo.emf\n"
              "  --picture FILE      show this picture (BMP, PNG, ...) under the drawing; the L key hides and\n"
              "                      shows it (without this option, a picture the demo makes)\n"
              "  --headless          render to output.png even with a display\n"
              "\nIn the window:\n%s",
              Usage, Demo::TDemoController::Help().c_str());
}

// False (after saying why) when the arguments make no sense.
bool ParseArguments(int argc, char **argv, TArguments &arguments) {
  for (int i = 1; i < argc; ++i) {
    const char *argument = argv[i];
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argument, "--print") == 0) {
      arguments.Print = true;
    } else if (std::strcmp(argument, "--emf") == 0) {
      arguments.Emf = true;
    } else if (std::strcmp(argument, "--headless") == 0) {
      arguments.Headless = true;
    } else if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
      arguments.Help = true;
    } else if (std::strcmp(argument, "--zoom") == 0 && hasValue) {
      double *z = arguments.Zoom;
      if (std::sscanf(argv[++i], "%lf,%lf,%lf,%lf", &z[0], &z[1], &z[2], &z[3]) != 4) {
        std::fprintf(stderr, "velgraph demo: --zoom takes x1,y1,x2,y2\n");
        return false;
      }
      arguments.Zoomed = true;
    } else if (std::strcmp(argument, "--picture") == 0 && hasValue) {
      arguments.Options.PictureFile = argv[++i];
    } else if (argument[0] == '-') {
      std::fprintf(stderr, "velgraph demo: unknown option %s\n%s", argument, Usage);
      return false;
    } else {
      arguments.Output = argument;
    }
  }
  return true;
}

// Paints until the layout has settled: a paint that moves the rulers asks for the places they
// left to be painted again.
void Settle(THeadlessHost &host) {
  for (int round = 0; round < 4 && host.ProcessPaints() > 0; ++round) {
  }
}

void WriteEmf(Demo::TDemoController &demo, const TArguments &arguments) {
  if (!arguments.Emf)
    return;
  WriteDemoEmf(demo.Graph(), "demo.emf");
  std::printf("velgraph demo: wrote demo.emf\n");
}

int RenderHeadless(Demo::TDemoController &demo, const TArguments &arguments) {
  THeadlessHost host(demo.Form());
  Settle(host);
  host.Present();
  host.Presented().SaveToPngFile(arguments.Output);
  std::printf("velgraph demo: wrote %s (%d x %d)\n", arguments.Output.c_str(), demo.Form().Width(),
              demo.Form().Height());
  demo.ReportLayout();
  if (arguments.Print) {
    PrintDemo(demo.Graph(), demo.Picture(), "demo.pdf");
    std::printf("velgraph demo: wrote demo.pdf\n");
  }
  WriteEmf(demo, arguments);
  return 0;
}

// Without a display SDL still opens a window, off the screen where nobody sees it, and the demo
// would wait for a user who cannot reach it. So a display is looked for first, and SDL is held
// to the drivers of real displays (unless the user chose a driver).
bool DisplayPresent() {
  const char *x11 = std::getenv("DISPLAY"), *wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

std::unique_ptr<TSdlHost> OpenWindow(Demo::TDemoController &demo, const TArguments &arguments, std::string &reason) {
  if (arguments.Headless) {
    reason = "--headless";
    return nullptr;
  }
  if (!DisplayPresent()) {
    reason = "no display: DISPLAY and WAYLAND_DISPLAY are not set";
    return nullptr;
  }
  ::setenv("SDL_VIDEODRIVER", "x11,wayland", 0);
  return TSdlHost::Open(demo.Form(), &reason);
}

// The window, until the user quits or closes it. The first lines say it is open and give the
// layout, once the first picture is on show.
int RunWindow(Demo::TDemoController &demo, TSdlHost &window, const TArguments &arguments) {
  // A paint that moves the rulers asks for more: the layout settles in a few rounds.
  for (int round = 0; round < 8 && window.ProcessEvents(0) && window.NeedsRepaint(); ++round) {
  }
  std::printf("velgraph demo: window open\n");
  demo.ReportLayout();
  if (arguments.Print)
    demo.KeyDown(Demo::KeyPrint, {});
  WriteEmf(demo, arguments);
  while (!demo.QuitRequested() && window.ProcessEvents(window.NeedsRepaint() ? 0 : 100)) {
  }
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  TArguments arguments;
  if (!ParseArguments(argc, argv, arguments))
    return 2;
  if (arguments.Help) {
    PrintHelp();
    return 0;
  }
  // The reports are read line by line by whoever runs the demo.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  try {
    Demo::TDemoController demo(arguments.Options);
    demo.OnReport = [](const std::string &line) { std::printf("%s\n", line.c_str()); };
    if (arguments.Zoomed) {
      demo.Graph().Paint(); // records the unzoomed home window, which the picture covers
      demo.Graph().IncreaseZoom(arguments.Zoom[0], arguments.Zoom[1], arguments.Zoom[2], arguments.Zoom[3]);
    }
    std::string reason;
    if (std::unique_ptr<TSdlHost> window = OpenWindow(demo, arguments, reason))
      return RunWindow(demo, *window, arguments);
    if (!arguments.Headless)
      std::fprintf(stderr, "velgraph demo: no window (%s), so the graph goes to %s\n", reason.c_str(),
                   arguments.Output.c_str());
    return RenderHeadless(demo, arguments);
  } catch (const std::exception &e) {
    std::fprintf(stderr, "velgraph demo: %s\n", e.what());
    return 1;
  }
}
