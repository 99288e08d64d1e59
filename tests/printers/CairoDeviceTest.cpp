// The cairo backend against the raster backend: the same calls drawn on both, cairo's page
// rendered to pixels, compared up to anti-aliasing.

#include "CairoPage.h"
#include <cairo.h>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <platform/graphics/cairo/CairoDevice.h>
#include <platform/pictures/Bitmap.h>
#include <string>
#include <vector>

namespace {

using namespace Platform;
using namespace CairoCompare;

struct TDrawing {
  const char *Name;
  std::function<void(TCanvas &)> Draw;
  double MinCoverage = 0.5;
};

void Lines(TCanvas &c, TPenStyle style, int width) {
  c.Pen().SetStyle(style);
  c.Pen().SetWidth(width);
  c.Pen().SetColor(clNavy);
  c.MoveTo(5, 10);
  // The pattern runs on from one LineTo to the next and round the corners of a polyline.
  c.LineTo(110, 10);
  c.LineTo(110, 50);
  c.LineTo(10, 110);
  const TPoint zigzag[] = {{10, 30}, {50, 30}, {70, 90}, {95, 40}};
  c.Polyline(zigzag);
}

const std::vector<TDrawing> &Drawings() {
  static const std::vector<TDrawing> table = {
      {"solid lines every way",
       [](TCanvas &c) {
         for (int i = 0; i < 16; ++i) {
           const double a = i * 3.14159265 / 8;
           c.MoveTo(60, 60);
           c.LineTo(60 + int(std::lround(55 * std::cos(a))), 60 + int(std::lround(55 * std::sin(a))));
         }
       }},
      {"dash", [](TCanvas &c) { Lines(c, psDash, 1); }},
      {"dot", [](TCanvas &c) { Lines(c, psDot, 1); }},
      {"dash dot", [](TCanvas &c) { Lines(c, psDashDot, 0); }},
      {"dash dot dot", [](TCanvas &c) { Lines(c, psDashDotDot, 1); }},
      {"wide round pen", [](TCanvas &c) { Lines(c, psSolid, 7); }},
      {"rectangles",
       [](TCanvas &c) {
         c.Brush().SetColor(clYellow);
         c.Rectangle(5, 5, 50, 40);
         c.Pen().SetStyle(psDash);
         c.Rectangle(60, 5, 115, 40);
         c.Pen().SetStyle(psClear);
         c.Rectangle(5, 50, 50, 80);
         c.Pen().SetStyle(psSolid);
         c.Pen().SetWidth(5);
         c.Rectangle(60, 50, 110, 80);
         c.Pen().SetStyle(psInsideFrame);
         c.Rectangle(10, 88, 110, 115);
         c.Pen().SetWidth(1);
         c.Rectangle(52, 100, 53, 110);
       }},
      {"ellipses",
       [](TCanvas &c) {
         c.Brush().SetColor(clLime);
         c.Ellipse(5, 5, 60, 45);
         c.Pen().SetWidth(6);
         c.Ellipse(65, 5, 115, 60);
         c.Pen().SetStyle(psClear);
         c.Ellipse(5, 60, 55, 115);
         c.Pen().SetStyle(psInsideFrame);
         c.Ellipse(62, 68, 112, 112);
       }},
      {"arcs counter-clockwise",
       [](TCanvas &c) {
         c.Arc(5, 5, 55, 55, 55, 30, 30, 5);    // right to top: a quarter
         c.Arc(60, 5, 115, 55, 87, 5, 115, 30); // top round to right: three quarters
         c.Arc(5, 60, 55, 110, 55, 85, 55, 85); // one ray: the whole ellipse
         c.Pen().SetWidth(5);
         c.Arc(60, 60, 115, 115, 60, 87, 115, 87); // left to right, under
       }},
      {"alternate fill",
       [](TCanvas &c) {
         c.Brush().SetColor(clRed);
         const TPoint star[] = {{60, 5}, {95, 110}, {5, 40}, {115, 40}, {25, 110}};
         c.Polygon(star);
       }},
      {"hatches",
       [](TCanvas &c) {
         const TBrushStyle styles[] = {bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross};
         c.Brush().SetColor(clBlue);
         for (int i = 0; i < 6; ++i) {
           c.Brush().SetStyle(styles[i]);
           c.Rectangle(5 + (i % 3) * 38, 5 + (i / 3) * 55, 40 + (i % 3) * 38, 55 + (i / 3) * 55);
         }
       }},
      {"text",
       [](TCanvas &c) {
         c.Font().SetName("arial");
         c.Font().SetSize(12);
         c.Font().SetColor(clMaroon);
         c.Brush().SetColor(clAqua);
         c.TextOut(5, 5, "Rulers 0.25");
         c.Brush().SetStyle(bsClear);
         c.Font().SetStyle({fsUnderline, fsBold});
         c.TextOut(5, 30, "mm 1234");
       },
       0.3},
      {"rotated text",
       [](TCanvas &c) {
         c.Brush().SetStyle(bsClear);
         c.Font().SetName("arial");
         c.Font().SetSize(11);
         TFontSpec rotated = c.TextFont();
         rotated.Escapement = 900;
         c.SetSelectedFont(&rotated);
         c.TextOut(10, 110, "Up 90");
         rotated.Escapement = 300;
         c.SetSelectedFont(&rotated);
         c.TextOut(40, 100, "Slope");
       },
       0.3},
      {"image stretched",
       [](TCanvas &c) {
         TBitmap image(4, 3);
         for (int y = 0; y < 3; ++y)
           for (int x = 0; x < 4; ++x)
             image.Canvas()->SetPixels(x, y, RGB(x * 60, y * 100, 200));
         c.Draw(3, 3, image);
         c.StretchDraw({20, 20, 100, 110}, image);
       }},
      {"origin and clip",
       [](TCanvas &c) {
         c.SetOrigin({20, 10});
         c.SetDeviceClip({30, 30, 90, 100});
         c.Brush().SetColor(clPurple);
         c.Ellipse(-10, -5, 90, 100);
         c.MoveTo(-20, 0);
         c.LineTo(100, 90);
       }},
      {"far coordinates",
       [](TCanvas &c) {
         c.MoveTo(-2147483647 - 1, 30);
         c.LineTo(2147483647, 30);
         c.Pen().SetStyle(psDot);
         c.MoveTo(-2147483000, -2147483000);
         c.LineTo(2147483000, 2147483000);
         c.Pen().SetStyle(psSolid);
         c.Brush().SetColor(clGreen);
         const TPoint wedge[] = {{60, 70}, {2000000000, 2000000000}, {-2000000000, 2000000000}};
         c.Polygon(wedge);
         c.Brush().SetStyle(bsClear);
         // An ellipse with semi-axes near 2^30 whose top touches the page at y = 50.
         c.Ellipse(60 - (1 << 30), 50, 60 + (1 << 30), 2147483000);
         c.TextOut(2147483000, 60, "beyond the right");
         c.TextOut(-2147483647 - 1, 60, "beyond the left");
         TBitmap image(2, 2);
         image.Canvas()->SetPixels(0, 0, clRed);
         // Its top-left quarter is red and reaches from far off the page to x = 30.
         c.StretchDraw({-2000000000, 80, 2000000060, 100}, image);
         // A pen far wider than the page, its line far above it: the page's top rows.
         c.Pen().SetWidth(200001);
         c.MoveTo(-300000, -99960);
         c.LineTo(300000, -99960);
       }},
  };
  return table;
}

TEST(CairoDevice, SameDrawingAsRasterUpToAntiAliasing) {
  for (const TDrawing &drawing : Drawings()) {
    SCOPED_TRACE(drawing.Name);
    TBitmap raster(Side, Side);
    TCairoPage page;
    drawing.Draw(*raster.Canvas());
    drawing.Draw(page.Canvas());
    EXPECT_EQ(Mismatch(raster, page, drawing.MinCoverage), "");
  }
}

// The comparison itself must see the faults it is there for.
TEST(CairoDevice, ComparisonCatchesAWrongPicture) {
  TBitmap raster(Side, Side);
  TCairoPage page;
  Lines(*raster.Canvas(), psDash, 1);
  Lines(page.Canvas(), psDot, 1);
  EXPECT_NE(Mismatch(raster, page, 0.5), "");
  TBitmap arc(Side, Side);
  TCairoPage clockwise;
  arc.Canvas()->Arc(5, 5, 55, 55, 55, 30, 30, 5);
  clockwise.Canvas().Arc(5, 5, 55, 55, 30, 5, 55, 30);
  EXPECT_NE(Mismatch(arc, clockwise, 0.5), "");
}

TEST(CairoDevice, PenModesOnPaper) {
  struct TCase {
    TPenMode Mode;
    TColor Line; // what a red pen leaves on white paper
    TColor Fill; // what a blue brush leaves
  };
  const TCase cases[] = {
      {pmCopy, clRed, clBlue},       {pmBlack, clBlack, clBlack},    {pmWhite, clWhite, clWhite},
      {pmNop, clWhite, clWhite},     {pmNotCopy, clAqua, clYellow},  {pmNot, clRed, clBlue},
      {pmXor, clRed, clBlue},        {pmNotXor, clRed, clBlue},      {pmMerge, clRed, clBlue},
      {pmMask, clRed, clBlue},       {pmMergePenNot, clRed, clBlue}, {pmMaskNotPen, clRed, clBlue},
      {pmMaskPenNot, clRed, clBlue}, {pmMergeNotPen, clRed, clBlue}, {pmNotMerge, clRed, clBlue},
      {pmNotMask, clRed, clBlue},
  };
  for (const TCase &c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Mode));
    TCairoPage page;
    TCanvas &canvas = page.Canvas();
    canvas.Pen().SetMode(c.Mode);
    canvas.Pen().SetColor(clRed);
    canvas.Brush().SetColor(clBlue);
    canvas.MoveTo(10, 10);
    canvas.LineTo(100, 10);
    canvas.Rectangle(10, 40, 60, 90);
    // Twice, as a rubber band is drawn and taken away: paper keeps the mark.
    canvas.MoveTo(10, 20);
    canvas.LineTo(100, 20);
    canvas.MoveTo(10, 20);
    canvas.LineTo(100, 20);
    EXPECT_EQ(page.Pixel(50, 10), ColorToPixel(c.Line));
    EXPECT_EQ(page.Pixel(50, 20), ColorToPixel(c.Line));
    EXPECT_EQ(page.Pixel(10, 60), ColorToPixel(c.Line)) << "outline";
    EXPECT_EQ(page.Pixel(35, 65), ColorToPixel(c.Fill)) << "inside";
    // FillRect and text ignore the pen mode.
    canvas.Brush().SetColor(clGreen);
    canvas.FillRect({70, 40, 110, 90});
    EXPECT_EQ(page.Pixel(90, 65), ColorToPixel(clGreen));
  }
}

TEST(CairoDevice, PixelsReadBackFromAnImageSurfaceOnly) {
  TCairoPage page;
  TCanvas &c = page.Canvas();
  c.SetPixels(7, 9, clFuchsia);
  EXPECT_EQ(c.Pixels(7, 9), clFuchsia);
  EXPECT_EQ(c.Pixels(8, 9), clWhite);
  EXPECT_EQ(c.Pixels(-1, 0), -1);
  EXPECT_EQ(c.Pixels(Side, 0), -1);
  c.SetDeviceClip({0, 0, 5, 5});
  EXPECT_EQ(c.Pixels(7, 9), -1);

  cairo_surface_t *recording = cairo_recording_surface_create(CAIRO_CONTENT_COLOR, nullptr);
  cairo_t *cr = cairo_create(recording);
  TCairoDevice device(cr, {0, 0, 10, 10}, 600);
  cairo_destroy(cr);
  TCanvas paper(&device);
  paper.SetPixels(1, 1, clRed);
  EXPECT_EQ(paper.Pixels(1, 1), -1);
  EXPECT_EQ(paper.Font().PixelsPerInch(), 600);
  cairo_surface_destroy(recording);
}

TEST(CairoDevice, TextAdvancesMatchTheRasterBackend) {
  // Each glyph starts where the raster backend starts it: the ink of "l" at every fifth place.
  TBitmap raster(Side, 40);
  TCairoPage page(Side, 40);
  for (TCanvas *c : {raster.Canvas(), &page.Canvas()}) {
    c->Font().SetName("arial");
    c->Font().SetSize(20);
    c->Brush().SetStyle(bsClear);
    c->TextOut(2, 2, "llllllllll");
  }
  auto columns = [&](auto &&pixel) {
    std::vector<int> starts;
    bool inked = false;
    for (int x = 0; x < Side; ++x) {
      bool any = false;
      for (int y = 0; y < 40; ++y)
        any = any || Coverage(pixel(x, y), 0) > 0.5;
      if (any && !inked)
        starts.push_back(x);
      inked = any;
    }
    return starts;
  };
  const auto rasterStarts = columns([&](int x, int y) { return raster.Surface().Row(y)[x]; });
  const auto cairoStarts = columns([&](int x, int y) { return page.Pixel(x, y); });
  ASSERT_EQ(rasterStarts.size(), 10u);
  ASSERT_EQ(cairoStarts.size(), 10u);
  for (std::size_t i = 0; i < 10; ++i)
    EXPECT_NEAR(cairoStarts[i], rasterStarts[i], 1) << i;
}

} // namespace
