#include <gtest/gtest.h>

#include "ShapeTest.h"
#include <climits>
#include <map>
#include <random>
#include <wgraph/Wgraph.h>

using namespace ShapeTest;

namespace {

// The cosmetic figure of the ellipse in [l, r) x [t, b) on a width x height surface, pixel by
// pixel: the outline is every inside pixel with a 4-neighbour outside.
struct TFigure {
  TPixelSet Outline, Inside;
};

TFigure CosmeticFigure(i64 l, i64 t, i64 r, i64 b, int width, int height) {
  TFigure f;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (!InsideEllipse(l, t, r, b, x, y))
        continue;
      const bool edge = !InsideEllipse(l, t, r, b, x - 1, y) || !InsideEllipse(l, t, r, b, x + 1, y) ||
                        !InsideEllipse(l, t, r, b, x, y - 1) || !InsideEllipse(l, t, r, b, x, y + 1);
      (edge ? f.Outline : f.Inside).insert({x, y});
    }
  return f;
}

// The set mirrored about the centre of [l, r) x [t, b) horizontally or vertically.
TPixelSet Mirrored(const TPixelSet &set, int l, int t, int r, int b, bool horizontally) {
  TPixelSet m;
  for (const auto &[x, y] : set)
    m.insert(horizontally ? std::pair{l + r - 1 - x, y} : std::pair{x, t + b - 1 - y});
  return m;
}

// The number of pixels on each row the set touches, top to bottom.
std::vector<int> RowLengths(const TPixelSet &set) {
  std::map<int, int> count;
  for (const auto &p : set)
    ++count[p.second];
  std::vector<int> lengths;
  for (const auto &entry : count)
    lengths.push_back(entry.second);
  return lengths;
}

} // namespace

TEST(Ellipse, FiveByFiveHasRowsOfThreeAndFive) {
  TSheet sheet;
  sheet.Canvas().Ellipse(10, 10, 15, 15);
  EXPECT_EQ(RowLengths(sheet.Any()), (std::vector<int>{3, 5, 5, 5, 3}));
  EXPECT_EQ(sheet.Brush(), Block(11, 11, 14, 14));
}

TEST(Ellipse, SmallBoxesMatchCentreSampling) {
  // Every marker-sized box, at an origin that moves it across the surface's 8-pixel phase; the
  // same sizes twice to read them back from the cache.
  for (int pass = 0; pass < 2; ++pass)
    for (int w = 1; w <= 13; ++w)
      for (int h = 1; h <= 13; ++h) {
        TSheet sheet(32, 32);
        sheet.Canvas().SetOrigin({w % 3, h % 5});
        sheet.Canvas().Ellipse(9, 8, 9 + w, 8 + h);
        const TFigure f = CosmeticFigure(9 + w % 3, 8 + h % 5, 9 + w + w % 3, 8 + h + h % 5, 32, 32);
        ASSERT_EQ(sheet.Pen(), f.Outline) << w << "x" << h << Picture(sheet.Pen(), 32, 32);
        ASSERT_EQ(sheet.Brush(), f.Inside) << w << "x" << h;
      }
}

TEST(Ellipse, LargeBoxesMatchCentreSampling) {
  // Sizes past the cache, and boxes of up to 2^30 whose curve crosses the surface, where only
  // exact arithmetic gets every pixel right.
  struct TCase {
    i64 L, T, R, B;
  };
  const TCase cases[] = {
      {2, 3, 62, 47},           {-5, 10, 70, 75},         {0, 0, 65, 64},           {-40000, 5, 40, 30},
      {-99990, -70000, 10, 35}, {3, -1000000000, 50, 20}, {-1073741780, 3, 30, 58}, {-1073741790, -1073741700, 30, 30}};
  for (const TCase &c : cases) {
    TSheet sheet;
    sheet.Canvas().Ellipse(static_cast<int>(c.L), static_cast<int>(c.T), static_cast<int>(c.R), static_cast<int>(c.B));
    const TFigure f = CosmeticFigure(c.L, c.T, c.R, c.B, 64, 64);
    EXPECT_EQ(sheet.Pen(), f.Outline) << c.L << "," << c.T << Picture(sheet.Pen(), 64, 64);
    EXPECT_EQ(sheet.Brush(), f.Inside) << c.L << "," << c.T;
  }
}

TEST(Ellipse, OneThinSideGivesOneRun) {
  TSheet sheet;
  sheet.Canvas().Ellipse(5, 5, 6, 25);
  sheet.Canvas().Ellipse(10, 40, 50, 41);
  TPixelSet expected = Block(5, 5, 6, 25);
  for (const auto &p : Block(10, 40, 50, 41))
    expected.insert(p);
  EXPECT_EQ(sheet.Pen(), expected);
  EXPECT_TRUE(sheet.Brush().empty());
}

TEST(Ellipse, FiguresAreSymmetricInBothAxes) {
  std::mt19937 random(5);
  for (int round = 0; round < 60; ++round) {
    const int w = 1 + static_cast<int>(random() % 60), h = 1 + static_cast<int>(random() % 60);
    const int pen = static_cast<int>(random() % 7);
    const TPenStyle style = round % 3 == 0 ? psInsideFrame : psSolid;
    const int l = 30 - w / 2, t = 30 - h / 2;
    TSheet sheet(100, 100);
    sheet.Canvas().Pen().SetWidth(pen);
    sheet.Canvas().Pen().SetStyle(style);
    sheet.Canvas().SetOrigin({20, 20});
    sheet.Canvas().Ellipse(l, t, l + w, t + h);
    for (bool horizontally : {true, false}) {
      EXPECT_EQ(Mirrored(sheet.Pen(), l + 20, t + 20, l + w + 20, t + h + 20, horizontally), sheet.Pen())
          << w << "x" << h << " pen " << pen;
      EXPECT_EQ(Mirrored(sheet.Brush(), l + 20, t + 20, l + w + 20, t + h + 20, horizontally), sheet.Brush())
          << w << "x" << h << " pen " << pen;
    }
  }
}

TEST(Ellipse, WidePensMakeARingOfThatWidth) {
  // A 41-pixel circle: the ring's pixels on the horizontal axis are the frame pixel and
  // (w - 1) / 2 each side of it for odd widths, one more outside for even ones; with
  // psInsideFrame the ring ends at the box.
  for (int w = 2; w <= 7; ++w) {
    TSheet sheet(80, 80);
    sheet.Canvas().Pen().SetWidth(w);
    sheet.Canvas().Ellipse(10, 10, 51, 51);
    const int outside = w / 2, inside = (w - 1) / 2;
    for (int x = 0; x < 80; ++x) {
      const bool ring = (x >= 10 - outside && x <= 10 + inside) || (x >= 50 - inside && x <= 50 + outside);
      EXPECT_EQ(sheet.Pen().count({x, 30}) == 1, ring) << "width " << w << " x " << x;
      EXPECT_EQ(sheet.Pen().count({30, x}) == 1, ring) << "width " << w << " y " << x;
    }
    EXPECT_TRUE(sheet.Brush().count({30, 30}));

    TSheet frame(80, 80);
    frame.Canvas().Pen().SetWidth(w);
    frame.Canvas().Pen().SetStyle(psInsideFrame);
    frame.Canvas().Ellipse(10, 10, 51, 51);
    EXPECT_TRUE(Minus(frame.Any(), EllipseSet(10, 10, 51, 51, 80, 80)).empty()) << "width " << w;
    for (int x = 0; x < 80; ++x) {
      const bool ring = (x >= 10 && x < 10 + w) || (x > 50 - w && x <= 50);
      EXPECT_EQ(frame.Pen().count({x, 30}) == 1, ring) << "inside frame width " << w << " x " << x;
    }
  }
}

TEST(Ellipse, PenAndBrushAreDisjointAndWrittenOnce) {
  // The xor picture must hold exactly the copy picture's pen and brush pixels: a pixel written
  // twice would lose its colour or mix both. Together they are the figure's whole area.
  for (int w = 0; w <= 6; ++w)
    for (TRect box : {TRect{3, 4, 40, 30}, TRect{3, 4, 10, 9}, TRect{3, 4, 4, 20}, TRect{3, 4, 30, 6}}) {
      TSheet copy, xored(64, 64, pmXor);
      for (TSheet *s : {&copy, &xored}) {
        s->Canvas().Pen().SetWidth(w);
        s->Canvas().Ellipse(box);
      }
      EXPECT_EQ(xored.Pen(), copy.Pen()) << "width " << w;
      EXPECT_EQ(xored.Brush(), copy.Brush()) << "width " << w;
      EXPECT_EQ(xored.Any(), copy.Any());
      if (w <= 1) {
        const TPixelSet inside = EllipseSet(box.Left, box.Top, box.Right, box.Bottom, 64, 64);
        EXPECT_EQ(copy.Any(), inside);
        EXPECT_EQ(copy.Pen(), Border(inside));
      }
      xored.Canvas().Ellipse(box);
      EXPECT_TRUE(xored.Any().empty()) << "width " << w;
    }
}

TEST(Ellipse, ClipShowsThePartInside) {
  for (int w : {1, 4}) {
    TSheet whole;
    whole.Canvas().Pen().SetWidth(w);
    whole.Canvas().Ellipse(5, 8, 58, 50);
    for (TRect clip : {TRect{0, 0, 20, 64}, TRect{30, 9, 64, 28}, TRect{5, 8, 58, 50}, TRect{6, 9, 57, 49}}) {
      TSheet part;
      part.Canvas().Pen().SetWidth(w);
      part.Canvas().SetDeviceClip(clip);
      part.Canvas().Ellipse(5, 8, 58, 50);
      const TPixelSet window = Block(clip.Left, clip.Top, clip.Right, clip.Bottom);
      EXPECT_EQ(part.Pen(), Intersect(whole.Pen(), window));
      EXPECT_EQ(part.Brush(), Intersect(whole.Brush(), window));
    }
  }
}

TEST(Ellipse, HatchLeavesTheBackgroundBetweenLines) {
  TSheet sheet;
  Clear(sheet.Bitmap, clYellow);
  sheet.Canvas().Brush().SetColor(BrushColor);
  sheet.Canvas().Pen().SetStyle(psClear);
  sheet.Canvas().Brush().SetStyle(bsHorizontal);
  sheet.Canvas().Ellipse(0, 0, 64, 64);
  const TPixelSet inside = EllipseSet(0, 0, 64, 64, 64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      ASSERT_EQ(sheet.Bitmap.ScanLine(y)[x], ColorToPixel(inside.count({x, y}) && (y & 7) == 3 ? BrushColor : clYellow))
          << x << "," << y;
}

TEST(Ellipse, ExtremeBoxesFinishAndFillTheVisiblePart) {
  for (int w : {1, 5}) {
    TSheet sheet(32, 32);
    sheet.Canvas().Pen().SetWidth(w);
    sheet.Canvas().SetOrigin({16, 16});
    sheet.Canvas().Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(sheet.Brush(), Block(0, 0, 32, 32)) << "width " << w;

    // A flat ellipse 2^32 wide: near its centre the top and bottom rows are the outline.
    TSheet flat(32, 32);
    flat.Canvas().Pen().SetWidth(w);
    flat.Canvas().SetOrigin({16, 0});
    flat.Canvas().Ellipse(INT_MIN, 4, INT_MAX, 24);
    const int n = w == 1 ? 1 : w;
    const int top = w == 1 ? 4 : 4 - w / 2;
    EXPECT_EQ(flat.Pen(), Minus(Block(0, top, 32, top + 20 + n - 1), Block(0, top + n, 32, top + 20 - 1)))
        << "width " << w << Picture(flat.Pen(), 32, 32);
  }
}

TEST(Ellipse, CircleMarkersFillTheirBox) {
  Wgraph::SetWorldWindow(0, 100, 0, 100, 0, 0, 0, 0);
  Wgraph::SetPCWindow(0, 100, 0, 100);
  for (int size = 2; size <= 9; ++size) {
    TSheet sheet(32, 32);
    Wgraph::DrawCirclePoint(sheet.Bitmap.Canvas(), size, 15, 16, clBlue);
    const int h = size / 2;
    EXPECT_EQ(PixelsWhere(sheet.Bitmap, clBlue), EllipseSet(15 - h, 16 - h, 15 + h, 16 + h, 32, 32)) << size;
    EXPECT_EQ(sheet.Any(), PixelsWhere(sheet.Bitmap, clBlue));
  }
}

TEST(Ellipse, PenAndBrushOfOneColourStillWriteEachPixelOnce) {
  // Marker-like ellipses (pen and brush alike) are written one span per row; under pmXor every
  // inside pixel must change exactly once, inside the clip and across its edge.
  for (TRect clip : {TRect{0, 0, 64, 64}, TRect{0, 0, 64, 14}}) {
    TSheet sheet(64, 64, pmXor);
    sheet.Canvas().Brush().SetColor(PenColor);
    sheet.Canvas().SetDeviceClip(clip);
    for (int size = 2; size <= 9; ++size)
      sheet.Canvas().Ellipse((size - 2) * 9, 10, (size - 2) * 9 + size, 10 + size);
    TPixelSet expected;
    for (int size = 2; size <= 9; ++size)
      for (const auto &p : EllipseSet((size - 2) * 9, 10, (size - 2) * 9 + size, 10 + size, 64, 64))
        expected.insert(p);
    EXPECT_EQ(sheet.Pen(), Intersect(expected, Block(clip.Left, clip.Top, clip.Right, clip.Bottom)));
    EXPECT_EQ(sheet.Any(), sheet.Pen());
  }
}

TEST(Ellipse, EnormousPensFinishAndCoverTheSurface) {
  // Pens far wider than any surface: the ring's outer ellipse holds the whole surface and its
  // inner one nothing, so every visible pixel is the pen's, written once.
  for (int w : {1 << 20, 1 << 30, INT_MAX})
    for (TPenStyle style : {psSolid, psInsideFrame}) {
      TSheet ellipse(32, 32, pmXor), arc(32, 32, pmXor), rectangle(32, 32, pmXor);
      for (TSheet *s : {&ellipse, &arc, &rectangle}) {
        s->Canvas().Pen().SetWidth(w);
        s->Canvas().Pen().SetStyle(style);
      }
      ellipse.Canvas().Ellipse(-100, -200, 300, 250);
      arc.Canvas().Arc(-100, -200, 300, 250, 300, 0, 300, 0);
      rectangle.Canvas().Rectangle(-100, -200, 300, 250);
      for (TSheet *s : {&ellipse, &arc, &rectangle})
        EXPECT_EQ(s->Pen(), Block(0, 0, 32, 32)) << "width " << w << " style " << static_cast<int>(style);
    }
}
