#pragma once

#include <cstdint>
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

// The box with its corners ordered.
constexpr TRect OrderedRect(int x1, int y1, int x2, int y2) {
  return {x1 < x2 ? x1 : x2, y1 < y2 ? y1 : y2, x1 < x2 ? x2 : x1, y1 < y2 ? y2 : y1};
}

// How a marker figure is painted: its outline alone, or its outline and inside in one colour.
enum class TMarkerFill : std::uint8_t { Outlined, Filled };

// The pen and brush of marker figures, made by TCanvas::MarkerPaint and read by the canvas alone.
class TMarkerPaint {
  friend class TCanvas;
  explicit TMarkerPaint(const TDrawState &state) : FState(state) {}
  bool Draws() const { return FState.Pen.Style != psClear || FState.Brush.Style != bsClear; }
  TDrawState FState;
};

// A pen, a brush, a font and a pen position drawing on a device through an origin offset and
// a clip rectangle. A canvas without a device accepts every call, draws nothing and measures
// every text as empty. The device and the state handed to it are the canvas's own: whatever
// draws, draws through the calls below.
class VELGRAPH_API TCanvas {
public:
  explicit TCanvas(TDevice *device = nullptr);
  virtual ~TCanvas();
  TCanvas(const TCanvas &) = delete;
  TCanvas &operator=(const TCanvas &) = delete;

  // The device drawn on; borrowed, and the caller keeps it alive while it is set.
  void SetDevice(TDevice *device) { FDevice = device; }
  TDevice *Device() const { return FDevice; }
  bool HasDevice() const { return FDevice != nullptr; }
  // The device's pixels per inch (96 without a device) and its drawable area (empty without one).
  int PixelsPerInch() const;
  TRect DeviceBounds() const;

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
  // Small figures in a colour of their own, as point markers draw them: outlined with a 1-pixel
  // pen in the colour (the pen's mode and style apply) and, when filled, filled with the brush in
  // the colour (a clear brush fills solid, a hatch stays). The canvas's pen and brush are left as
  // they are. MarkerPaint takes the canvas's state as it is now; figures drawn with it do not see
  // later changes to the canvas. Repeated figures of one shape are cheap: a raster device stamps
  // them from a cache. Inline, as the state they build: a marker is a few dozen pixels, and one
  // call more per figure costs a good part of its time, its stores queueing behind the previous
  // figure's pixels. For the same reason a marker takes its paint before working out its place.
  TMarkerPaint MarkerPaint(TColor color, TMarkerFill fill) const {
    TMarkerPaint paint{State()};
    TDrawState &state = paint.FState;
    state.Pen.Width = 1;
    state.Pen.Color = color;
    if (fill == TMarkerFill::Filled) {
      state.Brush.Color = color;
      if (state.Brush.Style == bsClear)
        state.Brush.Style = bsSolid;
    } else {
      state.Brush.Style = bsClear;
    }
    return paint;
  }
  void MarkerPolygon(const TMarkerPaint &paint, std::span<const TPoint> points) {
    if (FDevice && !points.empty() && paint.Draws())
      FDevice->Polygon(paint.FState, points);
  }
  // The ellipse inscribed in the box (corners in any order).
  void MarkerEllipse(const TMarkerPaint &paint, const TRect &box) {
    if (FDevice && paint.Draws())
      FDevice->Ellipse(paint.FState, OrderedRect(box.Left, box.Top, box.Right, box.Bottom));
  }
  // Copies raster pixels into rect (corners in any order), scaled by nearest-neighbour sampling
  // when the sizes differ; the pen and brush are not used.
  void DrawPixels(const TRect &rect, const TRasterSurface &pixels);
  // Paints the graphic at its own size with its top-left at (x, y).
  void Draw(int x, int y, const TGraphic &graphic);
  // Paints the graphic scaled into rect (corners in any order).
  void StretchDraw(const TRect &rect, const TGraphic &graphic);

  // Writes the text (UTF-8; stray bytes are Latin-1) with the top-left of its cell at (x, y), on
  // the brush colour unless the brush is clear. The pen position does not move.
  void TextOut(int x, int y, std::string_view text);
  // The extent of the text in the font TextOut would use, measured by the device that draws it:
  // the sum of the advances by ascent + descent.
  TSize TextExtent(std::string_view text);
  int TextWidth(std::string_view text) { return TextExtent(text).cx; }
  int TextHeight(std::string_view text) { return TextExtent(text).cy; }
  // Ascent and descent of the font TextOut would use, on the device.
  TTextMetrics TextMetrics();

  // What the Win32 layer keeps with this canvas (its device context); released with the canvas.
  TCanvasContext *Context() const { return FContext.get(); }
  void SetContext(std::unique_ptr<TCanvasContext> context) { FContext = std::move(context); }
  // A font selected into the context (SelectObject) replaces Font for text until it is selected
  // out again (nullptr) or Font changes; the text colour stays Font's.
  void SetSelectedFont(const TFontSpec *font);
  bool HasSelectedFont() const { return FSelectedFont.has_value(); }
  // The font text is written in.
  const TFontSpec &TextFont();

private:
  // The state handed to the device with each primitive.
  TDrawState State() const {
    return {{FPen.Color(), FPen.Mode(), FPen.Style(), FPen.Width()},
            {FBrush.Color(), FBrush.Style()},
            FOrigin,
            FDeviceClip};
  }

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

} // namespace Platform
