#pragma once

#include <platform/controls/Control.h>
#include <platform/rtl/Export.h>
#include <vector>

namespace Platform {

// A control with a window of its own, which can hold child controls.
//
// Children are kept in z-order, bottom first. As on the platform, controls without a window
// (TGraphicControl) draw on their parent's surface, so they always lie under the parent's
// windowed children: the parent paints, then its graphic children in order, then its windowed
// children in order, each with its own children.
class VELGRAPH_API TWinControl : public TControl {
public:
  explicit TWinControl(TComponent *owner);
  ~TWinControl() override;

  bool IsWindowed() const override { return true; }
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  // The child at index in z-order; raises EComponentError out of range.
  TControl *Controls(int index) const;
  // True for a child, a child's child and so on (not for the control itself).
  bool ContainsControl(const TControl *control) const;
  // Lays out the aligned children again (the parent does it by itself when its size or an
  // aligned child changes).
  void Realign();

  // Deepest nesting of controls below a form: the platform limits it too, and the limit keeps
  // every walk of the tree within a small, fixed depth.
  static constexpr int MaxNesting = 256;

protected:
  // Deletes the child controls, topmost first.
  void DestroyChildren();

private:
  friend class TControl;
  friend class TForm;

  // Raises EInvalidOperation when adding the control (and what it holds) here would nest
  // deeper than MaxNesting.
  void CheckNesting(const TControl &control) const;
  void InsertControl(TControl *control);
  void RemoveControl(TControl *control);
  void UpdateGeometry() override;

  std::vector<TControl *> FControls;
  bool FAligning = false;
};

} // namespace Platform
