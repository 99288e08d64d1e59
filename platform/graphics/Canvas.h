#pragma once

#include <span>
#include <platform/graphics/Brush.h>
#include <platform/graphics/Device.h>
#include <platform/graphics/Font.h>
#include <platform/graphics/Graphic.h>
#include <platform/graphics/Pen.h>
#include <platform/graphics/Types.h>

namespace Platform {

// A pen, a brush, a font and a pen position drawing on a device through an origin offset and
// a clip rectangle. A canvas without a device accepts every call and draws nothing.
class TCanvas {
public:
  explicit TCanvas(TDevice *device = nullptr);
  virtual ~TCanvas() = default;
  TCanvas(const TCanvas &) = delete;
  TCanvas &operator=(const TCanvas &) = delete;

  TDevice *Device() const { return FDevice; }
  void SetDevice(TDevice *device) { FDevice = device; }

  TPen &Pen() { return FPen; }
  const TPen &Pen() const { return FPen; }
  TBrush &Brush() { return FBrush; }
  const TBrush &Brush() const { return FBrush; }
  TFont &Font() { return FFont; }
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

  // The state handed to the device with each primitive.
  TDrawState State() const;

private:
  TDevice *FDevice;
  TPen FPen;
  TBrush FBrush;
  TFont FFont;
  TPoint FPenPos;
  TPoint FOrigin;
  TRect FDeviceClip;
  int FDashPhase = 0;
};

// The box with its corners ordered.
constexpr TRect OrderedRect(int x1, int y1, int x2, int y2) {
  return {x1 < x2 ? x1 : x2, y1 < y2 ? y1 : y2, x1 < x2 ? x2 : x1, y1 < y2 ? y2 : y1};
}

} // namespace Platform
