#include <gtest/gtest.h>

#include "../controls/ControlProbe.h"
#include <cstdlib>
#include <platform/host/EmbeddedHost.h>
#include <platform/host/SdlHost.h>
#include <platform/win32/Cursor.h>
#include <vector>

using namespace Platform;
using Probe::Log;

namespace {

constexpr std::uint32_t Untouched = 0x12345678;

// An application's buffer, wider than it needs to be, filled with a value the host never writes.
struct TAppBuffer {
  int Width, Height, Stride;
  std::vector<std::uint32_t> Pixels;
  TAppBuffer(int width, int height) : Width(width), Height(height), Stride(width + 3) {
    Pixels.assign(static_cast<std::size_t>(Stride) * static_cast<std::size_t>(height), Untouched);
  }
  std::uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y * Stride + x)]; }
  TRect RenderFrom(TEmbeddedHost &host, bool whole = false) {
    return host.RenderTo(Pixels.data(), Width, Height, Stride, whole);
  }
};

std::uint32_t Opaque(TColor color) { return 0xFF000000u | ColorToPixel(color); }

// A form whose paint box "box" at (10, 5), 20 x 10, fills itself with Fill.
struct TEmbedScene {
  Log Events;
  TForm Form{nullptr};
  Probe::TProbeBox *Box = new Probe::TProbeBox(&Form, &Form, "box", Events);
  TEmbeddedHost Host{Form};
  TColor Fill = clYellow;
  TEmbedScene() {
    Form.SetColor(clNavy);
    Box->SetBounds(10, 5, 20, 10);
    Box->OnPaint = [this](TObject *) {
      Box->Canvas()->Brush().SetColor(Fill);
      Box->Canvas()->FillRect(Box->ClientRect());
    };
    Host.Resize(40, 30);
  }
};

} // namespace

TEST(EmbeddedHost, RendersWhatChangedIntoTheApplicationsBufferAndThenNeedsNothing) {
  TEmbedScene s;
  TAppBuffer app(40, 30);
  EXPECT_TRUE(s.Host.NeedsRepaint());
  EXPECT_EQ(app.RenderFrom(s.Host), (TRect{0, 0, 40, 30}));
  EXPECT_EQ(app.At(0, 0), Opaque(clNavy));
  EXPECT_EQ(app.At(10, 5), Opaque(clYellow));
  EXPECT_EQ(app.At(29, 14), Opaque(clYellow));
  EXPECT_EQ(app.At(30, 15), Opaque(clNavy));
  EXPECT_EQ(app.At(40, 0), Untouched); // past the width, inside the stride
  EXPECT_FALSE(s.Host.NeedsRepaint());
  EXPECT_EQ(s.Host.Render(), TRect{});

  // A press that makes the box repaint in another colour: only the box is copied.
  s.Box->OnMouseDown = [&](TObject *, TMouseButton, TShiftState, int, int) {
    s.Fill = clRed;
    s.Box->Invalidate();
  };
  s.Host.MouseDown(12, 7);
  EXPECT_TRUE(s.Host.NeedsRepaint());
  app.Pixels.assign(app.Pixels.size(), Untouched);
  EXPECT_EQ(app.RenderFrom(s.Host), (TRect{10, 5, 30, 15}));
  EXPECT_EQ(app.At(10, 5), Opaque(clRed));
  EXPECT_EQ(app.At(9, 5), Untouched);
  EXPECT_FALSE(s.Host.NeedsRepaint());

  // Drawing straight onto the canvas, outside any paint, counts as a change too.
  s.Box->OnMouseMove = [&](TObject *, TShiftState, int x, int y) { s.Box->Canvas()->SetPixels(x, y, clLime); };
  s.Host.MouseMove(15, 9);
  EXPECT_TRUE(s.Host.NeedsRepaint());
  EXPECT_EQ(app.RenderFrom(s.Host), (TRect{15, 9, 16, 10}));
  EXPECT_EQ(app.At(15, 9), Opaque(clLime));
  // Asking for everything copies everything, changed or not.
  EXPECT_EQ(app.RenderFrom(s.Host, true), (TRect{0, 0, 40, 30}));
}

TEST(EmbeddedHost, ResizingRepaintsEverythingAtTheNewSizeWithAlignedControlsFollowing) {
  TEmbedScene s;
  s.Host.Render();
  s.Box->SetAlign(alClient);
  s.Host.Resize(64, 48);
  EXPECT_EQ(s.Box->BoundsRect(), (TRect{0, 0, 64, 48}));
  EXPECT_TRUE(s.Host.NeedsRepaint());
  EXPECT_EQ(s.Host.Render(), (TRect{0, 0, 64, 48}));
  const TRasterSurface pixels = s.Host.Pixels();
  ASSERT_EQ(pixels.Width, 64);
  ASSERT_EQ(pixels.Height, 48);
  EXPECT_EQ(PixelToColor(pixels.Row(47)[63]), clYellow);
  s.Host.Resize(-5, 10); // counts as nothing wide
  EXPECT_EQ(s.Form.Width(), 0);
  EXPECT_TRUE(s.Host.Pixels().IsEmpty());
}

TEST(EmbeddedHost, CopiesOnlyWhereTheBufferAndTheFormOverlapAndRefusesBadBuffers) {
  TEmbedScene s;
  TAppBuffer small(15, 8);
  EXPECT_EQ(small.RenderFrom(s.Host, true), (TRect{0, 0, 15, 8}));
  EXPECT_EQ(small.At(14, 7), Opaque(clYellow));
  std::uint32_t one = Untouched;
  EXPECT_EQ(s.Host.RenderTo(nullptr, 40, 30, 40, true), TRect{});
  EXPECT_EQ(s.Host.RenderTo(&one, 1, 1, 0, true), TRect{}); // stride shorter than a row
  EXPECT_EQ(s.Host.RenderTo(&one, 0, 1, 1, true), TRect{});
  EXPECT_EQ(one, Untouched);
}

TEST(EmbeddedHost, ThePointerLeavesAndIsWarpedThroughTheApplication) {
  TEmbedScene s;
  s.Form.SetBounds(100, 200, 40, 30);
  std::vector<TPoint> warps;
  s.Host.OnWarpPointer = [&](TPoint p) { warps.push_back(p); };
  s.Host.MouseMove(11, 6);
  s.Host.MouseLeave();
  EXPECT_TRUE(SetCursorPos(115, 209));
  EXPECT_EQ(warps, (std::vector<TPoint>{{15, 9}}));
  s.Host.MouseMove(15, 9); // the application's pointer reporting the warp: already delivered
  s.Host.MouseMove(15, 9); // a real move afterwards
  std::erase(s.Events, "box paint");
  EXPECT_EQ(s.Events, (Log{"box enter", "box move 1,1", "box leave", "box enter", "box move 5,4", "box move 5,4"}));
}

TEST(EmbeddedHost, TheDesktopHostIsNothingWithoutADisplay) {
  const char *display = std::getenv("DISPLAY");
  const std::string saved = display ? display : "";
  unsetenv("DISPLAY");
  setenv("SDL_VIDEODRIVER", "x11", 1);
  TForm form(nullptr);
  std::string reason;
  EXPECT_EQ(TSdlHost::Open(form, &reason), nullptr);
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(TSdlHost::Open(form), nullptr);
  unsetenv("SDL_VIDEODRIVER");
  if (display)
    setenv("DISPLAY", saved.c_str(), 1);
}
