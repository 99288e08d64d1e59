#include <gtest/gtest.h>

#include <numeric>
#include <platform/fonts/FontEngine.h>
#include <platform/graphics/Canvas.h>
#include <platform/graphics/raster/RasterDevice.h>
#include <platform/graphics/recording/RecordingDevice.h>
#include <platform/pictures/Bitmap.h>

using namespace Platform;
using namespace Platform::Fonts;

namespace {

TFontSpec Arial(int size, TFontStyles style = {}) {
  TFontSpec font;
  font.Name = "arial";
  font.Size = size;
  font.Style = style;
  return font;
}

int SumOfAdvances(const TGlyphRun &run) {
  return std::accumulate(run.Glyphs.begin(), run.Glyphs.end(), 0,
                         [](int sum, const TGlyphPlacement &g) { return sum + g.Advance; });
}

// Answers every measurement with fixed figures, to show whose measurement a canvas uses.
struct TFixedMeasure : TRecordingDevice {
  TSize TextExtent(const TFontSpec &, std::string_view text) override {
    return {static_cast<int>(text.size()) * 7, 19};
  }
  TTextMetrics TextMetrics(const TFontSpec &) override { return {15, 4}; }
};

} // namespace

TEST(GlyphRun, TheGlyphsTextIsDrawnWithAndTheirFace) {
  TFontEngine &engine = TFontEngine::Instance();
  for (int ppi : {96, 144}) {
    // UTF-8 é and the euro sign, a stray byte read as Latin-1, and a private-use character no
    // face has.
    const std::string text = "AVA\xC3\xA9\xE2\x82\xAC\xB5\xEE\x80\x80";
    const TGlyphRun run = engine.GlyphRun(Arial(11), ppi, text);
    ASSERT_EQ(run.Glyphs.size(), 7u);
    EXPECT_EQ(SumOfAdvances(run), engine.TextExtent(Arial(11), ppi, text).cx);
    EXPECT_EQ(run.Glyphs[0], run.Glyphs[2]);
    EXPECT_NE(run.Glyphs[0].Index, run.Glyphs[1].Index);
    for (std::size_t i = 0; i < 6; ++i)
      EXPECT_NE(run.Glyphs[i].Index, 0u) << i;
    EXPECT_EQ(run.Glyphs[6].Index, 0u);
    EXPECT_EQ(run.File, engine.Describe(Arial(11)).File);
    EXPECT_EQ(run.PixelSize, PointsToPixels(11, ppi));
    EXPECT_EQ(run.Metrics.Height(), engine.TextExtent(Arial(11), ppi, "").cy);
  }
  // Styles and angles the engine makes itself are named, so another backend makes them too.
  TFontSpec rotated = Arial(9, {fsBold});
  rotated.Escapement = -900;
  const TGlyphRun turned = engine.GlyphRun(rotated, 96, "x");
  EXPECT_EQ(turned.Angle, 2700);
  EXPECT_EQ(turned.SyntheticBold, engine.Describe(rotated).SyntheticBold);
  EXPECT_TRUE(engine.GlyphRun(Arial(9), 96, "").Glyphs.empty());
}

TEST(DeviceText, TheDeviceThatDrawsMeasures) {
  TBitmap screen(10, 10), printer(10, 10);
  printer.SetPixelsPerInch(300);
  TRecordingDevice recording(300);
  TCanvas recorder(&recording);
  for (TCanvas *c : {screen.Canvas(), printer.Canvas(), &recorder}) {
    c->Font().SetName("arial");
    c->Font().SetSize(10);
  }
  const TSize onScreen = screen.Canvas()->TextExtent("Height 12");
  const TSize onPrinter = printer.Canvas()->TextExtent("Height 12");
  EXPECT_EQ(onScreen, TFontEngine::Instance().TextExtent(Arial(10), 96, "Height 12"));
  EXPECT_EQ(onPrinter, TFontEngine::Instance().TextExtent(Arial(10), 300, "Height 12"));
  EXPECT_GT(onPrinter.cx, onScreen.cx * 3 - 9);
  // A recording lays text out as a raster device of its resolution does.
  EXPECT_EQ(recorder.TextExtent("Height 12"), onPrinter);
  EXPECT_EQ(recorder.TextMetrics(), printer.Canvas()->TextMetrics());
  // Ascent and descent apart, adding up to the height.
  const TTextMetrics metrics = screen.Canvas()->TextMetrics();
  EXPECT_GT(metrics.Ascent, metrics.Descent);
  EXPECT_GT(metrics.Descent, 0);
  EXPECT_EQ(metrics.Height(), onScreen.cy);
  // Whatever the device answers is what the canvas reports.
  TFixedMeasure fixed;
  TCanvas measured(&fixed);
  EXPECT_EQ(measured.TextWidth("abc"), 21);
  EXPECT_EQ(measured.TextHeight("abc"), 19);
  EXPECT_EQ(measured.TextMetrics(), (TTextMetrics{15, 4}));
}
