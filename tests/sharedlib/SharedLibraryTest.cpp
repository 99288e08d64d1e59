#include <gtest/gtest.h>

#include "plugin/DrawingPlugin.h"
#include <cstring>
#include <dlfcn.h>
#include <platform/controls/Application.h>
#include <platform/controls/Screen.h>
#include <platform/fonts/FontEngine.h>
#include <platform/pictures/Bitmap.h>
#include <platform/rtl/Exceptions.h>
#include <platform/win32/GdiObjects.h>
#include <wgraph/Wgraph.h>

using namespace Platform;

namespace {

class SharedLibrary : public testing::Test {
protected:
  void SetUp() override {
    FPlugin = dlopen(VELGRAPH_TEST_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(FPlugin, nullptr) << dlerror();
  }
  void TearDown() override {
    if (FPlugin)
      dlclose(FPlugin);
  }
  template <typename F> F Find(const char *name) {
    void *symbol = dlsym(FPlugin, name);
    EXPECT_NE(symbol, nullptr) << name;
    return reinterpret_cast<F>(symbol);
  }

  void *FPlugin = nullptr;
};

// A rotated copy of a 14-point Arial, as the vertical axis title uses.
HFONT RotatedFont() {
  TFont font;
  font.SetName("arial");
  font.SetSize(14);
  LOGFONTA description = font.LogFont();
  description.lfEscapement = 900;
  return CreateFontIndirectA(&description);
}

} // namespace

TEST_F(SharedLibrary, ProcessWideObjectsExistOnce) {
  const TPluginView view = Find<TPluginViewFunction>("PluginView")();
  EXPECT_EQ(view.Screen, &Screen());
  EXPECT_EQ(view.Application, &Application());
  EXPECT_EQ(view.FontEngine, &Fonts::TFontEngine::Instance());
  EXPECT_EQ(view.WorldMapping, &Wgraph::aa);
}

TEST_F(SharedLibrary, PluginDrawsWithAFontHandleMadeHere) {
  const HFONT font = RotatedFont();
  ASSERT_NE(font, nullptr);
  TBitmap viaPlugin(100, 100), direct(100, 100);
  ASSERT_TRUE(Find<TPluginDrawFunction>("PluginDraw")(&viaPlugin, font, "Up"));

  const HDC dc = CanvasHandle(*direct.Canvas());
  const HGDIOBJ previous = SelectObject(dc, font);
  direct.Canvas()->TextOut(10, 80, "Up");
  SelectObject(dc, previous);

  int inked = 0;
  for (int y = 0; y < 100; ++y) {
    ASSERT_EQ(std::memcmp(viaPlugin.ScanLine(y), direct.ScanLine(y), 100 * sizeof(std::uint32_t)), 0) << "row " << y;
    for (int x = 0; x < 100; ++x)
      inked += viaPlugin.ScanLine(y)[x] != 0xFFFFFF;
  }
  EXPECT_GT(inked, 20);
  // The plugin selected the font out again in the one handle table, so it can go.
  EXPECT_TRUE(DeleteObject(font));
  // A picture that is not a bitmap is told apart through the library's type information.
  struct TNotABitmap : TGraphic {
    int Width() const override { return 1; }
    int Height() const override { return 1; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    void Draw(TCanvas &, const TRect &) const override {}
  } other;
  const HFONT another = RotatedFont();
  EXPECT_FALSE(Find<TPluginDrawFunction>("PluginDraw")(&other, another, "x"));
  EXPECT_TRUE(DeleteObject(another));
}

TEST_F(SharedLibrary, ExceptionsFromThePluginAreTheLibrarysTypes) {
  try {
    Find<TPluginThrowFunction>("PluginThrow")();
    FAIL() << "nothing raised";
  } catch (const EInvalidGraphic &error) {
    EXPECT_STREQ(error.what(), "raised in the plugin");
  }
}
