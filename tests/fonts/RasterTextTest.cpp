#include <gtest/gtest.h>

#include "Ink.h"
#include <climits>
#include <platform/fonts/FontEngine.h>
#include <platform/graphics/RecordingDevice.h>

using namespace Platform;

namespace {

int Darkest(TBitmap &bitmap) {
  int darkest = 255;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      darkest = std::min(darkest, static_cast<int>(bitmap.ScanLine(y)[x] & 0xFF));
  return darkest;
}

// Whether every pixel of the row span has the colour.
bool RowIs(TBitmap &bitmap, int y, int x0, int x1, TColor color) {
  for (int x = x0; x < x1; ++x)
    if (bitmap.Canvas()->Pixels(x, y) != color)
      return false;
  return true;
}

} // namespace

TEST(RasterText, InkLiesInTheTextCellFromItsTopLeft) {
  TBitmap bitmap(300, 120);
  PrepareText(bitmap, "Liberation Sans", 14);
  TCanvas &canvas = *bitmap.Canvas();
  canvas.MoveTo(5, 6);
  canvas.TextOut(40, 30, "Hello 123");
  const TSize extent = canvas.TextExtent("Hello 123");
  const TInk ink = InkOf(bitmap);
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.Box.Left, 40);
  EXPECT_LE(ink.Box.Left, 43);
  EXPECT_LE(ink.Box.Right, 40 + extent.cx);
  EXPECT_GT(ink.Box.Right, 40 + extent.cx - 4);
  EXPECT_GE(ink.Box.Top, 30);
  EXPECT_LE(ink.Box.Bottom, 30 + extent.cy);
  // Capitals reach close to the ascent; nothing here descends.
  EXPECT_LE(ink.Box.Top, 30 + extent.cy / 3);
  // Stems are covered fully, in the font's colour; the pen does not move.
  EXPECT_EQ(Darkest(bitmap), 0);
  EXPECT_EQ(canvas.PenPos(), (TPoint{5, 6}));
}

TEST(RasterText, ColourOriginAndClipApply) {
  TBitmap bitmap(200, 100);
  PrepareText(bitmap, "Liberation Sans", 20);
  TCanvas &canvas = *bitmap.Canvas();
  canvas.Font().SetColor(clRed);
  canvas.SetOrigin({10, 20});
  canvas.SetDeviceClip({0, 0, 60, 100});
  canvas.TextOut(0, 0, "MMMMMMMM");
  const TInk ink = InkOf(bitmap);
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.Box.Left, 10);
  EXPECT_GE(ink.Box.Top, 20);
  EXPECT_EQ(ink.Box.Right, 60);
  bool sawRed = false;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) {
      const std::uint32_t p = bitmap.ScanLine(y)[x];
      sawRed |= p == ColorToPixel(clRed);
      // Blends of red over white keep red at full.
      if (p != ColorToPixel(clWhite)) {
        EXPECT_EQ(p & 0xFF0000, 0xFF0000u) << x << "," << y;
      }
    }
  EXPECT_TRUE(sawRed);
}

TEST(RasterText, BackgroundCellOnlyWithASolidBrush) {
  TBitmap bitmap(200, 80);
  PrepareText(bitmap, "Liberation Sans", 12);
  TCanvas &canvas = *bitmap.Canvas();
  const TSize extent = canvas.TextExtent("Axis 12");
  canvas.TextOut(20, 10, "Axis 12");
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 200; ++x)
      ASSERT_NE(bitmap.ScanLine(y)[x], ColorToPixel(clYellow));

  canvas.Brush().SetColor(clYellow);
  canvas.TextOut(20, 40, "Axis 12");
  // The whole cell's edges are yellow (no glyph touches the very first row or column) and
  // nothing outside it is.
  EXPECT_TRUE(RowIs(bitmap, 40, 20, 20 + extent.cx, clYellow));
  EXPECT_FALSE(RowIs(bitmap, 39, 20, 21, clYellow));
  EXPECT_FALSE(RowIs(bitmap, 40 + extent.cy, 20, 21, clYellow));
  EXPECT_EQ(canvas.Pixels(20 + extent.cx - 1, 40 + extent.cy - 1), clYellow);
  EXPECT_EQ(canvas.Pixels(20 + extent.cx, 40), clWhite);
  EXPECT_EQ(canvas.Pixels(19, 40), clWhite);
  // A hatch brush still gives a plain background in its colour.
  canvas.Brush().SetStyle(bsCross);
  canvas.Brush().SetColor(clLime);
  canvas.Brush().SetStyle(bsCross);
  canvas.TextOut(100, 10, "W");
  EXPECT_EQ(canvas.Pixels(100, 10), clLime);
  EXPECT_EQ(canvas.Pixels(101, 11), clLime);
}

TEST(RasterText, EscapementRotatesAboutTheStartPoint) {
  TBitmap flat(200, 200), up(200, 200), down(200, 200), left(200, 200);
  for (TBitmap *b : {&flat, &up, &down, &left})
    PrepareText(*b, "arial", 14);
  flat.Canvas()->TextOut(100, 100, "Title");
  const TSize extent = flat.Canvas()->TextExtent("Title");
  TFontSpec rotated;
  rotated.Name = "arial";
  rotated.Size = 14;
  for (auto [bitmap, angle] : {std::pair{&up, 900}, {&down, 2700}, {&left, 1800}}) {
    rotated.Escapement = angle;
    bitmap->Canvas()->SetSelectedFont(&rotated);
    bitmap->Canvas()->TextOut(100, 100, "Title");
  }
  const TInk f = InkOf(flat), u = InkOf(up), d = InkOf(down), l = InkOf(left);
  // A quarter turn counter-clockwise: the text runs upwards from the start, its cell to the right.
  EXPECT_EQ(u.Box.Width(), f.Box.Height());
  EXPECT_EQ(u.Box.Height(), f.Box.Width());
  EXPECT_EQ(u.Pixels, f.Pixels);
  EXPECT_GE(u.Box.Left, 100);
  EXPECT_LE(u.Box.Right, 100 + extent.cy);
  EXPECT_LE(u.Box.Bottom, 100);
  EXPECT_GE(u.Box.Top, 100 - extent.cx);
  EXPECT_GE(u.Box.Bottom, 97);
  // The left edge of upright text is the bottom of rotated text: same distance from the start.
  EXPECT_EQ(100 - u.Box.Bottom, f.Box.Left - 100);
  EXPECT_EQ(u.Box.Left - 100, f.Box.Top - 100);
  // Three quarter turns runs downwards with the cell to the left; a half turn runs leftwards.
  EXPECT_GE(d.Box.Top, 100);
  EXPECT_LE(d.Box.Right, 100);
  EXPECT_EQ(d.Box.Height(), f.Box.Width());
  EXPECT_LE(l.Box.Right, 100);
  EXPECT_LE(l.Box.Bottom, 100);
  EXPECT_EQ(l.Box.Width(), f.Box.Width());
}

TEST(RasterText, RotatedBackgroundTurnsWithTheText) {
  TBitmap bitmap(120, 120);
  PrepareText(bitmap, "arial", 10);
  TCanvas &canvas = *bitmap.Canvas();
  const TSize extent = canvas.TextExtent("12345");
  canvas.Brush().SetColor(clAqua);
  TFontSpec rotated = canvas.TextFont();
  rotated.Escapement = 900;
  canvas.SetSelectedFont(&rotated);
  canvas.TextOut(50, 100, "12345");
  // The cell stands on the start point: columns [50, 50 + height), rows [100 - width, 100).
  EXPECT_EQ(canvas.Pixels(50, 100 - extent.cx), clAqua);
  EXPECT_EQ(canvas.Pixels(50, 99), clAqua);
  EXPECT_EQ(canvas.Pixels(50 + extent.cy - 1, 99), clAqua);
  EXPECT_EQ(canvas.Pixels(50, 100), clWhite);
  EXPECT_EQ(canvas.Pixels(49, 99), clWhite);
  EXPECT_EQ(canvas.Pixels(50 + extent.cy, 99), clWhite);
  EXPECT_EQ(canvas.Pixels(50, 100 - extent.cx - 1), clWhite);
}

TEST(RasterText, AnyAngleStaysNearTheStart) {
  TBitmap bitmap(300, 300);
  PrepareText(bitmap, "arial", 12);
  TCanvas &canvas = *bitmap.Canvas();
  const TSize extent = canvas.TextExtent("Diagonal");
  TFontSpec rotated = canvas.TextFont();
  rotated.Escapement = 450;
  canvas.SetSelectedFont(&rotated);
  canvas.TextOut(100, 200, "Diagonal");
  const TInk ink = InkOf(bitmap);
  ASSERT_FALSE(ink.Empty());
  // Up and to the right, each side about width / sqrt(2) plus the slanted cell.
  const int reach = static_cast<int>(extent.cx * 0.7071);
  EXPECT_GE(ink.Box.Left, 98);
  EXPECT_LE(ink.Box.Bottom, 200 + extent.cy);
  EXPECT_NEAR(ink.Box.Right - 100, reach, extent.cy);
  EXPECT_NEAR(200 - ink.Box.Top, reach, extent.cy);
}

TEST(RasterText, BoldIsWiderAndDarker) {
  TBitmap regular(300, 60), bold(300, 60);
  PrepareText(regular, "Liberation Sans", 14);
  PrepareText(bold, "Liberation Sans", 14);
  bold.Canvas()->Font().SetStyle({fsBold});
  EXPECT_GT(bold.Canvas()->TextWidth("Measure 42"), regular.Canvas()->TextWidth("Measure 42"));
  regular.Canvas()->TextOut(5, 5, "Measure 42");
  bold.Canvas()->TextOut(5, 5, "Measure 42");
  EXPECT_GT(InkOf(bold).Darkness, InkOf(regular).Darkness * 5 / 4);
}

TEST(RasterText, UnderlineAndStrikeOutAreLinesAcrossTheText) {
  TBitmap plain(200, 60), lined(200, 60);
  PrepareText(plain, "Liberation Sans", 16);
  PrepareText(lined, "Liberation Sans", 16);
  TCanvas &canvas = *lined.Canvas();
  canvas.Font().SetStyle({fsUnderline, fsStrikeOut});
  const int width = canvas.TextWidth("under");
  const auto &metrics = Fonts::TFontEngine::Instance().Strike(canvas.TextFont(), 96).Metrics();
  plain.Canvas()->TextOut(10, 10, "under");
  canvas.TextOut(10, 10, "under");
  EXPECT_TRUE(RowIs(lined, 10 + metrics.UnderlineTop, 10, 10 + width, clBlack));
  EXPECT_TRUE(RowIs(lined, 10 + metrics.StrikeOutTop, 10, 10 + width, clBlack));
  EXPECT_FALSE(RowIs(plain, 10 + metrics.UnderlineTop, 10, 10 + width, clBlack));
  EXPECT_FALSE(RowIs(plain, 10 + metrics.StrikeOutTop, 10, 10 + width, clBlack));
  EXPECT_GT(metrics.UnderlineTop, metrics.Ascent - 1);
  EXPECT_LT(metrics.StrikeOutTop, metrics.Ascent);
}

TEST(RasterText, BadInputIsSafe) {
  TBitmap bitmap(100, 50);
  PrepareText(bitmap, "Liberation Sans", 10);
  TCanvas &canvas = *bitmap.Canvas();
  canvas.Brush().SetColor(clYellow);
  // An empty text draws nothing, not even its (empty) background, and is as high as any other.
  canvas.TextOut(10, 10, "");
  EXPECT_TRUE(InkOf(bitmap).Empty());
  EXPECT_EQ(canvas.TextExtent("").cx, 0);
  EXPECT_EQ(canvas.TextHeight(""), canvas.TextHeight("x"));
  // 100,000 characters: measured exactly and drawn clipped to the surface, at any position and angle.
  const std::string digits(100000, '8');
  EXPECT_EQ(canvas.TextWidth(digits), 100000 * canvas.TextWidth("8"));
  canvas.TextOut(0, 0, digits);
  EXPECT_EQ(canvas.Pixels(99, 0), clYellow);
  for (TPoint at : {TPoint{INT_MIN, INT_MIN}, TPoint{INT_MAX, INT_MAX}, TPoint{INT_MAX, 0}, TPoint{-2000000000, 10}})
    for (int angle : {0, 900, 450, -900, 3600 * 7 + 1}) {
      TFontSpec rotated = canvas.TextFont();
      rotated.Escapement = angle;
      canvas.SetSelectedFont(&rotated);
      canvas.TextOut(at.X, at.Y, "far away");
      canvas.SetSelectedFont(nullptr);
    }
  canvas.Brush().SetColor(clWhite);
  canvas.FillRect({0, 0, 100, 50});
  canvas.SetOrigin({INT_MAX, INT_MIN});
  canvas.TextOut(INT_MAX, INT_MIN, "overflow");
  // A cell below device row 2^31, with its background and underline, has no row to fill.
  canvas.SetOrigin({0, 1});
  canvas.Brush().SetColor(clYellow);
  canvas.Font().SetStyle({fsUnderline});
  canvas.TextOut(0, INT_MAX, "Hi");
  canvas.TextOut(0, INT_MAX - 5, "Hi");
  canvas.Font().SetStyle({});
  canvas.SetOrigin({});
  EXPECT_TRUE(InkOf(bitmap).Empty());
  // Sizes 0, -5 and 10000 points and an unknown name all write something.
  for (int size : {0, -5, 10000}) {
    canvas.Brush().SetStyle(bsClear);
    canvas.Font().SetSize(size);
    canvas.Font().SetName(size == 10000 ? "No Such Face" : "arial");
    // The 10,000-point face is capped at 2048 pixels; its capital starts some 445 pixels down.
    canvas.TextOut(0, size == 10000 ? -460 : 0, "W");
    EXPECT_FALSE(InkOf(bitmap).Empty()) << size;
    canvas.Brush().SetColor(clWhite);
    canvas.FillRect({0, 0, 100, 50});
  }
}

TEST(RecordedText, TextOutIsRecordedWithItsFontAndState) {
  TRecordingDevice device;
  TCanvas canvas(&device);
  canvas.Font().SetName("arial");
  canvas.Font().SetSize(9);
  canvas.Font().SetStyle({fsItalic});
  canvas.Font().SetColor(clBlue);
  canvas.Brush().SetStyle(bsClear);
  canvas.SetOrigin({3, 4});
  canvas.TextOut(10, 20, "label");
  canvas.TextOut(10, 20, "");
  ASSERT_EQ(device.Calls().size(), 1u);
  const TRecordedCall &call = device.Calls()[0];
  EXPECT_EQ(call.Kind, dcTextOut);
  EXPECT_EQ(call.Text, "label");
  EXPECT_EQ(call.Points, (std::vector<TPoint>{{10, 20}}));
  EXPECT_EQ(call.State.Origin, (TPoint{3, 4}));
  EXPECT_EQ(call.State.Brush.Style, bsClear);
  EXPECT_EQ(call.Font.Name, "arial");
  EXPECT_EQ(call.Font.Size, 9);
  EXPECT_EQ(call.Font.Style, TFontStyles{fsItalic});
  EXPECT_EQ(call.Font.Color, clBlue);
  EXPECT_EQ(call.Font.Escapement, 0);
  // A canvas without a device has nothing to measure with and draws nothing.
  TCanvas none;
  none.Font().SetName("arial");
  none.Font().SetSize(9);
  EXPECT_EQ(none.TextExtent("label"), TSize{});
  EXPECT_EQ(none.TextMetrics(), TTextMetrics{});
  none.TextOut(0, 0, "label");
}
