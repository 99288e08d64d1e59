#pragma once

// One table of drawings and one of paints (every pen mode, pen style, two pen widths, every brush
// style), for the tests that draw the same thing along two routes and want the same pixels.

#include <gtest/gtest.h>

#include <functional>
#include <platform/graphics/Canvas.h>
#include <platform/graphics/recording/RecordingDevice.h>
#include <platform/pictures/Bitmap.h>
#include <string>
#include <vector>

namespace ReferenceDrawings {

using namespace Platform;

inline constexpr int Width = 48;
inline constexpr int Height = 40;

struct TDrawing {
  std::string Name;
  std::function<void(TCanvas &)> Draw;
};

// A picture of its own for the image drawings: it lives only while the drawing runs, so a replay
// that kept a view of it rather than its pixels would read freed memory.
inline void DrawPicture(TCanvas &c, bool stretched) {
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

inline const std::vector<TDrawing> &Drawings() {
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

inline void Prepare(TCanvas &c, const TPaint &paint) {
  c.Pen().SetColor(clTeal);
  c.Pen().SetMode(paint.Mode);
  c.Pen().SetStyle(paint.Style);
  c.Pen().SetWidth(paint.PenWidth);
  c.Brush().SetColor(clOlive);
  c.Brush().SetStyle(paint.Brush);
}

// A background of many colours, so that every raster operation shows.
inline void PaintBackground(TBitmap &bitmap) {
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x)
      bitmap.ScanLine(y)[x] = static_cast<std::uint32_t>(x * 5) << 16 | static_cast<std::uint32_t>(y * 6) << 8 |
                              static_cast<std::uint32_t>((x + y) * 3);
}

inline std::vector<TPaint> Paints() {
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

inline std::vector<std::uint32_t> PixelsOf(const TBitmap &bitmap) {
  const TRasterSurface &s = bitmap.Surface();
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < s.Height; ++y)
    pixels.insert(pixels.end(), s.Row(y), s.Row(y) + s.Width);
  return pixels;
}

// The drawing with the paint, recorded.
inline void Record(const TDrawing &drawing, const TPaint &paint, TRecordingDevice &recording) {
  TCanvas canvas(&recording);
  Prepare(canvas, paint);
  drawing.Draw(canvas);
}

// The pixels of the drawing made with the paint straight on the background.
inline std::vector<std::uint32_t> DrawnDirectly(const TDrawing &drawing, const TPaint &paint) {
  TBitmap bitmap(Width, Height);
  PaintBackground(bitmap);
  Prepare(*bitmap.Canvas(), paint);
  drawing.Draw(*bitmap.Canvas());
  return PixelsOf(bitmap);
}

// Every drawing under every paint: render(drawing, paint, bitmap) draws onto a bitmap holding the
// background and must leave the pixels of the direct drawing. Stops at the first difference.
inline void
ExpectEveryDrawingAsDrawnDirectly(const std::function<void(const TDrawing &, const TPaint &, TBitmap &)> &render) {
  const std::vector<TPaint> paints = Paints();
  for (const TDrawing &drawing : Drawings()) {
    for (const TPaint &paint : paints) {
      const auto direct = DrawnDirectly(drawing, paint);
      TBitmap bitmap(Width, Height);
      PaintBackground(bitmap);
      render(drawing, paint, bitmap);
      const auto rendered = PixelsOf(bitmap);
      if (direct != rendered) {
        std::size_t first = 0;
        while (direct[first] == rendered[first])
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

} // namespace ReferenceDrawings
