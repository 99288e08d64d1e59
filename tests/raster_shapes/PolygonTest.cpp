#include <gtest/gtest.h>

#include "ShapeTest.h"
#include <climits>
#include <cmath>
#include <random>
#include <wgraph/Wgraph.h>

using namespace ShapeTest;

namespace {

constexpr TColor Background = clWhite;
constexpr TColor Ink = clBlue;

// A bitmap whose canvas fills polygons with Ink and draws no outline.
struct TFillSheet {
  TBitmap Bitmap;
  explicit TFillSheet(int width = 64, int height = 64) : Bitmap(width, height) {
    Clear(Bitmap, Background);
    Canvas().Pen().SetStyle(psClear);
    Canvas().Brush().SetColor(Ink);
  }
  TCanvas &Canvas() { return *Bitmap.Canvas(); }
  TPixelSet Filled() const { return Changed(Bitmap, Background); }
};

// The pixels of the visible area that the alternate rule puts inside.
TPixelSet Expected(std::span<const TPoint> points, TPoint origin, int width, int height) {
  TPixelSet set;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (InsidePolygon(points, origin, x, y))
        set.insert({x, y});
  return set;
}

std::vector<TPoint> RandomPolygon(std::mt19937 &random, int count, int lo, int hi) {
  std::uniform_int_distribution<int> coordinate(lo, hi);
  std::vector<TPoint> points(static_cast<std::size_t>(count));
  for (TPoint &p : points)
    p = {coordinate(random), coordinate(random)};
  return points;
}

} // namespace

TEST(FillPolygon, SquareFillsHalfOpenBox) {
  TFillSheet sheet;
  const TPoint square[] = {{8, 8}, {12, 8}, {12, 12}, {8, 12}};
  sheet.Canvas().Polygon(square);
  EXPECT_EQ(sheet.Filled(), Block(8, 8, 12, 12));
}

TEST(FillPolygon, SmallFiguresMatchCentreSampling) {
  // Marker-sized triangles, diamonds and slivers in both orientations, the cases where a rounding
  // slip in the edge walk shows first.
  const std::vector<std::vector<TPoint>> figures = {{{10, 7}, {7, 12}, {13, 12}},
                                                    {{10, 7}, {13, 12}, {7, 12}},
                                                    {{10, 5}, {14, 9}, {10, 13}, {6, 9}},
                                                    {{3, 3}, {20, 4}, {4, 5}},
                                                    {{5, 1}, {6, 30}, {7, 2}},
                                                    {{0, 0}, {1, 1}, {0, 2}},
                                                    {{9, 9}, {9, 9}, {12, 14}, {12, 14}, {6, 14}}};
  for (const auto &figure : figures) {
    TFillSheet sheet(32, 32);
    sheet.Canvas().Polygon(figure);
    EXPECT_EQ(sheet.Filled(), Expected(figure, {}, 32, 32))
        << "figure starting at " << figure[0].X << "," << figure[0].Y;
  }
}

TEST(FillPolygon, RandomPolygonsMatchCentreSampling) {
  // Random polygons are mostly self-intersecting and non-monotone: the general scanline. Some
  // have more points than the stack buffer holds.
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    const int count = round % 10 == 9 ? 90 : 3 + round % 8;
    const auto points = RandomPolygon(random, count, -20, 70);
    const TPoint origin{round % 3 - 1, round % 5 - 2};
    TFillSheet sheet(48, 40);
    sheet.Canvas().SetOrigin(origin);
    sheet.Canvas().Polygon(points);
    ASSERT_EQ(sheet.Filled(), Expected(points, origin, 48, 40)) << "round " << round;
  }
}

// Thousands of points: rows crossing so many edges that they are filled by parity, and rows of a
// wavy closed curve whose few crossings are kept in order from row to row, in plain and pen-mode
// fills, partly clipped.
TEST(FillPolygon, LargePolygonsMatchCentreSampling) {
  std::mt19937 random(11);
  std::vector<std::vector<TPoint>> figures = {RandomPolygon(random, 3000, -10, 60), RandomPolygon(random, 400, 0, 47)};
  std::vector<TPoint> &wavy = figures.emplace_back();
  for (int i = 0; i < 5000; ++i) {
    const double angle = 2 * M_PI * i / 5000, radius = 16 + 6 * std::sin(7 * angle);
    wavy.push_back({static_cast<int>(std::lround(24 + radius * std::cos(angle))),
                    static_cast<int>(std::lround(20 + 1.3 * radius * std::sin(angle)))});
  }
  for (const auto &figure : figures)
    for (TPenMode mode : {pmCopy, pmXor}) {
      TFillSheet sheet(48, 40);
      sheet.Canvas().Brush().SetColor(clWhite ^ Ink);
      sheet.Canvas().Pen().SetMode(mode);
      sheet.Canvas().Polygon(figure);
      ASSERT_EQ(sheet.Filled(), Expected(figure, {}, 48, 40))
          << figure.size() << " points, mode " << static_cast<int>(mode);
    }
}

TEST(FillPolygon, PentagramLeavesItsCentreEmpty) {
  TFillSheet sheet;
  std::vector<TPoint> star;
  for (int i = 0; i < 5; ++i) {
    const double angle = -M_PI / 2 + i * 4 * M_PI / 5;
    star.push_back({static_cast<int>(std::lround(32 + 28 * std::cos(angle))),
                    static_cast<int>(std::lround(32 + 28 * std::sin(angle)))});
  }
  sheet.Canvas().Polygon(star);
  const TPixelSet filled = sheet.Filled();
  EXPECT_EQ(filled, Expected(star, {}, 64, 64));
  EXPECT_FALSE(filled.count({32, 33}));
  EXPECT_TRUE(filled.count({32, 8})); // inside the top point
}

TEST(FillPolygon, TriangulationHasNoGapsAndNoOverlaps) {
  // Jittered grids cut into triangles, each drawn with pmXor: a pixel covered twice turns back
  // to the background, one covered by none stays there, so the result must equal the fill of
  // the grid's outline.
  std::mt19937 random(11);
  std::uniform_int_distribution<int> jitter(-4, 4);
  for (int round = 0; round < 20; ++round) {
    constexpr int N = 6, Step = 10;
    TPoint grid[N + 1][N + 1];
    for (int j = 0; j <= N; ++j)
      for (int i = 0; i <= N; ++i) {
        const bool edgeX = i == 0 || i == N, edgeY = j == 0 || j == N;
        grid[j][i] = {4 + i * Step + (edgeX ? 0 : jitter(random)), 4 + j * Step + (edgeY ? 0 : jitter(random))};
      }
    TFillSheet sheet;
    sheet.Canvas().Pen().SetMode(pmXor);
    sheet.Canvas().Brush().SetColor(clWhite); // xor with white on white gives black
    for (int j = 0; j < N; ++j)
      for (int i = 0; i < N; ++i) {
        const TPoint a = grid[j][i], b = grid[j][i + 1], c = grid[j + 1][i + 1], d = grid[j + 1][i];
        const bool flip = (i + j + round) % 2 == 0;
        const TPoint t1[] = {a, b, flip ? c : d}, t2[] = {flip ? a : b, c, d};
        sheet.Canvas().Polygon(t1);
        sheet.Canvas().Polygon(t2);
      }
    EXPECT_EQ(PixelsWhere(sheet.Bitmap, clBlack), Block(4, 4, 4 + N * Step, 4 + N * Step)) << "round " << round;
    EXPECT_EQ(sheet.Filled(), Block(4, 4, 4 + N * Step, 4 + N * Step));
  }
}

TEST(FillPolygon, XorTwiceRestoresThePicture) {
  std::mt19937 random(3);
  TBitmap bitmap(40, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      bitmap.ScanLine(y)[x] = static_cast<std::uint32_t>(random()) & 0xFFFFFF;
  TBitmap before;
  before.Assign(bitmap);
  TCanvas &c = *bitmap.Canvas();
  c.Pen().SetStyle(psClear);
  c.Pen().SetMode(pmXor);
  c.Brush().SetColor(RGB(200, 100, 50));
  const auto points = RandomPolygon(random, 9, -5, 45);
  c.Polygon(points);
  int differing = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      differing += bitmap.ScanLine(y)[x] != before.ScanLine(y)[x];
  EXPECT_GT(differing, 0);
  c.Polygon(points);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      ASSERT_EQ(bitmap.ScanLine(y)[x], before.ScanLine(y)[x]) << x << "," << y;
}

TEST(FillPolygon, HatchLeavesThePixelsBetweenLinesAlone) {
  const TPoint square[] = {{2, 2}, {30, 2}, {30, 30}, {2, 30}};
  TFillSheet sheet(32, 32);
  Clear(sheet.Bitmap, clYellow);
  sheet.Canvas().Brush().SetColor(Ink);
  sheet.Canvas().Brush().SetStyle(bsCross);
  sheet.Canvas().Polygon(square);
  // Cross hatch: the lines run along x & 7 == 3 and y & 7 == 3.
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const bool inside = x >= 2 && x < 30 && y >= 2 && y < 30, line = (x & 7) == 3 || (y & 7) == 3;
      ASSERT_EQ(sheet.Bitmap.ScanLine(y)[x], ColorToPixel(inside && line ? Ink : clYellow)) << x << "," << y;
    }
}

TEST(FillPolygon, ClipRectangleBoundsTheFill) {
  const TPoint triangle[] = {{-10, -5}, {70, 20}, {5, 70}};
  TFillSheet whole, clipped;
  whole.Canvas().Polygon(triangle);
  const TRect clip{10, 12, 40, 33};
  clipped.Canvas().SetDeviceClip(clip);
  clipped.Canvas().Polygon(triangle);
  EXPECT_EQ(clipped.Filled(), Intersect(whole.Filled(), Block(clip.Left, clip.Top, clip.Right, clip.Bottom)));
}

TEST(FillPolygon, ExtremeCoordinatesDrawTheVisiblePart) {
  // Corners at the ends of the 32-bit range, with origins pushing them further: the fill must
  // still sample exactly, and finish because only visible rows are walked.
  const std::vector<std::vector<TPoint>> figures = {
      {{INT_MIN, INT_MIN}, {INT_MAX, 10}, {20, INT_MAX}},
      {{INT_MIN, 30}, {INT_MAX, 31}, {INT_MAX, 33}, {INT_MIN, 40}},
      {{-2000000000, -1900000000}, {2100000000, 5}, {-3, 2000000000}, {40, 20}, {INT_MIN, INT_MAX}},
      {{INT_MAX, INT_MIN}, {INT_MIN, INT_MAX}, {INT_MAX, INT_MAX}}};
  const TPoint origins[] = {{0, 0}, {INT_MAX, INT_MIN}, {INT_MIN, 5}, {-1000000000, 1000000000}};
  for (const auto &figure : figures)
    for (const TPoint origin : origins) {
      TFillSheet sheet(48, 48);
      sheet.Canvas().SetOrigin(origin);
      sheet.Canvas().Polygon(figure);
      EXPECT_EQ(sheet.Filled(), Expected(figure, origin, 48, 48)) << figure[0].X << " origin " << origin.X;
    }
}

TEST(FillPolygon, DegenerateFiguresFillNothing) {
  const std::vector<std::vector<TPoint>> figures = {{{5, 5}},
                                                    {{5, 5}, {20, 20}},
                                                    {{5, 5}, {20, 20}, {35, 35}},
                                                    {{3, 9}, {40, 9}, {20, 9}},
                                                    {{7, 3}, {7, 30}, {7, 12}}};
  for (const auto &figure : figures) {
    TFillSheet sheet;
    sheet.Canvas().Polygon(figure);
    EXPECT_TRUE(sheet.Filled().empty()) << figure.size() << " points";
  }
}

TEST(FillPolygon, SquareMarkerCoversItsFillAndOutline) {
  // The marker's polygon fills [px - h, px - h + size) and its outline adds the far column and
  // row: a block of size + 1.
  Wgraph::SetWorldWindow(0, 100, 0, 100, 0, 0, 0, 0);
  Wgraph::SetPCWindow(0, 100, 0, 100);
  for (int size = 2; size <= 9; ++size) {
    TFillSheet sheet(32, 32);
    sheet.Canvas().Pen().SetStyle(psSolid);
    Wgraph::DrawSquarePoint(&sheet.Canvas(), size, 15, 16, clRed);
    const int h = size / 2;
    EXPECT_EQ(PixelsWhere(sheet.Bitmap, clRed), Block(15 - h, 16 - h, 16 - h + size, 17 - h + size)) << size;
    EXPECT_EQ(sheet.Filled(), PixelsWhere(sheet.Bitmap, clRed));
  }
}

TEST(FillPolygon, FigureIsItsFillThenItsOutline) {
  // A polygon with pen and brush must equal the brush-only polygon followed by the pen-only one,
  // under modes that overwrite and modes that do not; rectangles take a shortcut for the first.
  const std::vector<std::vector<TPoint>> figures = {{{8, 8}, {20, 8}, {20, 17}, {8, 17}},
                                                    {{30, 5}, {30, 25}, {44, 25}, {44, 5}},
                                                    {{10, 40}, {11, 40}, {11, 41}, {10, 41}},
                                                    {{50, 30}, {50, 30}, {50, 30}, {50, 30}},
                                                    {{40, 40}, {58, 44}, {45, 60}}};
  for (TPenMode mode : {pmCopy, pmXor, pmNotCopy, pmMerge})
    for (TPenStyle style : {psSolid, psDot, psInsideFrame})
      for (const auto &figure : figures) {
        TBitmap together(64, 64), apart(64, 64);
        for (TBitmap *b : {&together, &apart}) {
          Clear(*b, RGB(10, 20, 30));
          b->Canvas()->Pen().SetColor(clRed);
          b->Canvas()->Pen().SetMode(mode);
          b->Canvas()->Pen().SetStyle(style);
          b->Canvas()->Brush().SetColor(clLime);
        }
        together.Canvas()->Polygon(figure);
        apart.Canvas()->Pen().SetStyle(psClear);
        apart.Canvas()->Polygon(figure);
        apart.Canvas()->Pen().SetStyle(style);
        apart.Canvas()->Brush().SetStyle(bsClear);
        apart.Canvas()->Polygon(figure);
        for (int y = 0; y < 64; ++y)
          for (int x = 0; x < 64; ++x)
            ASSERT_EQ(together.ScanLine(y)[x], apart.ScanLine(y)[x])
                << "mode " << static_cast<int>(mode) << " style " << static_cast<int>(style) << " at " << x << "," << y
                << " figure " << figure[0].X;
      }
}
