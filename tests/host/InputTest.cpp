#include <gtest/gtest.h>

#include "../controls/ControlProbe.h"
#include <platform/controls/Application.h>
#include <platform/host/HeadlessHost.h>
#include <platform/win32/Cursor.h>

using namespace Platform;
using Probe::Log;
using Probe::TProbeBox;
using Probe::TProbePanel;

namespace {

// A form 200 x 100 at (300, 200) on the screen: a panel "left" over its left half holding the
// paint box "box" at (10, 10), 50 x 50, and a paint box "right" at (120, 0), 60 x 60.
struct TScene {
  Log Events;
  TForm Form{nullptr};
  TProbePanel *Left = new TProbePanel(&Form, &Form, "left", Events);
  TProbeBox *Box = new TProbeBox(&Form, Left, "box", Events);
  TProbeBox *Right = new TProbeBox(&Form, &Form, "right", Events);
  THeadlessHost Host{Form};
  TScene() {
    Form.SetBounds(300, 200, 200, 100);
    Left->SetBounds(0, 0, 100, 100);
    Box->SetBounds(10, 10, 50, 50);
    Right->SetBounds(120, 0, 60, 60);
  }
  Log Take() { return std::exchange(Events, {}); }
};

} // namespace

TEST(Input, ADragStaysWithThePaintBoxThatGotThePress) {
  TScene s;
  s.Host.MouseDown(20, 30);
  EXPECT_TRUE(s.Box->LastShift.Contains(ssLeft));
  EXPECT_EQ(s.Host.Input().Capture(), s.Box);
  s.Host.MouseMove(150, 80, {ssShift});
  EXPECT_EQ(s.Box->LastShift, (TShiftState{ssShift, ssLeft}));
  s.Host.MouseMove(-40, 500); // far outside the window
  s.Host.MouseUp(190, 95);
  EXPECT_FALSE(s.Box->LastShift.Contains(ssLeft));
  EXPECT_EQ(s.Take(), (Log{"box enter", "box down 10,20 b0", "box leave", "box move 140,70", "box move -50,490",
                           "box up 180,85 b0"}));
  EXPECT_EQ(s.Host.Input().Capture(), nullptr);
  s.Host.MouseMove(130, 10); // free again: the control under the pointer gets the move
  EXPECT_EQ(s.Take(), (Log{"right enter", "right move 10,10"}));
}

TEST(Input, CrossingEdgesLeavesOneControlAndEntersTheNextButNotItsAncestors) {
  TScene s;
  s.Host.MouseMove(20, 20);
  EXPECT_TRUE(s.Box->MouseInControl());
  s.Host.MouseMove(70, 20);
  s.Host.MouseMove(130, 10);
  s.Host.MouseMove(150, 80);                                             // the bare form
  s.Host.MouseMove(-5, 10);                                              // off the window
  EXPECT_EQ(s.Take(), (Log{"box enter", "box move 10,10",                //
                           "box leave", "left enter", "left move 70,20", //
                           "left leave", "right enter", "right move 10,10", "right leave"}));
  EXPECT_FALSE(s.Box->MouseInControl());
  EXPECT_EQ(s.Host.Input().MouseControl(), nullptr);
}

TEST(Input, WhileCapturedOnlyTheCapturingControlHearsOfItsEdgeThenTheControlUnderThePointerIsEntered) {
  TScene s;
  s.Host.MouseDown(20, 20);
  s.Host.MouseMove(130, 10); // over "right", which hears nothing yet
  s.Host.MouseMove(30, 30);  // back over the box
  s.Host.MouseMove(130, 10);
  s.Host.MouseUp(130, 10);
  EXPECT_EQ(s.Take(), (Log{"box enter", "box down 10,10 b0", "box leave", "box move 120,0", "box enter",
                           "box move 20,20", "box leave", "box move 120,0", "box up 120,0 b0", "right enter"}));
}

TEST(Input, EventsOutsideTheWindowGoNowhere) {
  TScene s;
  int formEvents = 0;
  s.Form.OnMouseDown = [&](TObject *, TMouseButton, TShiftState, int, int) { ++formEvents; };
  s.Form.OnMouseMove = [&](TObject *, TShiftState, int, int) { ++formEvents; };
  s.Host.MouseDown(-1, 50);
  s.Host.MouseMove(200, 50);
  s.Host.MouseUp(50, 100);
  EXPECT_EQ(s.Host.Input().Capture(), nullptr);
  EXPECT_EQ(formEvents, 0);
  EXPECT_EQ(s.Take(), Log{});
  s.Host.MouseMove(199, 99); // the last pixel of the form is the form's
  EXPECT_EQ(formEvents, 1);
  s.Right->Hide(); // a hidden control is not under the pointer
  s.Host.MouseDown(130, 10);
  EXPECT_EQ(formEvents, 2);
  EXPECT_EQ(s.Take(), Log{});
}

TEST(Input, ClicksNeedThePressAndReleaseOnTheSameControl) {
  TScene s;
  s.Host.MouseDown(20, 20);
  s.Host.MouseUp(21, 22);
  s.Host.MouseDown(20, 20, mbLeft, {ssDouble});
  EXPECT_TRUE(s.Box->LastShift.Contains(ssDouble));
  s.Host.MouseUp(20, 20);
  s.Host.MouseDown(20, 20);
  s.Host.MouseUp(150, 20); // released elsewhere: no click
  s.Host.MouseDown(20, 20, mbRight);
  s.Host.MouseUp(20, 20, mbRight); // only the left button clicks
  Log log = s.Take();
  std::erase_if(log, [](const std::string &line) { return line.ends_with("enter") || line.ends_with("leave"); });
  EXPECT_EQ(log, (Log{"box down 10,10 b0", "box click", "box up 11,12 b0",                 //
                      "box dblclick", "box down 10,10 b0", "box click", "box up 10,10 b0", //
                      "box down 10,10 b0", "box up 140,10 b0", "box down 10,10 b1", "box up 10,10 b1"}));
}

TEST(Input, TheCaptureLastsUntilTheLastButtonIsReleased) {
  TScene s;
  s.Host.MouseDown(20, 20, mbLeft);
  s.Host.MouseDown(150, 20, mbRight); // still the box's
  EXPECT_EQ(s.Box->LastShift, (TShiftState{ssLeft, ssRight}));
  s.Host.MouseUp(150, 20, mbLeft);
  EXPECT_EQ(s.Box->LastShift, (TShiftState{ssRight}));
  EXPECT_EQ(s.Host.Input().Capture(), s.Box);
  s.Host.MouseMove(155, 20);
  s.Host.MouseUp(155, 20, mbRight);
  EXPECT_EQ(s.Host.Input().Capture(), nullptr);
  EXPECT_EQ(s.Take(), (Log{"box enter", "box down 10,10 b0", "box leave", "box down 140,10 b1", "box up 140,10 b0",
                           "box move 145,10", "box up 145,10 b1", "right enter"}));
}

TEST(Input, ControlsDestroyedByHandlersOrWhileUnderThePointerAreForgotten) {
  TScene s;
  s.Box->OnMouseDown = [&](TObject *, TMouseButton, TShiftState, int, int) { delete s.Box; };
  s.Host.MouseDown(20, 20);
  EXPECT_EQ(s.Host.Input().Capture(), nullptr);
  EXPECT_EQ(s.Host.Input().MouseControl(), nullptr);
  s.Host.MouseMove(25, 25); // the panel is under the pointer now
  s.Host.MouseUp(25, 25);
  s.Host.MouseMove(130, 10);
  delete s.Right; // hovered
  s.Host.MouseMove(131, 10);
  s.Host.MouseDown(50, 50);
  delete s.Left; // captured, with the pointer over it
  s.Host.MouseMove(51, 51);
  s.Host.MouseUp(51, 51);
  EXPECT_EQ(s.Take(), (Log{"box enter", "left enter", "left move 25,25", "left up 25,25 b0", "left leave",
                           "right enter", "right move 10,10", "left enter", "left down 50,50 b0"}));
}

TEST(Input, AControlMovedToAnotherFormIsForgotten) {
  TScene s;
  TForm other(nullptr);
  s.Host.MouseDown(130, 10);
  s.Right->SetParent(&other);
  s.Host.MouseMove(131, 10);
  s.Host.MouseUp(131, 10);
  EXPECT_EQ(s.Take(), (Log{"right enter", "right down 10,10 b0"}));
  EXPECT_EQ(s.Host.Input().Capture(), nullptr);
}

TEST(Input, SetCursorPosMovesThePointerAndDeliversAMove) {
  TScene s;
  EXPECT_TRUE(SetCursorPos(430, 210));
  EXPECT_EQ(s.Host.CursorPos(), (TPoint{430, 210}));
  TPoint where;
  EXPECT_TRUE(GetCursorPos(&where));
  EXPECT_EQ(where, (TPoint{430, 210}));
  // The graph's way: a paint box pixel through ClientToScreen.
  const TPoint screen = s.Box->ClientToScreen({7, 8});
  s.Host.MouseDown(20, 20);
  EXPECT_TRUE(SetCursorPos(screen.X, screen.Y));
  EXPECT_TRUE(s.Box->LastShift.Contains(ssLeft));
  EXPECT_TRUE(SetCursorPos(screen.X, screen.Y)); // the same place moves again
  EXPECT_EQ(s.Take(), (Log{"right enter", "right move 10,10", "right leave", "box enter", "box down 10,10 b0",
                           "box move 7,8", "box move 7,8"}));
  s.Host.MouseUp(17, 18);
  s.Host.MouseMove(5, 6);
  EXPECT_EQ(s.Host.CursorPos(), (TPoint{305, 206}));
}

TEST(Input, SetCursorPosFailsWithoutAHost) {
  {
    TForm form(nullptr);
    THeadlessHost host(form);
    EXPECT_EQ(Application().Host(), &host);
  }
  EXPECT_EQ(Application().Host(), nullptr);
  EXPECT_FALSE(SetCursorPos(1, 1));
  TPoint p{7, 7};
  EXPECT_FALSE(GetCursorPos(&p));
  EXPECT_EQ(p, (TPoint{7, 7}));
}
