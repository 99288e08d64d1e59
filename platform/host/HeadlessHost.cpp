#include <platform/host/HeadlessHost.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <platform/controls/Application.h>

namespace Platform {

namespace {
int Saturate(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX)); }
} // namespace

THeadlessHost::THeadlessHost(TForm &form, const TDisplayMetrics &display) : FInput(form) {
  Screen().SetMetrics(display);
  form.Show();
  Application().SetHost(this);
}

THeadlessHost::~THeadlessHost() {
  if (Application().Host() == this)
    Application().SetHost(nullptr);
}

TPoint THeadlessHost::ToForm(TPoint screenPoint) const {
  const TForm *form = Form();
  if (!form)
    return screenPoint;
  return {Saturate(std::int64_t{screenPoint.X} - form->Left()), Saturate(std::int64_t{screenPoint.Y} - form->Top())};
}

void THeadlessHost::Track(int x, int y, TShiftState keys) {
  FKeys = keys;
  const TForm *form = Form();
  FCursor =
      form ? TPoint{Saturate(std::int64_t{x} + form->Left()), Saturate(std::int64_t{y} + form->Top())} : TPoint{x, y};
}

void THeadlessHost::MouseMove(int x, int y, TShiftState keys) {
  Track(x, y, keys);
  FInput.PointerMove({x, y}, keys);
}

void THeadlessHost::MouseDown(int x, int y, TMouseButton button, TShiftState keys) {
  Track(x, y, keys);
  FInput.PointerDown({x, y}, button, keys);
}

void THeadlessHost::MouseUp(int x, int y, TMouseButton button, TShiftState keys) {
  Track(x, y, keys);
  FInput.PointerUp({x, y}, button, keys);
}

WORD THeadlessHost::KeyDown(WORD key, TShiftState keys) {
  FKeys = keys;
  return FInput.KeyDown(key, keys);
}

WORD THeadlessHost::KeyUp(WORD key, TShiftState keys) {
  FKeys = keys;
  return FInput.KeyUp(key, keys);
}

bool THeadlessHost::SetCursorPos(TPoint screenPoint) {
  FCursor = screenPoint;
  FInput.PointerMove(ToForm(screenPoint), FKeys);
  return true;
}

int THeadlessHost::ProcessPaints() {
  TForm *form = Form();
  return form ? form->ProcessPaints() : 0;
}

void THeadlessHost::Present() {
  const TForm *form = Form();
  if (!form)
    return;
  const TRasterSurface &source = form->Framebuffer().Surface();
  FPresented.SetSize(source.Width, source.Height);
  const TRasterSurface &target = FPresented.Surface();
  const auto rowBytes = static_cast<std::size_t>(source.Width) * sizeof(std::uint32_t);
  if (source.Stride == target.Stride && source.Stride == source.Width)
    std::memcpy(target.Pixels, source.Pixels, rowBytes * static_cast<std::size_t>(source.Height));
  else
    for (int y = 0; y < source.Height; ++y)
      std::memcpy(target.Row(y), source.Row(y), rowBytes);
}

} // namespace Platform
