#pragma once

#include <platform/controls/FramebufferDevice.h>
#include <platform/controls/WinControl.h>
#include <platform/pictures/Bitmap.h>
#include <platform/rtl/Export.h>
#include <string>
#include <vector>

namespace Platform {

class TForm;

// Told when controls leave a form, so that whoever keeps pointers to them (the input
// dispatcher's capture and pointer control) can let go before they dangle.
class VELGRAPH_API TFormObserver {
public:
  // The control, and everything inside it, is leaving the form: it is being destroyed or moved
  // to another parent. Called while the tree is still intact.
  virtual void ControlRemoved(TControl &control) = 0;
  // The form is being destroyed; no further calls follow.
  virtual void FormDestroying(TForm &form) = 0;

protected:
  ~TFormObserver() = default;
};

// The top-level window. It has no border: its client area is the whole form, placed at Left,
// Top on the screen. It owns a persistent framebuffer of its size (what is drawn stays until
// drawn over, as on a screen), onto which every control on it draws through its canvas.
//
// A form is visible from its creation; a hidden form is neither painted nor hit by the pointer.
// The host turns the framebuffer into a window: it runs ProcessPaints and presents the pixels.
class VELGRAPH_API TForm : public TWinControl {
public:
  explicit TForm(TComponent *owner);
  ~TForm() override;

  // A form has no parent: raises EInvalidOperation for anything but null.
  void SetParent(TWinControl *parent) override;
  // Resizes the framebuffer with the form (keeping the pixels both sizes share); raises
  // EOutOfMemory, and changes nothing, for a size beyond TBitmap::MaxPixels.
  void SetBounds(int left, int top, int width, int height) override;

  TCanvas *Canvas() { return &ControlCanvas(); }
  const std::string &Caption() const { return FCaption; }
  void SetCaption(const std::string &value) { FCaption = value; }
  const TBitmap &Framebuffer() const { return FFramebuffer; }
  // The part of the framebuffer drawn since the host last took it (all of it after a resize),
  // in form pixels; empty when nothing changed. A host takes it when it presents the pixels.
  TRect Damage() const { return FDevice.Damage(); }
  TRect TakeDamage() { return FDevice.TakeDamage(); }

  TNotifyEvent OnPaint;
  // Fires OnPaint (the background has been erased with Color).
  void Paint() override;

  // Keys go to the form, the only control with the keyboard. The host calls these with the
  // virtual-key code (auto-repeat sends KeyDown again) and the modifiers and buttons held; each
  // fires its event, whose handler may change the key or consume it by setting it to 0.
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  virtual void KeyDown(WORD &key, TShiftState shift);
  virtual void KeyUp(WORD &key, TShiftState shift);

  // True when some control on the form has asked to be painted.
  bool PaintsPending() const { return FPaintsPending; }
  // Paints every control that asked for it, with whatever lies over those, in z-order, and
  // returns how many controls were painted. Requests made while painting stay for the next
  // call, so a control that invalidates itself in Paint cannot make this loop.
  int ProcessPaints();
  // The topmost showing control whose visible rectangle holds the form pixel, the form itself
  // when no child does, and null outside the form or when the form is hidden.
  TControl *ControlAt(TPoint formPoint) const;

  void AddObserver(TFormObserver *observer);
  void RemoveObserver(TFormObserver *observer);

private:
  friend class TControl;
  struct TPaintPass;

  void ControlLeaving(TControl &control);
  void RepaintControl(TControl &control);
  void RunPaintPass(TPaintPass &pass);
  void PaintVisit(TControl &control, TPaintPass &pass);
  void PaintAndDescend(TControl &control, TPaintPass &pass, std::size_t depth);
  void EraseBackground(TControl &control, TPaintPass &pass);

  TBitmap FFramebuffer;
  TFramebufferDevice FDevice;
  std::string FCaption;
  std::vector<TFormObserver *> FObservers;
  bool FPaintsPending = false;
};

} // namespace Platform
