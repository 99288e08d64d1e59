#pragma once

#include <platform/controls/ControlTypes.h>
#include <platform/controls/Form.h>
#include <platform/graphics/Types.h>
#include <platform/rtl/Export.h>

namespace Platform {

// Turns raw pointer events on a form into what the controls expect: the window hosts (SDL on a
// desktop, headless in tests) feed it positions in form pixels and it delivers mouse events,
// clicks and enter/leave notifications.
//
// - Target. Moves, presses and releases go to the control under the pointer (the topmost
//   showing one whose visible rectangle holds it, paint boxes included; the form itself where
//   no child is), with coordinates in that control's client pixels. Outside the form they go
//   nowhere.
// - Capture. A press captures the pointer for the control under it: until the last button is
//   released, every move and release goes to that control, even far outside it.
// - Shift state. The caller passes the modifier keys (ssShift, ssAlt, ssCtrl, ssDouble); the
//   dispatcher adds the buttons held after the event, as the platform does (a press of the
//   left button carries ssLeft, its release does not).
// - Clicks. A left press with ssDouble first calls DblClick. Releasing the left button over the
//   control that got the press calls Click before MouseUp.
// - Enter and leave. CM_MOUSELEAVE and CM_MOUSEENTER go, in that order and before the event
//   that moved the pointer, to the control under the pointer only: ancestors get nothing when
//   the pointer crosses into a child, so going from a panel onto its paint box leaves the panel
//   and enters the box. While the pointer is captured, only the capturing control hears of its
//   own edge; once released, the control under the pointer is entered.
//
// - Keys. KeyDown and KeyUp go to the form, with the caller's modifiers and the buttons held, and
//   return the key as the handler left it (0 when it consumed the key). A hidden form gets none.
//
// Handlers may create, move or destroy controls, the form included: the dispatcher observes
// the form and forgets any control that leaves it.
class VELGRAPH_API TInputDispatcher : private TFormObserver {
public:
  explicit TInputDispatcher(TForm &form);
  ~TInputDispatcher();
  TInputDispatcher(const TInputDispatcher &) = delete;
  TInputDispatcher &operator=(const TInputDispatcher &) = delete;

  // The form, or null once it has been destroyed.
  TForm *Form() const { return FForm; }

  void PointerMove(TPoint formPoint, TShiftState keys);
  void PointerDown(TPoint formPoint, TMouseButton button, TShiftState keys);
  void PointerUp(TPoint formPoint, TMouseButton button, TShiftState keys);
  // The pointer has left the window (a desktop host's leave event).
  void PointerLeave();
  // Drops the capture and forgets the buttons held without delivering anything: the window
  // went away in the middle of a drag.
  void ReleaseCapture();
  WORD KeyDown(WORD key, TShiftState keys);
  WORD KeyUp(WORD key, TShiftState keys);

  TPoint Position() const { return FPosition; }
  // The control holding the capture, or null.
  TControl *Capture() const { return FCapture; }
  // The control that has been entered and not left, or null.
  TControl *MouseControl() const { return FEntered; }
  // The buttons held now.
  TShiftState Buttons() const { return FButtons; }

private:
  void ControlRemoved(TControl &control) override;
  void FormDestroying(TForm &form) override;

  TControl *ControlAt(TPoint formPoint) const;
  // Sends leave and enter as the pointer now lies over `under`.
  void UpdateEntered(TControl *under);
  // What every pointer event does first: the pointer is at formPoint inside the window, the
  // controls it entered and left are told, and FTarget is the control the event goes to.
  void Arrive(TPoint formPoint);
  // The control a pointer event at formPoint goes to.
  TControl *TargetAt(TPoint formPoint) const { return FCapture ? FCapture : ControlAt(formPoint); }
  TShiftState ShiftOf(TShiftState keys) const;

  TForm *FForm;
  TControl *FCapture = nullptr;
  TControl *FEntered = nullptr;
  // The control an event is being delivered to; cleared if a handler destroys it.
  TControl *FTarget = nullptr;
  TShiftState FButtons;
  TPoint FPosition;
  bool FInWindow = false;
  bool FClicked = false;
};

} // namespace Platform
