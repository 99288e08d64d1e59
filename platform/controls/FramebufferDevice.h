#pragma once

#include <platform/graphics/raster/RasterDevice.h>
#include <platform/rtl/Export.h>

namespace Platform {

// The raster device of a form's framebuffer, which also keeps the damage: the rectangle holding
// every pixel drawn since it was last taken. A window host uploads only that part to the screen
// and an embedding application learns from it whether anything changed. The damage of a figure is
// its clip rectangle (the control's visible area), or its own box where that is cheap to know
// (filled rectangles, images, pixels); never smaller than what was drawn.
class VELGRAPH_API TFramebufferDevice : public TRasterDevice {
public:
  TRect Damage() const { return FDamage; }
  // Returns the damage and starts a new one.
  TRect TakeDamage();
  // Counts the whole surface as drawn (it was replaced or resized).
  void DamageAll() { AddDamage(Bounds()); }

  void Line(const TDrawState &state, TPoint a, TPoint b, int &dashPhase) override;
  void Polyline(const TDrawState &state, std::span<const TPoint> points, int &dashPhase) override;
  void Polygon(const TDrawState &state, std::span<const TPoint> points) override;
  void Rectangle(const TDrawState &state, const TRect &box) override;
  void FillRect(const TDrawState &state, const TRect &rect) override;
  void Ellipse(const TDrawState &state, const TRect &box) override;
  void Arc(const TDrawState &state, const TRect &box, TPoint start, TPoint end) override;
  void SetPixel(const TDrawState &state, TPoint p, TColor color) override;
  void DrawImage(const TDrawState &state, const TRect &dest, const TRasterSurface &image) override;
  void TextOut(const TDrawState &state, TPoint at, std::string_view text, const TFontSpec &font) override;

private:
  // Adds the part of r (device pixels) that lies on the surface.
  void AddDamage(const TRect &r);
  void AddClip(const TDrawState &state) { AddDamage(state.Clip); }
  // Adds the figure's box, moved by the origin, within the clip.
  void AddBox(const TDrawState &state, const TRect &box);

  TRect FDamage;
};

} // namespace Platform
