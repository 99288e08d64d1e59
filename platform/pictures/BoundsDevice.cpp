#include <platform/pictures/BoundsDevice.h>

#include <algorithm>

namespace Platform {

namespace {
// Half a pen, rounded up, is how far a stroke reaches past its path.
int Reach(const TDrawState &state) { return (std::max(state.Pen.Width, 1) + 1) / 2; }
} // namespace

void TBoundsDevice::Add(const TDrawState &state, TPoint p, int margin) {
  const std::int64_t x = std::int64_t{p.X} + state.Origin.X, y = std::int64_t{p.Y} + state.Origin.Y;
  FLeft = std::min(FLeft, x - margin);
  FTop = std::min(FTop, y - margin);
  FRight = std::max(FRight, x + 1 + margin);
  FBottom = std::max(FBottom, y + 1 + margin);
}

void TBoundsDevice::AddBox(const TDrawState &state, const TRect &box, int margin) {
  if (box.IsEmpty())
    return;
  Add(state, {box.Left, box.Top}, margin);
  Add(state, {box.Right - 1, box.Bottom - 1}, margin);
}

void TBoundsDevice::Line(const TDrawState &state, TPoint a, TPoint b, int &dashPhase) {
  Add(state, a, Reach(state));
  Add(state, b, Reach(state));
  dashPhase = DashPhaseAfter(dashPhase, a, b);
}

void TBoundsDevice::Polyline(const TDrawState &state, std::span<const TPoint> points, int &dashPhase) {
  for (std::size_t i = 0; i < points.size(); ++i) {
    Add(state, points[i], Reach(state));
    if (i > 0)
      dashPhase = DashPhaseAfter(dashPhase, points[i - 1], points[i]);
  }
}

void TBoundsDevice::Polygon(const TDrawState &state, std::span<const TPoint> points) {
  const int margin = state.Pen.Style == psClear ? 0 : Reach(state);
  for (const TPoint &p : points)
    Add(state, p, margin);
}

void TBoundsDevice::Rectangle(const TDrawState &state, const TRect &box) { AddBox(state, box, 0); }

void TBoundsDevice::FillRect(const TDrawState &state, const TRect &rect) { AddBox(state, rect, 0); }

void TBoundsDevice::Ellipse(const TDrawState &state, const TRect &box) {
  AddBox(state, box, state.Pen.Style == psClear ? 0 : Reach(state) - 1);
}

void TBoundsDevice::Arc(const TDrawState &state, const TRect &box, TPoint, TPoint) { AddBox(state, box, 0); }

void TBoundsDevice::SetPixel(const TDrawState &state, TPoint p, TColor) { Add(state, p, 0); }

void TBoundsDevice::DrawImage(const TDrawState &state, const TRect &dest, const TRasterSurface &) {
  AddBox(state, dest, 0);
}

void TBoundsDevice::TextOut(const TDrawState &state, TPoint at, std::string_view, const TFontSpec &) {
  Add(state, at, 0);
}

} // namespace Platform
