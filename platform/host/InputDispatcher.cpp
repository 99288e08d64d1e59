#include <platform/host/InputDispatcher.h>

namespace Platform {

namespace {

TShiftFlag ButtonFlag(TMouseButton button) {
  switch (button) {
  case mbRight: return ssRight;
  case mbMiddle: return ssMiddle;
  case mbLeft: break;
  }
  return ssLeft;
}

bool InClient(const TControl &control, TPoint p) {
  return p.X >= 0 && p.Y >= 0 && p.X < control.Width() && p.Y < control.Height();
}

} // namespace

TInputDispatcher::TInputDispatcher(TForm &form) : FForm(&form) { form.AddObserver(this); }

TInputDispatcher::~TInputDispatcher() {
  if (FForm)
    FForm->RemoveObserver(this);
}

TControl *TInputDispatcher::ControlAt(TPoint formPoint) const {
  return FForm && FInWindow ? FForm->ControlAt(formPoint) : nullptr;
}

TShiftState TInputDispatcher::ShiftOf(TShiftState keys) const {
  return keys * TShiftState{ssShift, ssAlt, ssCtrl, ssDouble} + FButtons;
}

void TInputDispatcher::UpdateEntered(TControl *under) {
  const auto wanted = [&](TControl *c) { return FCapture ? (c == FCapture ? c : nullptr) : c; };
  if (wanted(under) == FEntered)
    return;
  if (TControl *left = FEntered) {
    FEntered = nullptr;
    left->Perform(CM_MOUSELEAVE);
    // The handler may have changed the tree: look again.
    under = ControlAt(FPosition);
  }
  if (TControl *entered = wanted(under)) {
    FEntered = entered;
    entered->Perform(CM_MOUSEENTER);
  }
}

void TInputDispatcher::Arrive(TPoint formPoint) {
  FPosition = formPoint;
  FInWindow = true;
  UpdateEntered(ControlAt(formPoint));
  FTarget = TargetAt(formPoint);
}

void TInputDispatcher::PointerMove(TPoint formPoint, TShiftState keys) {
  Arrive(formPoint);
  if (FTarget) {
    const TPoint p = FTarget->FormToClient(formPoint);
    FTarget->MouseMove(ShiftOf(keys), p.X, p.Y);
  }
  FTarget = nullptr;
}

void TInputDispatcher::PointerDown(TPoint formPoint, TMouseButton button, TShiftState keys) {
  Arrive(formPoint);
  if (!FTarget)
    return; // a press outside the window is not the window's
  FCapture = FTarget;
  FButtons.Include(ButtonFlag(button));
  const TShiftState shift = ShiftOf(keys);
  const TPoint p = FTarget->FormToClient(formPoint);
  if (button == mbLeft) {
    FClicked = true;
    if (keys.Contains(ssDouble))
      FTarget->DblClick();
  }
  if (FTarget)
    FTarget->MouseDown(button, shift, p.X, p.Y);
  FTarget = nullptr;
}

void TInputDispatcher::PointerUp(TPoint formPoint, TMouseButton button, TShiftState keys) {
  Arrive(formPoint);
  const bool wasCapture = FTarget && FTarget == FCapture;
  FButtons.Exclude(ButtonFlag(button));
  if (FButtons.Empty())
    FCapture = nullptr;
  if (FTarget) {
    const TShiftState shift = ShiftOf(keys);
    const TPoint p = FTarget->FormToClient(formPoint);
    if (button == mbLeft && FClicked) {
      FClicked = false;
      if (wasCapture && InClient(*FTarget, p))
        FTarget->Click();
    }
    if (FTarget)
      FTarget->MouseUp(button, shift, p.X, p.Y);
  }
  FTarget = nullptr;
  if (!FCapture)
    UpdateEntered(ControlAt(FPosition));
}

void TInputDispatcher::PointerLeave() {
  FInWindow = false;
  UpdateEntered(nullptr);
}

void TInputDispatcher::ReleaseCapture() {
  FCapture = nullptr;
  FButtons = {};
  FClicked = false;
}

WORD TInputDispatcher::KeyDown(WORD key, TShiftState keys) {
  if (FForm && FForm->Visible())
    FForm->KeyDown(key, ShiftOf(keys));
  return key;
}

WORD TInputDispatcher::KeyUp(WORD key, TShiftState keys) {
  if (FForm && FForm->Visible())
    FForm->KeyUp(key, ShiftOf(keys));
  return key;
}

void TInputDispatcher::ControlRemoved(TControl &control) {
  const auto inside = [&](const TControl *c) {
    return c && (c == &control || (control.IsWindowed() && static_cast<TWinControl &>(control).ContainsControl(c)));
  };
  if (inside(FCapture)) {
    FCapture = nullptr;
    FClicked = false;
  }
  if (inside(FEntered))
    FEntered = nullptr;
  if (inside(FTarget))
    FTarget = nullptr;
}

void TInputDispatcher::FormDestroying(TForm &) {
  FForm = nullptr;
  FCapture = nullptr;
  FEntered = nullptr;
  FTarget = nullptr;
}

} // namespace Platform
