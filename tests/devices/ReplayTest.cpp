// One table of drawings, each drawn under every pen mode, pen style and brush style through each
// way a canvas reaches pixels: straight onto a raster device, and recorded then replayed onto one.
// Every way must leave exactly the pixels of the direct drawing.

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <platform/graphics/raster/RasterDevice.h>
#include <platform/graphics/recording/RecordingDevice.h>
#include <platform/pictures/Bitmap.h>
#include <string>
#include <vector>

using namespace Platform;

namespace {

constexpr int Width = 48;
constexpr int Height = 40;

struct TDrawing {
  std::string Name;
  std::function<void(TCanvas &)> Draw;
};

// A picture of its own for the image drawings: it lives only while the drawing runs, so a replay
// that kept a view of it rather than its pixels would read freed memory.
void DrawPicture(TCanvas &c, bool stretched) {
  TBitmap picture(5, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x)
      picture.ScanLine(y)[x] =
          0x102030u * static_cast<std::uint32_t>(x + 1) + 0x0F0000u * static_cast<std::uint32_t>(y);
  if (stretched)
    c.StretchDraw({30, 30, 3, 12}, picture);
  else
    c.Draw(-2, 33, picture);
}

const std::vector<TDrawing> &Drawings() {
  static const std::vector<TDrawing> drawings = {
      {"lines joined, a move restarting the dash",
       [](TCanvas &c) {
         c.MoveTo(2, 3);
         c.LineTo(40, 9);
         c.LineTo(11, 37);
         c.MoveTo(45, 2);
         c.LineTo(5, 20);
       }},
      {"polyline then a line continuing its pattern",
       [](TCanvas &c) {
         const TPoint points[] = {{1, 1}, {30, 4}, {12, 25}, {44, 38}};
         c.Polyline(points);
         c.LineTo(3, 36);
       }},
      {"concave polygon",
       [](TCanvas &c) {
         const TPoint star[] = {{24, 1}, {30, 36}, {2, 12}, {46, 12}, {17, 38}};
         c.Polygon(star);
       }},
      {"rectangles, one traced as a polygon",
       [](TCanvas &c) {
         c.Rectangle(40, 30, 4, 5);
         const TPoint box[] = {{10, 10}, {30, 10}, {30, 22}, {10, 22}};
         c.Polygon(box);
       }},
      {"fill rect",
       [](TCanvas &c) {
         c.FillRect({3, 4, 33, 27});
       }},
      {"ellipse and arc",
       [](TCanvas &c) {
         c.Ellipse(2, 2, 37, 29);
         c.Arc(8, 6, 46, 39, 46, 6, 8, 39);
       }},
      {"pixels",
       [](TCanvas &c) {
         c.SetPixels(5, 5, clRed);
         c.SetPixels(47, 39, clBlue);
         c.SetPixels(-1, 3, clLime);
       }},
      {"image at its size", [](TCanvas &c) { DrawPicture(c, false); }},
      {"image stretched", [](TCanvas &c) { DrawPicture(c, true); }},
      {"text placed by its measured width",
       [](TCanvas &c) {
         c.Font().SetName("arial");
         c.Font().SetSize(9);
         c.Font().SetColor(clMaroon);
         c.TextOut(Width - c.TextWidth("Wy1"), 2, "Wy1");
         c.Font().SetStyle({fsUnderline});
         c.TextOut(1, 20, "g\xC3\xA9");
       }},
      {"markers",
       [](TCanvas &c) {
         const TPoint triangle[] = {{10, 4}, {4, 14}, {16, 14}};
         c.MarkerPolygon(c.MarkerPaint(clGreen, TMarkerFill::Filled), triangle);
         c.MarkerPolygon(c.MarkerPaint(clNavy, TMarkerFill::Outlined), triangle);
         c.MarkerEllipse(c.MarkerPaint(clPurple, TMarkerFill::Filled), {37, 27, 30, 20});
       }},
      {"origin and clip",
       [](TCanvas &c) {
         c.SetOrigin({7, -3});
         c.SetDeviceClip({5, 6, 40, 30});
         c.Ellipse(-4, 0, 30, 40);
         c.MoveTo(-10, 10);
         c.LineTo(50, 20);
       }},
  };
  return drawings;
}

struct TPaint {
  TPenMode Mode;
  TPenStyle Style;
  int PenWidth;
  TBrushStyle Brush;
};

void Prepare(TCanvas &c, const TPaint &paint) {
  c.Pen().SetColor(clTeal);
  c.Pen().SetMode(paint.Mode);
  c.Pen().SetStyle(paint.Style);
  c.Pen().SetWidth(paint.PenWidth);
  c.Brush().SetColor(clOlive);
  c.Brush().SetStyle(paint.Brush);
}

// A background of many colours, so that every raster operation shows.
void PaintBackground(TBitmap &bitmap) {
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x)
      bitmap.ScanLine(y)[x] = static_cast<std::uint32_t>(x * 5) << 16 | static_cast<std::uint32_t>(y * 6) << 8 |
                              static_cast<std::uint32_t>((x + y) * 3);
}

enum class TRoute { Direct, Replayed };

std::vector<std::uint32_t> Render(const TDrawing &drawing, const TPaint &paint, TRoute route) {
  TBitmap bitmap(Width, Height);
  PaintBackground(bitmap);
  if (route == TRoute::Direct) {
    Prepare(*bitmap.Canvas(), paint);
    drawing.Draw(*bitmap.Canvas());
  } else {
    TRecordingDevice recording;
    {
      TCanvas canvas(&recording);
      Prepare(canvas, paint);
      drawing.Draw(canvas);
    }
    TRasterDevice target(bitmap.Surface());
    recording.Replay(target);
  }
  const TRasterSurface &s = bitmap.Surface();
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < s.Height; ++y)
    pixels.insert(pixels.end(), s.Row(y), s.Row(y) + s.Width);
  return pixels;
}

std::vector<TPaint> Paints() {
  std::vector<TPaint> paints;
  const TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame};
  const TBrushStyle brushes[] = {bsSolid,     bsClear,     bsHorizontal, bsVertical,
                                 bsFDiagonal, bsBDiagonal, bsCross,      bsDiagCross};
  for (int mode = 0; mode < 16; ++mode)
    for (TPenStyle style : styles)
      for (TBrushStyle brush : brushes)
        for (int width : {1, 3})
          paints.push_back({static_cast<TPenMode>(mode), style, width, brush});
  return paints;
}

int PixelsWhereNot(const TBitmap &bitmap, TColor color) {
  int n = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      n += bitmap.Surface().Row(y)[x] != ColorToPixel(color) ? 1 : 0;
  return n;
}

} // namespace

TEST(Replay, EveryDrawingReplaysToTheSamePixels) {
  const std::vector<TPaint> paints = Paints();
  for (const TDrawing &drawing : Drawings()) {
    for (const TPaint &paint : paints) {
      const auto direct = Render(drawing, paint, TRoute::Direct);
      const auto replayed = Render(drawing, paint, TRoute::Replayed);
      if (direct != replayed) {
        std::size_t first = 0;
        while (direct[first] == replayed[first])
          ++first;
        ADD_FAILURE() << drawing.Name << ": mode " << static_cast<int>(paint.Mode) << ", style "
                      << static_cast<int>(paint.Style) << ", width " << paint.PenWidth << ", brush "
                      << static_cast<int>(paint.Brush) << ": first difference at (" << first % Width << ", "
                      << first / Width << ")";
        return;
      }
    }
  }
}

TEST(Replay, RecordingKeepsMovesPhasesAndImagePixels) {
  TRecordingDevice recording;
  TCanvas c(&recording);
  c.Pen().SetStyle(psDash);
  c.MoveTo(0, 0);
  c.LineTo(10, 3);  // 10 steps
  c.LineTo(10, 30); // starts 10 into the pattern
  c.MoveTo(5, 5);
  c.LineTo(6, 6); // a move starts the pattern again
  TBitmap picture(2, 1);
  picture.ScanLine(0)[0] = 0x123456;
  picture.ScanLine(0)[1] = 0xABCDEF;
  c.Draw(1, 1, picture);
  const auto &calls = recording.Calls();
  ASSERT_EQ(calls.size(), 6u);
  EXPECT_EQ(calls[0].Kind, dcMoveTo);
  EXPECT_EQ(calls[1].DashPhase, 0);
  EXPECT_EQ(calls[2].DashPhase, 10);
  EXPECT_EQ(calls[3].Kind, dcMoveTo);
  EXPECT_EQ(calls[3].Points, (std::vector<TPoint>{{5, 5}}));
  EXPECT_EQ(calls[4].DashPhase, 0);
  EXPECT_EQ(calls[5].ImagePixels, (std::vector<std::uint32_t>{0x123456, 0xABCDEF}));
  // Phases wrap at the longest cycle and count the longer extent of each line.
  EXPECT_EQ(DashPhaseAfter(20, {0, 0}, {-3, 7}), 3);
  EXPECT_EQ(DashPhaseAfter(-1, {0, 0}, {0, 0}), 23);
  EXPECT_EQ(DashPhaseAfter(0, {INT_MIN, 0}, {INT_MAX, 0}), 15); // (2^32 - 1) mod 24
}

TEST(Replay, CallsMadeByHandWithoutTheirDataAreSkipped) {
  TRecordingDevice recording;
  TCanvas c(&recording);
  c.MoveTo(1, 1);
  c.LineTo(4, 4);
  std::vector<TRecordedCall> calls = recording.Calls();
  calls[0].Points.clear();
  calls[1].Points.resize(1);
  TRecordedCall image;
  image.Kind = dcDrawImage;
  image.ImageWidth = 100;
  image.ImageHeight = 100;
  image.Box = {0, 0, 8, 8};
  calls.push_back(image);
  TBitmap bitmap(8, 8);
  TRasterDevice target(bitmap.Surface());
  TRecordingDevice::Replay(calls, target);
  EXPECT_EQ(PixelsWhereNot(bitmap, clWhite), 0);
  recording.Replay(target);
  EXPECT_EQ(PixelsWhereNot(bitmap, clWhite), 3);
}
