#pragma once

#include <cstdint>
#include <platform/controls/Component.h>
#include <platform/controls/ControlTypes.h>
#include <platform/controls/Messages.h>
#include <platform/graphics/Canvas.h>
#include <platform/graphics/Color.h>
#include <platform/graphics/Font.h>
#include <platform/graphics/Types.h>
#include <platform/rtl/Export.h>
#include <string>

namespace Platform {

class TWinControl;
class TForm;

// An operation the control tree refuses, such as a control made its own parent.
class VELGRAPH_API EInvalidOperation : public Exception {
public:
  using Exception::Exception;
};

// Something visible on a form: a rectangle in its parent, with a colour, a font and mouse
// events.
//
// Every control keeps a canvas onto its form's framebuffer: origin at the control's top-left
// corner, clipped to the control's rectangle and to every ancestor's. The canvas follows the
// control whenever it or an ancestor moves or resizes; while the control is not on a form the
// canvas has no device and draws nothing. Classes that paint (TCustomControl, TGraphicControl,
// TForm) publish it as Canvas().
//
// A parent deletes its child controls when it is destroyed (whoever owns them), as the class
// library does; a control deleted first leaves its parent's list, so nothing is freed twice.
class VELGRAPH_API TControl : public TComponent {
public:
  explicit TControl(TComponent *owner);
  ~TControl() override;

  TWinControl *Parent() const { return FParent; }
  // Adds the control on top of the parent's other children (null takes it off its parent).
  // Raises EInvalidOperation when the parent is the control itself or one of its children.
  virtual void SetParent(TWinControl *parent);
  // The form the control is on (the form itself for a form), or null.
  TForm *ParentForm() const { return FForm; }
  virtual bool IsWindowed() const { return false; }

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
  void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
  void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
  void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
  // Moves and resizes at once; negative sizes count as 0. The parent repaints where the
  // control was and the control where it is, at the host's next paint.
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const;
  TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }
  int ClientWidth() const { return FWidth; }
  int ClientHeight() const { return FHeight; }
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign value);

  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, with every ancestor visible, on a form.
  bool Showing() const;

  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  TFont &Font() { return FFont; }
  const TFont &Font() const { return FFont; }
  // Copies the whole font (name, size, style, colour).
  void SetFont(const TFont &value);
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle value) { FControlStyle = value; }

  // Client pixels to screen pixels and back, through the parents and the form's place on the
  // screen (a form has no border: its client area is the whole form). Results beyond the
  // 32-bit range saturate.
  TPoint ClientToScreen(TPoint point) const;
  TPoint ScreenToClient(TPoint point) const;
  // Client pixels to the form's pixels and back.
  TPoint ClientToForm(TPoint point) const;
  TPoint FormToClient(TPoint point) const;
  // The part of the control that can show, in form pixels: its rectangle clipped by every
  // ancestor's. Empty when the control is off its parent, has no size or has no form.
  TRect VisibleFormRect() const { return FFormClip; }

  // Draws the control. The host calls it (after erasing the background of a windowed control
  // that is not csOpaque) when the control must be redrawn; a component may call it directly.
  virtual void Paint() {}
  // Paints the control at once, then its children and whatever lies over it.
  void Repaint();
  // Asks the host to paint the control (and what lies over it) at its next paint.
  void Invalidate();
  bool PaintPending() const { return FPaintPending; }
  // Moves the control to the top or the bottom of its parent's children.
  void BringToFront();
  void SendToBack();

  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;

  // The host's entry points for mouse input, in client pixels; each fires its event.
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void Click();
  virtual void DblClick();

  // Delivers a notification to its handler below; unknown messages are ignored.
  void Perform(TMessageId message);
  // The handlers of CM_MOUSEENTER and CM_MOUSELEAVE. The base versions keep MouseInControl;
  // an override calls them first, as it would call the inherited handler.
  virtual void CMMouseEnter() { FMouseInControl = true; }
  virtual void CMMouseLeave() { FMouseInControl = false; }
  bool MouseInControl() const { return FMouseInControl; }

protected:
  // The canvas onto the form's framebuffer (see the class comment).
  TCanvas &ControlCanvas() { return FCanvas; }
  // Called after the size changed; fires OnResize.
  virtual void Resize();

private:
  friend class TWinControl;
  friend class TForm;

  // Recomputes the form, origin, clip and canvas of this control and everything inside it.
  virtual void UpdateGeometry();

  TWinControl *FParent = nullptr;
  TForm *FForm = nullptr;
  int FLeft = 0;
  int FTop = 0;
  int FWidth = 0;
  int FHeight = 0;
  TAlign FAlign = alNone;
  bool FVisible = true;
  bool FMouseInControl = false;
  bool FPaintPending = false;
  TColor FColor = clWindow;
  TFont FFont;
  TControlStyle FControlStyle;
  // Position of the client (0, 0) in form pixels, in 64 bits so that deep trees of far-off
  // controls cannot overflow.
  std::int64_t FFormX = 0;
  std::int64_t FFormY = 0;
  TRect FFormClip;
  TCanvas FCanvas;
};

} // namespace Platform
