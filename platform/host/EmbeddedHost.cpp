#include <platform/host/EmbeddedHost.h>

#include <algorithm>

namespace Platform {

TEmbeddedHost::TEmbeddedHost(TForm &form, const TDisplayMetrics &display) : THeadlessHost(form, display) {}

void TEmbeddedHost::Resize(int width, int height) {
  if (TForm *form = Form())
    form->SetBounds(form->Left(), form->Top(), std::max(width, 0), std::max(height, 0));
}

void TEmbeddedHost::MouseLeave() { Input().PointerLeave(); }

bool TEmbeddedHost::NeedsRepaint() const {
  const TForm *form = Form();
  return form && form->Visible() && (form->PaintsPending() || !form->Damage().IsEmpty());
}

TRect TEmbeddedHost::Render() {
  ProcessPaints();
  TForm *form = Form();
  return form ? form->TakeDamage() : TRect{};
}

TRect TEmbeddedHost::RenderTo(std::uint32_t *pixels, int width, int height, std::ptrdiff_t stride, bool whole) {
  const TRect changed = Render();
  const TRasterSurface source = Pixels();
  if (!pixels || width <= 0 || height <= 0 || stride < width)
    return {};
  const TRect area = IntersectRect(whole ? TRect{0, 0, source.Width, source.Height} : changed,
                                   {0, 0, std::min(width, source.Width), std::min(height, source.Height)});
  for (int y = area.Top; y < area.Bottom; ++y) {
    const std::uint32_t *from = source.Row(y) + area.Left;
    std::uint32_t *to = pixels + y * stride + area.Left;
    for (int x = 0; x < area.Width(); ++x)
      to[x] = from[x] | 0xFF000000u;
  }
  return area;
}

TRasterSurface TEmbeddedHost::Pixels() const {
  const TForm *form = Form();
  return form ? form->Framebuffer().Surface() : TRasterSurface{};
}

bool TEmbeddedHost::SetCursorPos(TPoint screenPoint) {
  THeadlessHost::SetCursorPos(screenPoint);
  if (OnWarpPointer && Form()) {
    FWarpEcho = Input().Position();
    OnWarpPointer(*FWarpEcho);
  }
  return true;
}

void TEmbeddedHost::MouseMove(int x, int y, TShiftState keys) {
  const bool echo = FWarpEcho && *FWarpEcho == TPoint{x, y};
  FWarpEcho.reset();
  if (!echo)
    THeadlessHost::MouseMove(x, y, keys);
}

} // namespace Platform
