#pragma once

#include <cstdint>
#include <platform/graphics/Device.h>

namespace Platform {

// A device without pixels that notes the box everything drawn on it covers, pen widths
// included: where a drawing actually lies.
class TBoundsDevice : public TDevice {
public:
  bool Empty() const { return FLeft > FRight; }
  // Right and bottom exclusive; meaningless while Empty.
  std::int64_t Left() const { return FLeft; }
  std::int64_t Top() const { return FTop; }
  std::int64_t Right() const { return FRight; }
  std::int64_t Bottom() const { return FBottom; }

  void Line(const TDrawState &state, TPoint a, TPoint b, int &dashPhase) override;
  void Polyline(const TDrawState &state, std::span<const TPoint> points, int &dashPhase) override;
  void Polygon(const TDrawState &state, std::span<const TPoint> points) override;
  void Rectangle(const TDrawState &state, const TRect &box) override;
  void FillRect(const TDrawState &state, const TRect &rect) override;
  void Ellipse(const TDrawState &state, const TRect &box) override;
  void Arc(const TDrawState &state, const TRect &box, TPoint start, TPoint end) override;
  void SetPixel(const TDrawState &state, TPoint p, TColor color) override;
  TColor GetPixel(const TDrawState &, TPoint) const override { return -1; }
  void DrawImage(const TDrawState &state, const TRect &dest, const TRasterSurface &image) override;
  void TextOut(const TDrawState &state, TPoint at, std::string_view text, const TFontSpec &font) override;
  TSize TextExtent(const TFontSpec &, std::string_view) override { return {}; }
  TTextMetrics TextMetrics(const TFontSpec &) override { return {}; }

private:
  std::int64_t FLeft = INT64_MAX, FTop = INT64_MAX, FRight = INT64_MIN, FBottom = INT64_MIN;

  // The pixel at p, grown by `margin` on every side.
  void Add(const TDrawState &state, TPoint p, int margin);
  void AddBox(const TDrawState &state, const TRect &box, int margin);
};

} // namespace Platform
