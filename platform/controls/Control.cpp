#include <platform/controls/Control.h>

#include <algorithm>
#include <climits>
#include <platform/controls/Form.h>
#include <platform/controls/WinControl.h>

namespace Platform {

namespace {

int Saturate(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX)); }

bool BeingDestroyed(const TComponent *component) {
  return component && component->ComponentState().Contains(csDestroying);
}

} // namespace

TControl::TControl(TComponent *owner) : TComponent(owner) { UpdateGeometry(); }

TControl::~TControl() {
  TComponent::Destroying();
  if (FForm && FForm != this && !BeingDestroyed(FForm))
    FForm->ControlLeaving(*this);
  if (FParent)
    FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl *parent) {
  if (parent == FParent)
    return;
  if (parent) {
    if (parent == this || (IsWindowed() && static_cast<TWinControl *>(this)->ContainsControl(parent)))
      throw EInvalidOperation("A control cannot be its own parent");
    parent->CheckNesting(*this);
  }
  TForm *newForm = parent ? parent->FForm : nullptr;
  if (FForm && FForm != newForm && FForm != this)
    FForm->ControlLeaving(*this);
  if (FParent)
    FParent->RemoveControl(this);
  if (parent)
    parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight)
    return;
  const bool resized = width != FWidth || height != FHeight;
  if (FParent && FVisible)
    FParent->Invalidate(); // where the control was
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  UpdateGeometry();
  if (resized) {
    if (IsWindowed())
      static_cast<TWinControl *>(this)->Realign();
    Resize();
  }
  if (FAlign != alNone && FParent && !FParent->FAligning)
    FParent->Realign();
  Invalidate();
}

TRect TControl::BoundsRect() const {
  return {FLeft, FTop, Saturate(std::int64_t{FLeft} + FWidth), Saturate(std::int64_t{FTop} + FHeight)};
}

void TControl::SetAlign(TAlign value) {
  if (value == FAlign)
    return;
  FAlign = value;
  if (FParent)
    FParent->Realign();
}

void TControl::SetVisible(bool value) {
  if (value == FVisible)
    return;
  FVisible = value;
  if (FParent) {
    if (FAlign != alNone)
      FParent->Realign();
    if (!value)
      FParent->Invalidate(); // what the control covered shows again
  }
  if (value)
    Invalidate();
}

bool TControl::Showing() const {
  if (!FForm)
    return false;
  for (const TControl *c = this; c; c = c->FParent)
    if (!c->FVisible)
      return false;
  return true;
}

void TControl::SetColor(TColor value) {
  if (value == FColor)
    return;
  FColor = value;
  Invalidate();
}

void TControl::SetFont(const TFont &value) {
  FFont.Assign(value);
  Invalidate();
}

TPoint TControl::ClientToForm(TPoint point) const { return {Saturate(FFormX + point.X), Saturate(FFormY + point.Y)}; }

TPoint TControl::FormToClient(TPoint point) const { return {Saturate(point.X - FFormX), Saturate(point.Y - FFormY)}; }

TPoint TControl::ClientToScreen(TPoint point) const {
  if (!FForm)
    throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  return {Saturate(FFormX + point.X + FForm->Left()), Saturate(FFormY + point.Y + FForm->Top())};
}

TPoint TControl::ScreenToClient(TPoint point) const {
  if (!FForm)
    throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  return {Saturate(std::int64_t{point.X} - FForm->Left() - FFormX),
          Saturate(std::int64_t{point.Y} - FForm->Top() - FFormY)};
}

void TControl::Repaint() {
  if (Showing())
    FForm->RepaintControl(*this);
}

void TControl::Invalidate() {
  if (!FForm || BeingDestroyed(FForm))
    return;
  FPaintPending = true;
  FForm->FPaintsPending = true;
}

void TControl::BringToFront() {
  if (!FParent)
    return;
  auto &list = FParent->FControls;
  const auto it = std::find(list.begin(), list.end(), this);
  std::rotate(it, it + 1, list.end());
  Invalidate();
}

void TControl::SendToBack() {
  if (!FParent)
    return;
  auto &list = FParent->FControls;
  const auto it = std::find(list.begin(), list.end(), this);
  std::rotate(list.begin(), it, it + 1);
  FParent->Invalidate();
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown)
    OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove)
    OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp)
    OnMouseUp(this, button, shift, x, y);
}

void TControl::Click() {
  if (OnClick)
    OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick)
    OnDblClick(this);
}

void TControl::Perform(TMessageId message) {
  switch (message) {
  case CM_MOUSEENTER: CMMouseEnter(); break;
  case CM_MOUSELEAVE: CMMouseLeave(); break;
  default: break;
  }
}

void TControl::Resize() {
  if (OnResize)
    OnResize(this);
}

void TControl::UpdateGeometry() {
  if (FParent) {
    FForm = FParent->FForm;
    FFormX = FParent->FFormX + FLeft;
    FFormY = FParent->FFormY + FTop;
    const TRect &outer = FParent->FFormClip;
    const std::int64_t left = std::max<std::int64_t>(outer.Left, FFormX),
                       top = std::max<std::int64_t>(outer.Top, FFormY);
    const std::int64_t right = std::min<std::int64_t>(outer.Right, FFormX + FWidth);
    const std::int64_t bottom = std::min<std::int64_t>(outer.Bottom, FFormY + FHeight);
    // Inside the parent's clip, so every edge fits in 32 bits.
    FFormClip = (FForm && left < right && top < bottom) ? TRect{static_cast<int>(left), static_cast<int>(top),
                                                                static_cast<int>(right), static_cast<int>(bottom)}
                                                        : TRect{};
  } else {
    FForm = dynamic_cast<TForm *>(this);
    FFormX = 0;
    FFormY = 0;
    FFormClip = FForm ? TRect{0, 0, FWidth, FHeight} : TRect{};
  }
  FCanvas.SetDevice(FForm ? &FForm->FDevice : nullptr);
  FCanvas.SetOrigin({Saturate(FFormX), Saturate(FFormY)});
  FCanvas.SetDeviceClip(FFormClip);
}

} // namespace Platform
