#pragma once

// Controls that write what happens to them into a shared log, for asserting the order of
// paints, mouse events and notifications.

#include <platform/controls/CustomPanel.h>
#include <platform/controls/Form.h>
#include <platform/controls/PaintBox.h>
#include <string>
#include <vector>

namespace Probe {

using Log = std::vector<std::string>;

template <class Base> class TProbe : public Base {
public:
  TProbe(Platform::TComponent *owner, Platform::TWinControl *parent, const std::string &name, Log &log)
      : Base(owner), FLog(log) {
    Base::SetName(name);
    Base::SetParent(parent);
    Base::OnMouseDown = [this](Platform::TObject *sender, Platform::TMouseButton button, Platform::TShiftState shift,
                               int x, int y) { Write("down", sender, x, y, shift, static_cast<int>(button)); };
    Base::OnMouseMove = [this](Platform::TObject *sender, Platform::TShiftState shift, int x, int y) {
      Write("move", sender, x, y, shift, -1);
    };
    Base::OnMouseUp = [this](Platform::TObject *sender, Platform::TMouseButton button, Platform::TShiftState shift,
                             int x, int y) { Write("up", sender, x, y, shift, static_cast<int>(button)); };
    Base::OnClick = [this](Platform::TObject *) { FLog.push_back(Base::Name() + " click"); };
    Base::OnDblClick = [this](Platform::TObject *) { FLog.push_back(Base::Name() + " dblclick"); };
  }

  void Paint() override {
    FLog.push_back(Base::Name() + " paint");
    Base::Paint();
  }
  void CMMouseEnter() override {
    Base::CMMouseEnter();
    FLog.push_back(Base::Name() + " enter");
  }
  void CMMouseLeave() override {
    Base::CMMouseLeave();
    FLog.push_back(Base::Name() + " leave");
  }

  // The shift state of the last mouse event.
  Platform::TShiftState LastShift;

private:
  void Write(const char *what, Platform::TObject *sender, int x, int y, Platform::TShiftState shift, int button) {
    LastShift = shift;
    std::string line = Base::Name() + " " + what + " " + std::to_string(x) + "," + std::to_string(y);
    if (button >= 0)
      line += " b" + std::to_string(button);
    if (sender != this)
      line += " (foreign sender)";
    FLog.push_back(line);
  }

  Log &FLog;
};

using TProbeBox = TProbe<Platform::TPaintBox>;
using TProbePanel = TProbe<Platform::TCustomPanel>;

// The colour of a framebuffer pixel.
inline Platform::TColor PixelAt(const Platform::TBitmap &bitmap, int x, int y) {
  return Platform::PixelToColor(bitmap.Surface().Row(y)[x]);
}
inline Platform::TColor PixelAt(const Platform::TForm &form, int x, int y) { return PixelAt(form.Framebuffer(), x, y); }

} // namespace Probe
