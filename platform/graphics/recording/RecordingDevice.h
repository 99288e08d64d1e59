#pragma once

#include <cstdint>
#include <platform/graphics/Device.h>
#include <platform/rtl/Export.h>
#include <string>
#include <vector>

namespace Platform {

enum class TDeviceCall : std::uint8_t {
  dcMoveTo,
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
  // MoveTo: the point; Line: the two ends; Polyline and Polygon: the points; Arc: start and end;
  // SetPixel: the pixel; TextOut: the position.
  std::vector<TPoint> Points;
  // Line and Polyline: the dash phase the figure started at.
  int DashPhase = 0;
  // Rectangle, FillRect, Ellipse, Arc: the box; DrawImage: the destination.
  TRect Box;
  // SetPixel: the colour.
  TColor Color = clBlack;
  // DrawImage: a copy of the image, ImageWidth x ImageHeight pixels, rows packed.
  int ImageWidth = 0;
  int ImageHeight = 0;
  std::vector<std::uint32_t> ImagePixels;
  // TextOut: the text and the font.
  std::string Text;
  TFontSpec Font;
};

// Keeps every call with all that a replay needs: pen moves, dash phases, image pixels and fonts.
// Replaying the calls onto another device draws what drawing on that device directly draws.
// Reading pixels answers -1 (a recording has none); text is measured as a raster device of the
// same pixels per inch measures it, so a recorded layout is the one replayed.
class VELGRAPH_API TRecordingDevice : public TDevice {
public:
  explicit TRecordingDevice(int pixelsPerInch = 96) : FPixelsPerInch(pixelsPerInch) {}

  const std::vector<TRecordedCall> &Calls() const { return FCalls; }
  void Clear() { FCalls.clear(); }
  // Hands every call to target in the order recorded, each with its own state and dash phase.
  void Replay(TDevice &target) const { Replay(FCalls, target); }
  // The same for calls kept elsewhere; a call lacking the points or pixels its kind needs is
  // skipped.
  static void Replay(std::span<const TRecordedCall> calls, TDevice &target);
  // Whether the call has the points or pixels its kind needs (a call made by hand may not).
  static bool IsComplete(const TRecordedCall &call);

  int PixelsPerInch() const override { return FPixelsPerInch; }
  void MoveTo(const TDrawState &state, TPoint p) override;
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
  TSize TextExtent(const TFontSpec &font, std::string_view text) override;
  TTextMetrics TextMetrics(const TFontSpec &font) override;

private:
  TRecordedCall &Add(TDeviceCall kind, const TDrawState &state);
  std::vector<TRecordedCall> FCalls;
  int FPixelsPerInch;
};

} // namespace Platform
