#include <gtest/gtest.h>

#include "controls/ControlProbe.h"
#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <platform/controls/Screen.h>
#include <platform/host/SdlHost.h>
#include <platform/win32/Cursor.h>

using namespace Platform;
using Probe::Log;

namespace {

// Runs xdotool with the arguments and returns what it printed.
std::string Xdo(const std::string &args) {
  std::string out;
  if (FILE *pipe = popen(("xdotool " + args + " 2>&1").c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
      out += buffer;
    pclose(pipe);
  }
  return out;
}

// What the display shows at a screen pixel, 0xRRGGBB.
std::uint32_t ScreenPixel(int x, int y) {
  Display *display = XOpenDisplay(nullptr);
  if (!display)
    return 0xFFFFFFFF;
  XImage *image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
  const std::uint32_t pixel = image ? static_cast<std::uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFF : 0xFFFFFFFF;
  if (image)
    XDestroyImage(image);
  XCloseDisplay(display);
  return pixel;
}

// A form 200 x 150 in navy with the yellow paint box "box" at (20, 20), 50 x 40, in a window.
struct TWindowScene {
  Log Events;
  TForm Form{nullptr};
  Probe::TProbeBox *Box = new Probe::TProbeBox(&Form, &Form, "box", Events);
  std::unique_ptr<TSdlHost> Host;

  TWindowScene() {
    Form.SetBounds(0, 0, 200, 150);
    Form.SetColor(clNavy);
    Form.SetCaption("velgraph window test");
    Box->SetBounds(20, 20, 50, 40);
    Box->OnPaint = [this](TObject *) {
      Box->Canvas()->Brush().SetColor(clYellow);
      Box->Canvas()->FillRect(Box->ClientRect());
    };
    std::string reason;
    Host = TSdlHost::Open(Form, &reason);
    EXPECT_TRUE(Host) << reason;
    if (Host)
      Pump([&] { return Xdo("search --onlyvisible --name 'velgraph window test'").find_first_of("0123456789") == 0; });
  }

  // Handles events until the condition holds or two seconds pass.
  bool Pump(const std::function<bool()> &done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < until) {
      if (!Host->ProcessEvents(20))
        return done();
      if (done())
        return true;
    }
    return false;
  }
  // Handles what the display sends in the next moment.
  void Settle() {
    for (int i = 0; i < 5; ++i)
      Host->ProcessEvents(20);
  }
  // The screen position of a form pixel.
  std::string At(int x, int y) const { return std::to_string(Form.Left() + x) + " " + std::to_string(Form.Top() + y); }
  bool Logged(const std::string &line) const { return std::ranges::find(Events, line) != Events.end(); }
  Log Take() { return std::exchange(Events, {}); }
};

} // namespace

TEST(Window, ShowsTheFormOnADisplayWhoseSizeAndResolutionItReports) {
  TWindowScene s;
  ASSERT_TRUE(s.Host);
  EXPECT_EQ(Platform::Screen().Metrics(), (TDisplayMetrics{1600, 1000, 120}));
  const auto shows = [&](int x, int y, TColor color) {
    return PixelToColor(ScreenPixel(s.Form.Left() + x, s.Form.Top() + y)) == color;
  };
  EXPECT_TRUE(s.Pump([&] { return shows(30, 30, clYellow) && shows(5, 5, clNavy) && shows(199, 149, clNavy); }));
  // Drawing outside a paint reaches the window too.
  s.Form.Canvas()->Brush().SetColor(clRed);
  s.Form.Canvas()->FillRect({150, 100, 160, 110});
  EXPECT_TRUE(s.Pump([&] { return shows(155, 105, clRed); }));
}

TEST(Window, APressAndADragOutOfTheWindowStayWithTheControlUnderTheRealPointer) {
  TWindowScene s;
  ASSERT_TRUE(s.Host);
  Xdo("mousemove " + s.At(30, 40) + " mousedown 1");
  ASSERT_TRUE(s.Pump([&] { return s.Logged("box down 10,20 b0"); }));
  EXPECT_EQ(s.Host->Input().Capture(), s.Box);
  Xdo("mousemove " + s.At(260, 180));
  ASSERT_TRUE(s.Pump([&] { return s.Logged("box move 240,160"); }));
  Xdo("mouseup 1");
  ASSERT_TRUE(s.Pump([&] { return s.Logged("box up 240,160 b0"); }));
  EXPECT_EQ(std::ranges::find_if(s.Events, [](const std::string &e) { return e != "box paint"; }) - s.Events.begin(),
            std::ranges::find(s.Events, "box enter") - s.Events.begin());
  EXPECT_FALSE(s.Logged("box click")); // released away from the box
  EXPECT_EQ(s.Host->Input().Capture(), nullptr);
  EXPECT_EQ(s.Host->Input().MouseControl(), nullptr);
  s.Take();
  // A click inside, too far from the first press to make a double click: entered and clicked.
  Xdo("mousemove " + s.At(65, 55) + " click 1");
  ASSERT_TRUE(s.Pump([&] { return s.Logged("box up 45,35 b0"); }));
  EXPECT_EQ(s.Take(), (Log{"box enter", "box move 45,35", "box down 45,35 b0", "box click", "box up 45,35 b0"}));
}

TEST(Window, SetCursorPosMovesTheRealPointerAndDeliversTheMoveOnce) {
  TWindowScene s;
  ASSERT_TRUE(s.Host);
  Xdo("mousemove " + s.At(150, 100));
  s.Settle();
  s.Take();
  const TPoint target = s.Box->ClientToScreen({12, 13});
  ASSERT_TRUE(SetCursorPos(target.X, target.Y));
  EXPECT_EQ(s.Take(), (Log{"box enter", "box move 12,13"}));
  s.Settle();
  EXPECT_EQ(s.Take(), Log{}); // the display's echo of the warp is not a second move
  TPoint real{-1, -1};
  EXPECT_EQ(std::sscanf(Xdo("getmouselocation").c_str(), "x:%d y:%d", &real.X, &real.Y), 2);
  EXPECT_EQ(real, target);
  Xdo("mousemove " + s.At(33, 34));
  ASSERT_TRUE(s.Pump([&] { return s.Logged("box move 13,14"); }));
}

TEST(Window, KeysArriveAsVirtualKeysWithTheirModifiers) {
  TWindowScene s;
  ASSERT_TRUE(s.Host);
  Log keys;
  // xdotool lets go of the modifiers before the key, and types a keypad digit with NumLock on:
  // the test follows the keys pressed and the modifiers held while pressing them.
  s.Form.OnKeyDown = [&](TObject *, WORD &key, TShiftState shift) {
    if (key != VK_SHIFT && key != VK_CONTROL && key != VK_NUMLOCK)
      keys.push_back("down " + std::to_string(key) + (shift.Contains(ssShift) ? "S" : "") +
                     (shift.Contains(ssCtrl) ? "C" : ""));
  };
  s.Form.OnKeyUp = [&](TObject *, WORD &key, TShiftState) {
    if (key != VK_SHIFT && key != VK_CONTROL && key != VK_NUMLOCK)
      keys.push_back("up " + std::to_string(key));
  };
  Xdo("mousemove " + s.At(100, 100));
  Xdo("key a shift+b ctrl+F1 Escape Left KP_5");
  ASSERT_TRUE(s.Pump([&] { return keys.size() >= 12; }));
  EXPECT_EQ(keys, (Log{"down 65", "up 65", "down 66S", "up 66", "down 112C", "up 112", "down 27", "up 27", "down 37",
                       "up 37", "down 101", "up 101"}));
}

TEST(Window, ResizingTheWindowResizesTheFormAndTheControlsAlignedInIt) {
  TWindowScene s;
  ASSERT_TRUE(s.Host);
  auto *status = new TPaintBox(&s.Form);
  status->SetParent(&s.Form);
  status->SetHeight(20);
  status->SetAlign(alBottom);
  status->OnPaint = [&](TObject *) {
    status->Canvas()->Brush().SetColor(clLime);
    status->Canvas()->FillRect(status->ClientRect());
  };
  const std::string window = Xdo("search --onlyvisible --name 'velgraph window test'");
  Xdo("windowsize " + window.substr(0, window.find('\n')) + " 320 240");
  ASSERT_TRUE(s.Pump([&] { return s.Form.Width() == 320 && s.Form.Height() == 240; }));
  EXPECT_EQ(status->BoundsRect(), (TRect{0, 220, 320, 240}));
  EXPECT_TRUE(s.Pump([&] { return PixelToColor(ScreenPixel(s.Form.Left() + 310, s.Form.Top() + 235)) == clLime; }));
}

TEST(Window, ClosingTheWindowDuringADragEndsTheLoopWithTheCaptureReleased) {
  TWindowScene s;
  ASSERT_TRUE(s.Host);
  Xdo("mousemove " + s.At(30, 30) + " mousedown 1");
  ASSERT_TRUE(s.Pump([&] { return s.Host->Input().Capture() == s.Box; }));
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  close.window.windowID = s.Host->WindowId();
  SDL_PushEvent(&close);
  s.Host->Run(); // returns once the close arrives
  EXPECT_TRUE(s.Host->Closed());
  EXPECT_FALSE(s.Host->ProcessEvents(0));
  EXPECT_EQ(s.Host->Input().Capture(), nullptr);
  EXPECT_TRUE(s.Host->Input().Buttons().Empty());
  EXPECT_EQ(s.Events.back(), "box leave");
  EXPECT_FALSE(s.Logged("box up 10,10 b0"));
  Xdo("mouseup 1");
}
