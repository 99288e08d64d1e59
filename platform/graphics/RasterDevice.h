#pragma once

#include <platform/graphics/Device.h>
#include <platform/graphics/RasterSurface.h>
#include <platform/graphics/ScreenResolution.h>

namespace Platform {

// The aliased, pixel-exact backend on a 32-bit surface: the screen, every bitmap and every
// form's framebuffer. The surface's owner keeps it alive and hands in a new view after a resize.
class TRasterDevice : public TDevice {
public:
  // A pixels per inch that follows the screen's, read at every use.
  static constexpr int FollowScreen = 0;

  explicit TRasterDevice(const TRasterSurface &surface = {}, int pixelsPerInch = FollowScreen)
      : FSurface(surface), FPixelsPerInch(pixelsPerInch) {}

  const TRasterSurface &Surface() const { return FSurface; }
  void SetSurface(const TRasterSurface &surface) { FSurface = surface; }
  // The fixed value given, or the screen's now while following it.
  int PixelsPerInch() const override { return FPixelsPerInch > 0 ? FPixelsPerInch : ScreenPixelsPerInch(); }
  TRect Bounds() const override { return {0, 0, FSurface.Width, FSurface.Height}; }
  // A positive value fixes the resolution (a surface printed at 600); FollowScreen follows the screen.
  void SetPixelsPerInch(int value) { FPixelsPerInch = value > 0 ? value : FollowScreen; }

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
  TRasterSurface FSurface;
  int FPixelsPerInch;
};

} // namespace Platform
