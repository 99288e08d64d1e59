#include <platform/controls/WinControl.h>

#include <algorithm>
#include <climits>
#include <platform/rtl/Rtl.h>

namespace Platform {

namespace {

// Levels below control, the control itself counting 1.
int SubtreeDepth(const TControl &control) {
  if (!control.IsWindowed())
    return 1;
  const auto &w = static_cast<const TWinControl &>(control);
  int deepest = 0;
  for (int i = 0; i < w.ControlCount(); ++i)
    deepest = std::max(deepest, SubtreeDepth(*w.Controls(i)));
  return deepest + 1;
}

} // namespace

TWinControl::TWinControl(TComponent *owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  TComponent::Destroying();
  DestroyChildren();
}

TControl *TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount())
    throw EComponentError("Control index out of bounds (" + IntToStr(index) + ")");
  return FControls[static_cast<std::size_t>(index)];
}

bool TWinControl::ContainsControl(const TControl *control) const {
  for (const TControl *c = control ? control->FParent : nullptr; c; c = c->FParent)
    if (c == this)
      return true;
  return false;
}

void TWinControl::CheckNesting(const TControl &control) const {
  int depth = 0;
  for (const TControl *c = this; c; c = c->FParent)
    ++depth;
  if (depth + SubtreeDepth(control) > MaxNesting + 1)
    throw EInvalidOperation("Controls nest deeper than " + IntToStr(MaxNesting) + " levels");
}

void TWinControl::DestroyChildren() {
  while (!FControls.empty()) {
    TControl *child = FControls.back();
    FControls.pop_back();
    child->FParent = nullptr;
    delete child;
  }
}

void TWinControl::InsertControl(TControl *control) {
  FControls.push_back(control);
  control->FParent = this;
  control->UpdateGeometry();
  if (control->FAlign != alNone && control->FVisible)
    Realign();
  control->Invalidate();
}

void TWinControl::RemoveControl(TControl *control) {
  const auto it = std::find(FControls.begin(), FControls.end(), control);
  if (it == FControls.end())
    return;
  FControls.erase(it);
  control->FParent = nullptr;
  if (ComponentState().Contains(csDestroying))
    return;
  if (control->FVisible) {
    if (control->FAlign != alNone)
      Realign();
    Invalidate();
  }
  if (!control->ComponentState().Contains(csDestroying))
    control->UpdateGeometry();
}

void TWinControl::Realign() {
  if (FAligning)
    return;
  // Cleared however the layout ends: an OnResize handler may throw.
  struct TAligningScope {
    bool &Flag;
    explicit TAligningScope(bool &flag) : Flag(flag) { Flag = true; }
    ~TAligningScope() { Flag = false; }
  } scope(FAligning);
  // The room left for the next aligned child, in 64 bits so that huge sizes cannot wrap.
  std::int64_t left = 0, top = 0, right = Width(), bottom = Height();
  constexpr TAlign order[] = {alTop, alBottom, alLeft, alRight, alClient};
  for (TAlign kind : order) {
    for (std::size_t i = 0; i < FControls.size(); ++i) {
      TControl *c = FControls[i];
      if (c->FAlign != kind || !c->FVisible)
        continue;
      const std::int64_t w = std::max<std::int64_t>(right - left, 0), h = std::max<std::int64_t>(bottom - top, 0);
      const auto to = [](std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX)); };
      switch (kind) {
      case alTop:
        c->SetBounds(to(left), to(top), to(w), c->FHeight);
        top += c->FHeight;
        break;
      case alBottom:
        c->SetBounds(to(left), to(bottom - c->FHeight), to(w), c->FHeight);
        bottom -= c->FHeight;
        break;
      case alLeft:
        c->SetBounds(to(left), to(top), c->FWidth, to(h));
        left += c->FWidth;
        break;
      case alRight:
        c->SetBounds(to(right - c->FWidth), to(top), c->FWidth, to(h));
        right -= c->FWidth;
        break;
      case alClient: c->SetBounds(to(left), to(top), to(w), to(h)); break;
      case alNone: break;
      }
    }
  }
}

void TWinControl::UpdateGeometry() {
  TControl::UpdateGeometry();
  for (TControl *c : FControls)
    c->UpdateGeometry();
}

} // namespace Platform
