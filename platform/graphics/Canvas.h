#pragma once

#include <memory>
#include <optional>
#include <platform/graphics/Brush.h>
#include <platform/graphics/CanvasContext.h>
#include <platform/graphics/Device.h>
#include <platform/graphics/Font.h>
#include <platform/graphics/Graphic.h>
#include <platform/graphics/Pen.h>
#include <platform/graphics/Types.h>
#include <platform/rtl/Export.h>
#include <span>
#include <string_view>

namespace Platform {

// A pen, a brush, a font and a pen position drawing on a device through an origin offset and
// a clip rectangle. A canvas without a device accepts every call and draws nothing.
class VELGRAPH_API TCanvas {
public:
  explicit TCanvas(TDevice *device = nullptr);
  virtual ~TCanvas();
  TCanvas(const TCanvas &) = delete;
  TCanvas &operator=(const TCanvas &) = delete;

  TDevice *Device() const { return FDevice; }
  void SetDevice(TDevice *device) { FDevice = device; }

  TPen &Pen() { return FPen; }
  const TPen &Pen() const { return FPen; }
  TBrush &Brush() { return FBrush; }
  const TBrush &Brush() const { return FBrush; }
  // The font, at the device's pixels per inch.
  TFont &Font();
  const TFont &Font() const { return FFont; }

  // Device pixel of the canvas's (0, 0).
  TPoint Origin() const { return FOrigin; }
  void SetOrigin(TPoint origin) { FOrigin = origin; }
  // The clip rectangle in device pixels; by default everything.
  TRect DeviceClip() const { return FDeviceClip; }
  void SetDeviceClip(const TRect &clip) { FDeviceClip = clip; }
  // The clip rectangle in the canvas's own coordinates.
  TRect ClipRect() const;

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  TPoint PenPos() const { return FPenPos; }
  void SetPenPos(TPoint p) { MoveTo(p.X, p.Y); }
  // Lines through the points; the pen ends on the last one.
  void Polyline(std::span<const TPoint> points);
  void Polygon(std::span<const TPoint> points);
  // Points 0..lastIndex; a negative lastIndex draws nothing.
  void Polygon(const TPoint *points, int lastIndex);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect &r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void FillRect(const TRect &rect);
  void Ellipse(int x1, int y1, int x2, int y2);
  void Ellipse(const TRect &r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  TColor Pixels(int x, int y) const;
  void SetPixels(int x, int y, TColor color);
  // Paints the graphic at its own size with its top-left at (x, y).
  void Draw(int x, int y, const TGraphic &graphic);
  // Paints the graphic scaled into rect (corners in any order).
  void StretchDraw(const TRect &rect, const TGraphic &graphic);

  // Writes the text (UTF-8; stray bytes are Latin-1) with the top-left of its cell at (x, y), on
  // the brush colour unless the brush is clear. The pen position does not move.
  void TextOut(int x, int y, std::string_view text);
  // The extent of the text in the font TextOut would use: the sum of the advances by ascent +
  // descent, at the device's pixels per inch (96 without a device).
  TSize TextExtent(std::string_view text);
  int TextWidth(std::string_view text) { return TextExtent(text).cx; }
  int TextHeight(std::string_view text) { return TextExtent(text).cy; }

  // What the Win32 layer keeps with this canvas (its device context); released with the canvas.
  TCanvasContext *Context() const { return FContext.get(); }
  void SetContext(std::unique_ptr<TCanvasContext> context) { FContext = std::move(context); }
  // A font selected into the context (SelectObject) replaces Font for text until it is selected
  // out again (nullptr) or Font changes; the text colour stays Font's.
  void SetSelectedFont(const TFontSpec *font);
  bool HasSelectedFont() const { return FSelectedFont.has_value(); }
  // The font text is written in.
  const TFontSpec &TextFont();

  // The state handed to the device with each primitive. Inline, so that a caller that changes
  // part of it (a marker) builds it once in place.
  TDrawState State() const {
    return {{FPen.Color(), FPen.Mode(), FPen.Style(), FPen.Width()},
            {FBrush.Color(), FBrush.Style()},
            FOrigin,
            FDeviceClip};
  }

private:
  TDevice *FDevice;
  TPen FPen;
  TBrush FBrush;
  TFont FFont;
  TPoint FPenPos;
  TPoint FOrigin;
  TRect FDeviceClip;
  int FDashPhase = 0;
  std::optional<TFontSpec> FSelectedFont;
  // Font as it was when FSelectedFont was selected; a change to it ends the selection.
  TFontSpec FSelectedOver;
  // Font as a device takes it, kept to reuse its name's storage.
  TFontSpec FTextFont;
  // Last, so that it goes first while the rest of the canvas is still whole.
  std::unique_ptr<TCanvasContext> FContext;
};

// The box with its corners ordered.
constexpr TRect OrderedRect(int x1, int y1, int x2, int y2) {
  return {x1 < x2 ? x1 : x2, y1 < y2 ? y1 : y2, x1 < x2 ? x2 : x1, y1 < y2 ? y2 : y1};
}

} // namespace Platform
