#include <gtest/gtest.h>

#include "../controls/ControlProbe.h"
#include <platform/host/HeadlessHost.h>
#include <platform/win32/Cursor.h>

using namespace Platform;

namespace {

struct TKeyScene {
  Probe::Log Events;
  TForm Form{nullptr};
  THeadlessHost Host{Form};
  TKeyScene() {
    Form.SetBounds(100, 50, 80, 60);
    Form.OnKeyDown = [this](TObject *sender, WORD &key, TShiftState shift) { Write("down", sender, key, shift); };
    Form.OnKeyUp = [this](TObject *sender, WORD &key, TShiftState shift) { Write("up", sender, key, shift); };
    Form.OnMouseMove = [this](TObject *, TShiftState shift, int x, int y) {
      Events.push_back("move " + std::to_string(x) + "," + std::to_string(y) + Flags(shift));
    };
  }
  static std::string Flags(TShiftState shift) {
    std::string flags;
    for (auto [flag, letter] : {std::pair{ssShift, 'S'}, {ssCtrl, 'C'}, {ssAlt, 'A'}, {ssLeft, 'L'}, {ssRight, 'R'}})
      if (shift.Contains(flag))
        flags += letter;
    return flags.empty() ? "" : " " + flags;
  }
  void Write(const char *what, TObject *sender, WORD key, TShiftState shift) {
    Events.push_back(std::string(what) + (sender == &Form ? " " : " ?") + std::to_string(key) + Flags(shift));
  }
  Probe::Log Take() { return std::exchange(Events, {}); }
};

} // namespace

TEST(Keys, ReachTheFormWithModifiersAndTheButtonsHeld) {
  TKeyScene s;
  EXPECT_EQ(s.Host.KeyDown(VK_SHIFT, {ssShift}), VK_SHIFT);
  EXPECT_EQ(s.Host.KeyDown('A', {ssShift, ssCtrl, ssDouble}), 'A');
  s.Host.MouseDown(10, 10, mbRight);
  s.Host.KeyDown(VK_F1);
  s.Host.KeyUp(VK_F1);
  s.Host.MouseUp(10, 10, mbRight);
  s.Host.KeyUp(VK_ESCAPE, {ssAlt});
  EXPECT_EQ(s.Take(), (Probe::Log{"down 16 S", "down 65 SC", "down 112 R", "up 112 R", "up 27 A"}));
}

TEST(Keys, AHandlerCanConsumeOrChangeTheKey) {
  TKeyScene s;
  s.Form.OnKeyDown = [](TObject *, WORD &key, TShiftState) { key = key == VK_LEFT ? 0 : VK_RIGHT; };
  EXPECT_EQ(s.Host.KeyDown(VK_LEFT), 0);
  EXPECT_EQ(s.Host.KeyDown(VK_UP), VK_RIGHT);
  // Without handlers the key comes back as it went.
  s.Form.OnKeyDown = nullptr;
  s.Form.OnKeyUp = nullptr;
  EXPECT_EQ(s.Host.KeyDown(VK_LEFT), VK_LEFT);
  EXPECT_EQ(s.Host.KeyUp(VK_LEFT), VK_LEFT);
}

TEST(Keys, TheModifiersOfTheLastKeyTravelWithAWarpedPointer) {
  TKeyScene s;
  s.Host.KeyDown(VK_CONTROL, {ssCtrl});
  EXPECT_TRUE(SetCursorPos(110, 60));
  s.Host.KeyUp(VK_CONTROL);
  EXPECT_TRUE(SetCursorPos(111, 60));
  EXPECT_EQ(s.Take(), (Probe::Log{"down 17 C", "move 10,10 C", "up 17", "move 11,10"}));
}

TEST(Keys, AHiddenOrDestroyedFormHearsNothing) {
  auto *form = new TForm(nullptr);
  int heard = 0;
  form->OnKeyDown = [&](TObject *, WORD &, TShiftState) { ++heard; };
  THeadlessHost host(*form);
  form->SetVisible(false);
  EXPECT_EQ(host.KeyDown('Q'), 'Q');
  form->SetVisible(true);
  host.KeyDown('Q');
  EXPECT_EQ(heard, 1);
  // A handler may destroy the form it is called on.
  form->OnKeyDown = [&](TObject *, WORD &key, TShiftState) {
    key = 0;
    delete form;
  };
  EXPECT_EQ(host.KeyDown(VK_ESCAPE), 0);
  EXPECT_EQ(host.Form(), nullptr);
  EXPECT_EQ(host.KeyDown(VK_ESCAPE), VK_ESCAPE);
}
