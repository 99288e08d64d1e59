#include <gtest/gtest.h>

#include "ShapeTest.h"
#include <climits>

using namespace ShapeTest;

namespace {

TPixelSet Frame(int left, int top, int right, int bottom) {
  return Minus(Block(left, top, right, bottom), Block(left + 1, top + 1, right - 1, bottom - 1));
}

} // namespace

TEST(Rectangle, CosmeticFrameOnTheInnerEdgeAndFillInside) {
  for (int width : {0, 1}) {
    TSheet sheet;
    sheet.Canvas().Pen().SetWidth(width);
    sheet.Canvas().Rectangle(10, 8, 2, 3); // corners in any order
    EXPECT_EQ(sheet.Pen(), Frame(2, 3, 10, 8));
    EXPECT_EQ(sheet.Brush(), Block(3, 4, 9, 7));
  }
}

TEST(Rectangle, WidePensCoverPixelsWithinHalfTheWidthOfThePath) {
  // Worked out by hand from the distance rule: width 3 has square-looking corners, width 5
  // visibly round ones.
  {
    TSheet sheet;
    sheet.Canvas().Pen().SetWidth(3);
    sheet.Canvas().Rectangle(4, 4, 10, 9);
    EXPECT_EQ(sheet.Pen(), Minus(Block(3, 3, 11, 10), Block(6, 6, 8, 7)));
    EXPECT_EQ(sheet.Brush(), Block(6, 6, 8, 7));
  }
  {
    TSheet sheet;
    sheet.Canvas().Pen().SetWidth(5);
    sheet.Canvas().Rectangle(10, 10, 20, 18);
    TPixelSet outer = Block(8, 9, 22, 19);
    for (int y : {8, 19})
      for (int x = 9; x <= 20; ++x)
        outer.insert({x, y});
    EXPECT_EQ(sheet.Pen(), Minus(outer, Block(13, 13, 17, 15))) << Picture(sheet.Pen(), 30, 30);
    EXPECT_EQ(sheet.Brush(), Block(13, 13, 17, 15));
  }
}

TEST(Rectangle, EveryWidthIsThatManyPixelsThick) {
  // Odd widths are centred on the frame pixels; even ones reach one pixel further out at the top
  // and left, as a line of that width does.
  const int l = 20, t = 20, r = 44, b = 40, mx = 32, my = 30;
  for (int w = 0; w <= 6; ++w) {
    TSheet sheet;
    sheet.Canvas().Pen().SetWidth(w);
    sheet.Canvas().Rectangle(l, t, r, b);
    const TPixelSet pen = sheet.Pen();
    const int n = std::max(w, 1), out = n / 2;
    for (int x = 0; x < 64; ++x) {
      const bool left = x >= l - out && x < l - out + n, right = x >= r - 1 - out && x < r - 1 - out + n;
      EXPECT_EQ(pen.count({x, my}) == 1, left || right) << "width " << w << " x " << x;
    }
    for (int y = 0; y < 64; ++y) {
      const bool top = y >= t - out && y < t - out + n, bottom = y >= b - 1 - out && y < b - 1 - out + n;
      EXPECT_EQ(pen.count({mx, y}) == 1, top || bottom) << "width " << w << " y " << y;
    }
  }
}

TEST(Rectangle, InsideFrameKeepsThePenInTheBox) {
  {
    TSheet sheet;
    sheet.Canvas().Pen().SetWidth(3);
    sheet.Canvas().Pen().SetStyle(psInsideFrame);
    sheet.Canvas().Rectangle(4, 4, 12, 11);
    EXPECT_EQ(sheet.Pen(), Minus(Block(4, 4, 12, 11), Block(7, 7, 9, 8)));
    EXPECT_EQ(sheet.Brush(), Block(7, 7, 9, 8));
  }
  for (int w = 2; w <= 9; ++w)
    for (int size : {1, 2, 3, 6, 11, 20}) {
      TSheet sheet;
      sheet.Canvas().Pen().SetWidth(w);
      sheet.Canvas().Pen().SetStyle(psInsideFrame);
      sheet.Canvas().Rectangle(20, 20, 20 + size, 20 + size + 3);
      const TPixelSet box = Block(20, 20, 20 + size, 23 + size);
      EXPECT_TRUE(Minus(sheet.Any(), box).empty()) << "width " << w << " size " << size;
      // Each side is w thick: the pixels w in from the left edge on the middle row.
      const int my = 20 + (size + 3) / 2;
      for (int x = 20; x < 20 + std::min(w, size); ++x)
        EXPECT_TRUE(sheet.Pen().count({x, my})) << "width " << w << " size " << size << " x " << x;
    }
}

TEST(Rectangle, PenAndBrushWriteEachPixelOnce) {
  // Under pmXor a pixel written twice would lose its colour or mix both; the xor picture must
  // hold exactly the copy picture's pen and brush pixels.
  for (TPenStyle style : {psSolid, psInsideFrame})
    for (int w = 0; w <= 7; ++w)
      for (TRect box : {TRect{10, 10, 40, 30}, TRect{10, 10, 11, 30}, TRect{10, 10, 30, 11}, TRect{10, 10, 12, 12},
                        TRect{10, 10, 13, 14}}) {
        TSheet copy, xored(64, 64, pmXor);
        for (TSheet *s : {&copy, &xored}) {
          s->Canvas().Pen().SetWidth(w);
          s->Canvas().Pen().SetStyle(style);
          s->Canvas().Rectangle(box);
        }
        EXPECT_EQ(xored.Pen(), copy.Pen()) << "width " << w << " box " << box.Right;
        EXPECT_EQ(xored.Brush(), copy.Brush()) << "width " << w << " box " << box.Right;
        EXPECT_EQ(xored.Any(), copy.Any());
        xored.Canvas().Rectangle(box);
        EXPECT_TRUE(xored.Any().empty());
      }
}

TEST(Rectangle, ClippingKeepsThePixelsInside) {
  // Clip edges just inside, on and just outside every edge of the pen, for widths 0 to 4.
  const TRect box{12, 10, 40, 30};
  for (TPenStyle style : {psSolid, psInsideFrame})
    for (int w = 0; w <= 4; ++w) {
      TSheet whole;
      whole.Canvas().Pen().SetWidth(w);
      whole.Canvas().Pen().SetStyle(style);
      whole.Canvas().Rectangle(box);
      for (int d = -3; d <= 3; ++d) {
        for (TRect clip :
             {TRect{box.Left + d, 0, 64, 64}, TRect{0, box.Top + d, 64, 64}, TRect{0, 0, box.Right + d, 64},
              TRect{0, 0, 64, box.Bottom + d}, TRect{box.Left + d, box.Top + d, box.Right - d, box.Bottom - d}}) {
          TSheet part;
          part.Canvas().Pen().SetWidth(w);
          part.Canvas().Pen().SetStyle(style);
          part.Canvas().SetDeviceClip(clip);
          part.Canvas().Rectangle(box);
          const TPixelSet window = Block(clip.Left, clip.Top, clip.Right, clip.Bottom);
          ASSERT_EQ(part.Pen(), Intersect(whole.Pen(), window)) << "width " << w << " d " << d;
          ASSERT_EQ(part.Brush(), Intersect(whole.Brush(), window)) << "width " << w << " d " << d;
        }
        // The surface's own edge clips the same way: the box moved so its edge lands near 0.
        TSheet shifted;
        shifted.Canvas().Pen().SetWidth(w);
        shifted.Canvas().Pen().SetStyle(style);
        shifted.Canvas().SetOrigin({-box.Left - d, -box.Top - d});
        shifted.Canvas().Rectangle(box);
        TPixelSet expected;
        for (const auto &[x, y] : whole.Any())
          if (x - box.Left - d >= 0 && y - box.Top - d >= 0)
            expected.insert({x - box.Left - d, y - box.Top - d});
        ASSERT_EQ(shifted.Any(), expected) << "width " << w << " d " << d;
      }
    }
}

TEST(Rectangle, ThinBoxesAreOneRun) {
  TSheet sheet;
  sheet.Canvas().Rectangle(5, 5, 6, 20);
  sheet.Canvas().Rectangle(10, 5, 30, 6);
  sheet.Canvas().Rectangle(40, 40, 41, 41);
  TPixelSet expected = Block(5, 5, 6, 20);
  for (const auto &p : Block(10, 5, 30, 6))
    expected.insert(p);
  expected.insert({40, 40});
  EXPECT_EQ(sheet.Pen(), expected);
  EXPECT_TRUE(sheet.Brush().empty());

  // A dashed thin box shows the pattern from its first pixel: 18 on, 6 off.
  TSheet dashed;
  dashed.Canvas().Pen().SetStyle(psDash);
  dashed.Canvas().Rectangle(2, 7, 62, 8);
  dashed.Canvas().Rectangle(7, 2, 8, 62);
  for (int i = 0; i < 60; ++i) {
    const bool on = i % 24 < 18;
    EXPECT_EQ(dashed.Pen().count({2 + i, 7}) == 1, on || 2 + i == 7) << i;
    EXPECT_EQ(dashed.Pen().count({7, 2 + i}) == 1, on || 2 + i == 7) << i;
  }
}

TEST(Rectangle, EmptyAndInvertedBoxesDrawNothing) {
  TSheet sheet;
  sheet.Canvas().Pen().SetWidth(3);
  sheet.Canvas().Rectangle(10, 10, 10, 30);
  sheet.Canvas().Rectangle(10, 10, 30, 10);
  sheet.Canvas().FillRect({30, 30, 10, 10});
  sheet.Canvas().FillRect({10, 30, 30, 10});
  EXPECT_TRUE(sheet.Any().empty());
  sheet.Canvas().FillRect({10, 10, 30, 30});
  EXPECT_EQ(sheet.Brush(), Block(10, 10, 30, 30));
}

TEST(Rectangle, HatchedFillLeavesTheBackgroundBetweenLines) {
  TSheet sheet;
  sheet.Canvas().Brush().SetStyle(bsFDiagonal);
  sheet.Canvas().Pen().SetWidth(3);
  sheet.Canvas().Rectangle(4, 4, 60, 60);
  for (int y = 6; y < 58; ++y)
    for (int x = 6; x < 58; ++x)
      ASSERT_EQ(sheet.Brush().count({x, y}) == 1, (x & 7) == (y & 7)) << x << "," << y;
}

TEST(Rectangle, ExtremeBoxesDrawTheVisiblePart) {
  for (int w : {1, 4}) {
    TSheet sheet(32, 32);
    sheet.Canvas().Pen().SetWidth(w);
    sheet.Canvas().Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(sheet.Brush(), Block(0, 0, 32, 32)) << "width " << w;

    // One edge on the surface, the others at the ends of the range, pushed further by the origin.
    TSheet edge(32, 32);
    edge.Canvas().Pen().SetWidth(w);
    edge.Canvas().SetOrigin({-1000, 5});
    edge.Canvas().Rectangle(1010, INT_MIN, INT_MAX, INT_MAX);
    const int out = w / 2, n = std::max(w, 1);
    EXPECT_EQ(edge.Pen(), Block(10 - out, 0, 10 - out + n, 32)) << "width " << w;
    EXPECT_EQ(edge.Brush(), Block(10 - out + n, 0, 32, 32)) << "width " << w;
  }
  TSheet fill(32, 32);
  fill.Canvas().SetOrigin({INT_MAX, INT_MAX});
  fill.Canvas().FillRect({INT_MIN, INT_MIN, INT_MIN + 5, INT_MIN + 7});
  EXPECT_EQ(fill.Brush(), Block(0, 0, 4, 6));
}

namespace {

// The place of a frame pixel along the closed path (L, T) -> (R-1, T) -> (R-1, B-1) -> (L, B-1).
i64 FramePosition(i64 l, i64 t, i64 r, i64 b, i64 x, i64 y) {
  const i64 across = r - 1 - l, down = b - 1 - t;
  if (y == t && x < r - 1)
    return x - l;
  if (x == r - 1 && y < b - 1)
    return across + (y - t);
  if (y == b - 1 && x > l)
    return across + down + (r - 1 - x);
  return 2 * across + down + (b - 1 - y);
}

bool DashOn(const std::vector<int> &lengths, i64 position) {
  int cycle = 0;
  for (int n : lengths)
    cycle += n;
  i64 p = position % cycle;
  for (std::size_t k = 0; k < lengths.size(); ++k) {
    if (p < lengths[k])
      return k % 2 == 0;
    p -= lengths[k];
  }
  return false;
}

} // namespace

TEST(Rectangle, DashedFramesRunThePatternRoundTheCorners) {
  struct TCase {
    TPenStyle Style;
    std::vector<int> Lengths;
  };
  const TCase styles[] = {{psDash, {18, 6}}, {psDot, {3, 3}}, {psDashDotDot, {9, 3, 3, 3, 3, 3}}};
  // On the surface, and far beyond it on the left and top (the pattern must arrive where it
  // would after the whole distance).
  const i64 boxes[][4] = {{3, 4, 50, 40}, {-1000003, -2000011, 40, 30}, {-2147483000, 9, 33, 2147483000}};
  for (const TCase &c : styles)
    for (const auto &box : boxes) {
      TSheet sheet;
      sheet.Canvas().Pen().SetStyle(c.Style);
      sheet.Canvas().SetOrigin({0, 0});
      sheet.Canvas().Rectangle(static_cast<int>(box[0]), static_cast<int>(box[1]), static_cast<int>(box[2]),
                               static_cast<int>(box[3]));
      TPixelSet expected;
      const TPixelSet frame =
          Intersect(Frame(static_cast<int>(std::max<i64>(box[0], -1)), static_cast<int>(std::max<i64>(box[1], -1)),
                          static_cast<int>(std::min<i64>(box[2], 65)), static_cast<int>(std::min<i64>(box[3], 65))),
                    Block(0, 0, 64, 64));
      for (const auto &[x, y] : frame)
        if (DashOn(c.Lengths, FramePosition(box[0], box[1], box[2], box[3], x, y)))
          expected.insert({x, y});
      EXPECT_EQ(sheet.Pen(), expected) << "style " << static_cast<int>(c.Style) << " box " << box[0]
                                       << Picture(sheet.Pen(), 64, 64);
      EXPECT_EQ(sheet.Brush(), Intersect(Block(static_cast<int>(std::max<i64>(box[0] + 1, 0)),
                                               static_cast<int>(std::max<i64>(box[1] + 1, 0)),
                                               static_cast<int>(std::min<i64>(box[2] - 1, 64)),
                                               static_cast<int>(std::min<i64>(box[3] - 1, 64))),
                                         Block(0, 0, 64, 64)));
    }
}

TEST(Rectangle, OutlineMatchesThePolygonThroughTheSameCorners) {
  // The rectangle draws its outline itself; the polygon's goes through the line drawer. Both
  // follow the path through the frame pixels, so every width must give the same pixels.
  for (TPenStyle style : {psSolid, psDash})
    for (int w = 0; w <= 6; ++w)
      for (TRect box : {TRect{10, 12, 40, 33}, TRect{20, 20, 23, 22}, TRect{5, 50, 60, 52}}) {
        if (style == psDash && w > 1)
          continue;
        TSheet rectangle, polygon;
        for (TSheet *s : {&rectangle, &polygon}) {
          s->Canvas().Pen().SetWidth(w);
          s->Canvas().Pen().SetStyle(style);
          s->Canvas().Brush().SetStyle(bsClear);
        }
        rectangle.Canvas().Rectangle(box);
        const TPoint corners[] = {
            {box.Left, box.Top}, {box.Right - 1, box.Top}, {box.Right - 1, box.Bottom - 1}, {box.Left, box.Bottom - 1}};
        polygon.Canvas().Polygon(corners);
        EXPECT_EQ(rectangle.Any(), polygon.Any()) << "width " << w << " box " << box.Left << "," << box.Top
                                                  << Picture(rectangle.Any(), 64, 64) << Picture(polygon.Any(), 64, 64);
      }
}
