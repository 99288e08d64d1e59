#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <platform/fonts/FontEngine.h>
#include <platform/fonts/Utf8.h>
#include <platform/graphics/Canvas.h>
#include <platform/graphics/RecordingDevice.h>

using namespace Platform;
using namespace Platform::Fonts;

namespace {

TFontSpec FontOf(const char *name, int size = 10, TFontStyles style = {}) {
  TFontSpec font;
  font.Name = name;
  font.Size = size;
  font.Style = style;
  return font;
}

TFontEngine &Engine() { return TFontEngine::Instance(); }

std::u32string Decode(std::string_view text) {
  std::u32string out;
  for (std::size_t pos = 0; pos < text.size();)
    out.push_back(NextCodePoint(text, pos));
  return out;
}

// A scratch folder holding a fontconfig file over the given font files only.
class TFontFolder {
public:
  explicit TFontFolder(const std::vector<std::string> &files) {
    FDir = std::filesystem::temp_directory_path() /
           ("velgraph-fonts-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(FDir);
    std::filesystem::create_directories(FDir / "fonts");
    for (const std::string &file : files)
      std::filesystem::copy_file(file, FDir / "fonts" / std::filesystem::path(file).filename());
    std::ofstream(Config()) << "<?xml version=\"1.0\"?>\n<fontconfig>\n"
                            << (files.empty() ? "" : "<dir>" + (FDir / "fonts").string() + "</dir>\n") << "<cachedir>"
                            << (FDir / "cache").string() << "</cachedir>\n</fontconfig>\n";
  }
  ~TFontFolder() { std::filesystem::remove_all(FDir); }
  std::string Config() const { return (FDir / "fonts.conf").string(); }

private:
  std::filesystem::path FDir;
};

} // namespace

TEST(FontEngine, NamesResolveThroughTheFontConfiguration) {
  const TFaceInfo arial = Engine().Describe(FontOf("arial"));
  EXPECT_EQ(arial.Family, "Liberation Sans");
  EXPECT_NE(arial.File.find("Liberation"), std::string::npos);
  const TFaceInfo bold = Engine().Describe(FontOf("arial", 10, {fsBold, fsItalic}));
  EXPECT_EQ(bold.StyleName, "Bold Italic");
  EXPECT_FALSE(bold.SyntheticBold || bold.SyntheticItalic);
  EXPECT_EQ(Engine().Describe(FontOf("Times New Roman")).Family, "Liberation Serif");
  // Unknown and empty names fall back to a sans face instead of failing.
  for (const char *name : {"No Such Font 12345", ""}) {
    const TFaceInfo fallback = Engine().Describe(FontOf(name));
    EXPECT_NE(fallback.Family.find("Sans"), std::string::npos) << name << " gave " << fallback.Family;
  }
}

TEST(FontEngine, ExtentsFollowLengthSizeAndResolution) {
  const TSize one = Engine().TextExtent(FontOf("arial"), 96, "8");
  const TSize five = Engine().TextExtent(FontOf("arial"), 96, "88888");
  EXPECT_GT(one.cx, 0);
  // No kerning: the advances of a text add up.
  EXPECT_EQ(five.cx, 5 * one.cx);
  EXPECT_EQ(Engine().TextExtent(FontOf("arial"), 96, "-3.75").cx,
            Engine().TextExtent(FontOf("arial"), 96, "-3.").cx + Engine().TextExtent(FontOf("arial"), 96, "75").cx);
  EXPECT_EQ(five.cy, one.cy);
  const TSize larger = Engine().TextExtent(FontOf("arial", 20), 96, "88888");
  EXPECT_GT(larger.cx, five.cx * 3 / 2);
  EXPECT_GT(larger.cy, five.cy * 3 / 2);
  // Twice the pixels per inch is twice the em.
  EXPECT_EQ(Engine().Strike(FontOf("arial", 12), 96).Metrics().PixelSize, 16);
  EXPECT_EQ(Engine().Strike(FontOf("arial", 12), 192).Metrics().PixelSize, 32);
  EXPECT_EQ(Engine().TextExtent(FontOf("arial"), 96, "").cx, 0);
}

TEST(FontEngine, HeightIsAscentPlusDescentOfTheEm) {
  // 8 points at 96 pixels per inch is an em of 11 pixels, rounded as the platform rounds.
  TGlyphStrike &strike = Engine().Strike(FontOf("Liberation Sans", 8), 96);
  EXPECT_EQ(strike.Metrics().PixelSize, 11);
  EXPECT_EQ(strike.Metrics().Height(), strike.Metrics().Ascent + strike.Metrics().Descent);
  // Liberation Sans rises 0.905 em and falls 0.212 em; the cell rounds outwards.
  EXPECT_EQ(strike.Metrics().Ascent, 10);
  EXPECT_EQ(strike.Metrics().Descent, 3);
  EXPECT_EQ(Engine().TextExtent(FontOf("Liberation Sans", 8), 96, "x").cy, 13);
  // Underline sits below the baseline, strike-out above it, both inside the cell.
  EXPECT_GE(strike.Metrics().UnderlineTop, strike.Metrics().Ascent);
  EXPECT_LE(strike.Metrics().UnderlineTop + strike.Metrics().UnderlineThickness, strike.Metrics().Height());
  EXPECT_LT(strike.Metrics().StrikeOutTop, strike.Metrics().Ascent);
  EXPECT_GT(strike.Metrics().StrikeOutTop, 0);
}

TEST(FontEngine, LogicalHeightsInPixels) {
  TFontSpec em = FontOf("arial");
  em.Height = -40;
  EXPECT_EQ(Engine().Strike(em, 96).Metrics().PixelSize, 40);
  TFontSpec cell = FontOf("arial");
  cell.Height = 40;
  // A positive height is the whole cell, so the em is smaller and the cell about 40 pixels.
  const TStrikeMetrics &metrics = Engine().Strike(cell, 96).Metrics();
  EXPECT_LT(metrics.PixelSize, 40);
  EXPECT_NEAR(metrics.Height(), 40, 2);
}

TEST(FontEngine, OddSizesAreNormalisedAndCapped) {
  const int defaultEm = Engine().Strike(FontOf("arial", 8), 96).Metrics().PixelSize;
  EXPECT_EQ(Engine().Strike(FontOf("arial", 0), 96).Metrics().PixelSize, defaultEm);
  EXPECT_EQ(Engine().Strike(FontOf("arial", -5), 96).Metrics().PixelSize,
            Engine().Strike(FontOf("arial", 5), 96).Metrics().PixelSize);
  EXPECT_EQ(Engine().Strike(FontOf("arial", 10000), 96).Metrics().PixelSize, TFontSpec::MaxPixelSize);
  EXPECT_EQ(Engine().Strike(FontOf("arial", INT_MIN), 600).Metrics().PixelSize, TFontSpec::MaxPixelSize);
  EXPECT_EQ(PointsToPixels(10, 0), PointsToPixels(10, 96));
  EXPECT_EQ(PointsToPixels(1, 1), 1);
}

TEST(FontEngine, LabelsReuseFacesStrikesAndGlyphs) {
  TRecordingDevice device;
  TCanvas canvas(&device);
  canvas.Font().SetName("Liberation Sans");
  canvas.Font().SetSize(9);
  canvas.TextWidth("0123456789.-");
  const TEngineStats before = Engine().Stats();
  for (int i = 0; i < 100; ++i) {
    canvas.TextWidth("12.5");
    canvas.TextWidth("-3.75");
  }
  const TEngineStats &after = Engine().Stats();
  EXPECT_EQ(after.FaceLoads, before.FaceLoads);
  EXPECT_EQ(after.Resolutions, before.Resolutions);
  EXPECT_EQ(after.StrikesCreated, before.StrikesCreated);
  EXPECT_EQ(after.GlyphsRendered, before.GlyphsRendered);
  // Switching between two fonts finds both again without resolving or opening anything.
  canvas.Font().SetSize(11);
  canvas.TextWidth("12");
  const TEngineStats second = Engine().Stats();
  for (int i = 0; i < 10; ++i) {
    canvas.Font().SetSize(9 + 2 * (i % 2));
    canvas.TextWidth("12");
  }
  EXPECT_EQ(Engine().Stats().StrikesCreated, second.StrikesCreated);
  EXPECT_EQ(Engine().Stats().FaceLoads, second.FaceLoads);
}

TEST(FontEngine, CachesStayBounded) {
  TFontEngine engine;
  for (int size = 1; size <= 150; ++size)
    engine.TextExtent(FontOf("arial", size), 96, "Ag");
  EXPECT_LE(engine.StrikeCount(), TFontEngine::MaxStrikes);
  // Large glyphs: one strike drops its glyphs when they pass its budget, and all strikes together
  // stay near theirs.
  TGlyphStrike &huge = engine.Strike(FontOf("arial", 1500), 96);
  for (char32_t c = 0x4E00; c < 0x4E00 + 40; ++c)
    huge.Glyph(c);
  EXPECT_LE(huge.Bytes(), TGlyphStrike::MaxBytes + std::size_t{TFontSpec::MaxPixelSize} * TFontSpec::MaxPixelSize);
  EXPECT_LE(engine.StrikeBytes(), TFontEngine::MaxStrikeBytes + TGlyphStrike::MaxBytes * 2);
}

TEST(FontEngine, MissingStylesAreSynthesised) {
  const std::string regular = Engine().Describe(FontOf("Liberation Sans")).File;
  TFontFolder folder({regular});
  TFontEngine engine(folder.Config());
  const TFaceInfo bold = engine.Describe(FontOf("Liberation Sans", 10, {fsBold}));
  EXPECT_EQ(bold.StyleName, "Regular");
  EXPECT_TRUE(bold.SyntheticBold);
  EXPECT_FALSE(bold.SyntheticItalic);
  EXPECT_TRUE(engine.Describe(FontOf("Liberation Sans", 10, {fsItalic})).SyntheticItalic);
  const std::int64_t plain = engine.Strike(FontOf("Liberation Sans", 20), 96).TextWidth("Hello");
  const std::int64_t emboldened = engine.Strike(FontOf("Liberation Sans", 20, {fsBold}), 96).TextWidth("Hello");
  EXPECT_GT(emboldened, plain);
  // An oblique glyph leans right: its bitmap is wider than the upright one.
  const int upright = engine.Strike(FontOf("Liberation Sans", 40), 96).Glyph(U'l').Width;
  const int oblique = engine.Strike(FontOf("Liberation Sans", 40, {fsItalic}), 96).Glyph(U'l').Width;
  EXPECT_GT(oblique, upright + 3);
}

TEST(FontEngine, NoUsableFontRaisesAClearError) {
  TFontFolder folder({});
  TFontEngine engine(folder.Config());
  try {
    engine.Strike(FontOf("arial"), 96);
    FAIL() << "expected EFontError";
  } catch (const EFontError &e) {
    EXPECT_NE(e.Message().find("no usable font"), std::string::npos) << e.Message();
  }
  // It keeps failing cleanly, not crashing, on every later call.
  EXPECT_THROW(engine.TextExtent(FontOf("x"), 96, "abc"), Exception);
  TFontEngine broken("/nonexistent/fonts.conf");
  EXPECT_THROW(broken.Describe(FontOf("arial")), EFontError);
  // A name the system would cut short at its NUL byte is refused before anything is read.
  EXPECT_THROW(TFontEngine(folder.Config() + std::string(1, '\0') + ".bak"), Exception);
}

TEST(Utf8, WellFormedSequencesDecodeAndStrayBytesAreLatin1) {
  EXPECT_EQ(Decode("a\xC3\xA9z"), U"a\u00E9z");
  EXPECT_EQ(Decode("\xE2\x82\xAC"), U"\u20AC");
  EXPECT_EQ(Decode("\xF0\x9F\x98\x80"), U"\U0001F600");
  // Latin-1 é, a stray continuation byte, an overlong slash, a surrogate, a truncated sequence,
  // and a value past U+10FFFF: each byte stands for itself.
  EXPECT_EQ(Decode("\xE9"), U"\u00E9");
  EXPECT_EQ(Decode("\x80x"), U"\u0080x");
  EXPECT_EQ(Decode("\xC0\xAF"), U"\u00C0\u00AF");
  EXPECT_EQ(Decode("\xED\xA0\x80"), U"\u00ED\u00A0\u0080");
  EXPECT_EQ(Decode("\xE2\x82"), U"\u00E2\u0082");
  EXPECT_EQ(Decode("\xF4\x90\x80\x80"), U"\u00F4\u0090\u0080\u0080");
  EXPECT_EQ(Decode("\xC3(z"), U"\u00C3(z");
  // So Latin-1 and UTF-8 spellings of a text measure alike.
  EXPECT_EQ(Engine().TextExtent(FontOf("arial"), 96, "caf\xE9").cx,
            Engine().TextExtent(FontOf("arial"), 96, "caf\xC3\xA9").cx);
}
