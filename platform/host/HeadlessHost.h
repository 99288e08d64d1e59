#pragma once

#include <platform/controls/Form.h>
#include <platform/controls/Screen.h>
#include <platform/host/Host.h>
#include <platform/host/InputDispatcher.h>
#include <platform/pictures/Bitmap.h>
#include <platform/rtl/Export.h>

namespace Platform {

// The host without a display: a form, a synthetic pointer and an image standing for the
// screen. Tests (and programs rendering off-screen) drive it as a user would: pointer input
// goes through the same TInputDispatcher a desktop host uses, paints run when asked, and
// Present copies the framebuffer into the image a window would show.
//
// Pointer input is given in form pixels (the form's top-left is (0, 0)); the pointer itself is
// kept in screen pixels, so moving the form moves what lies under a still pointer.
// While it exists the host is Application().Host(), which SetCursorPos goes through, and the
// display it stands for is the Screen's. If the form is destroyed before the host, the host does
// nothing from then on.
class VELGRAPH_API THeadlessHost : public THost {
public:
  explicit THeadlessHost(TForm &form, const TDisplayMetrics &display = {});
  ~THeadlessHost() override;
  THeadlessHost(const THeadlessHost &) = delete;
  THeadlessHost &operator=(const THeadlessHost &) = delete;

  TForm *Form() const { return FInput.Form(); }
  TInputDispatcher &Input() { return FInput; }

  virtual void MouseMove(int x, int y, TShiftState keys = {});
  void MouseDown(int x, int y, TMouseButton button = mbLeft, TShiftState keys = {});
  void MouseUp(int x, int y, TMouseButton button = mbLeft, TShiftState keys = {});
  // A key pressed or released (a virtual-key code: VK_LEFT, 'A'); keys are the modifiers held,
  // which later pointer moves of SetCursorPos carry. Returns the key as the form's handler left
  // it, 0 when consumed.
  WORD KeyDown(WORD key, TShiftState keys = {});
  WORD KeyUp(WORD key, TShiftState keys = {});

  // Moves the synthetic pointer and dispatches the move, even when the position is the same,
  // with the buttons held and the keys of the last input.
  bool SetCursorPos(TPoint screenPoint) override;
  TPoint CursorPos() const override { return FCursor; }

  // Runs the form's pending paints; returns how many controls were painted.
  int ProcessPaints();
  // Copies the framebuffer to the presented image.
  virtual void Present();
  // What a window would show since the last Present.
  const TBitmap &Presented() const { return FPresented; }

private:
  TPoint ToForm(TPoint screenPoint) const;
  void Track(int x, int y, TShiftState keys);

  TInputDispatcher FInput;
  TBitmap FPresented;
  TPoint FCursor;
  TShiftState FKeys;
};

} // namespace Platform
