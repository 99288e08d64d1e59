#include <platform/controls/FramebufferDevice.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

namespace Platform {

namespace {
int Shift(int v, int by) { return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{v} + by, INT_MIN, INT_MAX)); }
} // namespace

TRect TFramebufferDevice::TakeDamage() { return std::exchange(FDamage, TRect{}); }

void TFramebufferDevice::AddDamage(const TRect &r) {
  const TRect on = IntersectRect(r, Bounds());
  if (on.IsEmpty())
    return;
  if (FDamage.IsEmpty()) {
    FDamage = on;
    return;
  }
  FDamage = {std::min(FDamage.Left, on.Left), std::min(FDamage.Top, on.Top), std::max(FDamage.Right, on.Right),
             std::max(FDamage.Bottom, on.Bottom)};
}

void TFramebufferDevice::AddBox(const TDrawState &state, const TRect &box) {
  const TRect ordered{std::min(box.Left, box.Right), std::min(box.Top, box.Bottom), std::max(box.Left, box.Right),
                      std::max(box.Top, box.Bottom)};
  const TRect moved{Shift(ordered.Left, state.Origin.X), Shift(ordered.Top, state.Origin.Y),
                    Shift(ordered.Right, state.Origin.X), Shift(ordered.Bottom, state.Origin.Y)};
  AddDamage(IntersectRect(moved, state.Clip));
}

void TFramebufferDevice::Line(const TDrawState &state, TPoint a, TPoint b, int &dashPhase) {
  AddClip(state);
  TRasterDevice::Line(state, a, b, dashPhase);
}

void TFramebufferDevice::Polyline(const TDrawState &state, std::span<const TPoint> points, int &dashPhase) {
  AddClip(state);
  TRasterDevice::Polyline(state, points, dashPhase);
}

void TFramebufferDevice::Polygon(const TDrawState &state, std::span<const TPoint> points) {
  AddClip(state);
  TRasterDevice::Polygon(state, points);
}

void TFramebufferDevice::Rectangle(const TDrawState &state, const TRect &box) {
  AddClip(state);
  TRasterDevice::Rectangle(state, box);
}

void TFramebufferDevice::FillRect(const TDrawState &state, const TRect &rect) {
  AddBox(state, rect);
  TRasterDevice::FillRect(state, rect);
}

void TFramebufferDevice::Ellipse(const TDrawState &state, const TRect &box) {
  AddClip(state);
  TRasterDevice::Ellipse(state, box);
}

void TFramebufferDevice::Arc(const TDrawState &state, const TRect &box, TPoint start, TPoint end) {
  AddClip(state);
  TRasterDevice::Arc(state, box, start, end);
}

void TFramebufferDevice::SetPixel(const TDrawState &state, TPoint p, TColor color) {
  AddBox(state, {p.X, p.Y, Shift(p.X, 1), Shift(p.Y, 1)});
  TRasterDevice::SetPixel(state, p, color);
}

void TFramebufferDevice::DrawImage(const TDrawState &state, const TRect &dest, const TRasterSurface &image) {
  AddBox(state, dest);
  TRasterDevice::DrawImage(state, dest, image);
}

void TFramebufferDevice::TextOut(const TDrawState &state, TPoint at, std::string_view text, const TFontSpec &font) {
  AddClip(state);
  TRasterDevice::TextOut(state, at, text, font);
}

} // namespace Platform
