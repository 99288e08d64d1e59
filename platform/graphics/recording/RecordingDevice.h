#pragma once

#include <platform/graphics/Device.h>
#include <platform/rtl/Export.h>
#include <string>
#include <vector>

namespace Platform {

enum class TDeviceCall : std::uint8_t {
  dcLine,
  dcPolyline,
  dcPolygon,
  dcRectangle,
  dcFillRect,
  dcEllipse,
  dcArc,
  dcSetPixel,
  dcDrawImage,
  dcTextOut
};
using enum TDeviceCall;

// One primitive as the canvas handed it over, in the canvas's coordinates, with the state in force.
struct TRecordedCall {
  TDeviceCall Kind = dcLine;
  TDrawState State;
  // Line: the two ends; Polyline and Polygon: the points; Arc: start and end; SetPixel: the pixel.
  std::vector<TPoint> Points;
  // Rectangle, FillRect, Ellipse, Arc: the box; DrawImage: the destination.
  TRect Box;
  // SetPixel: the colour.
  TColor Color = clBlack;
  // DrawImage: the image's size (its pixels are not kept).
  int ImageWidth = 0;
  int ImageHeight = 0;
  // TextOut: the text and the font; Points holds the position.
  std::string Text;
  TFontSpec Font;
};

// Keeps every call. Reading pixels answers -1: a recording has none.
class VELGRAPH_API TRecordingDevice : public TDevice {
public:
  const std::vector<TRecordedCall> &Calls() const { return FCalls; }
  void Clear() { FCalls.clear(); }

  void Line(const TDrawState &state, TPoint a, TPoint b, int &dashPhase) override;
  void Polyline(const TDrawState &state, std::span<const TPoint> points, int &dashPhase) override;
  void Polygon(const TDrawState &state, std::span<const TPoint> points) override;
  void Rectangle(const TDrawState &state, const TRect &box) override;
  void FillRect(const TDrawState &state, const TRect &rect) override;
  void Ellipse(const TDrawState &state, const TRect &box) override;
  void Arc(const TDrawState &state, const TRect &box, TPoint start, TPoint end) override;
  void SetPixel(const TDrawState &state, TPoint p, TColor color) override;
  TColor GetPixel(const TDrawState &state, TPoint p) const override;
  void DrawImage(const TDrawState &state, const TRect &dest, const TRasterSurface &image) override;
  void TextOut(const TDrawState &state, TPoint at, std::string_view text, const TFontSpec &font) override;

private:
  TRecordedCall &Add(TDeviceCall kind, const TDrawState &state);
  std::vector<TRecordedCall> FCalls;
};

} // namespace Platform
