#include <gtest/gtest.h>

#include "ControlProbe.h"
#include <climits>

using namespace Platform;
using Probe::PixelAt;

namespace {

// A form at (100, 50) on the screen, a panel at (20, 10) in it and a paint box at (30, 40) in
// the panel whose bottom part hangs below the panel.
struct TTree {
  TForm Form{nullptr};
  TCustomPanel *Panel = new TCustomPanel(&Form);
  TPaintBox *Box = new TPaintBox(&Form);
  TTree() {
    Form.SetBounds(100, 50, 200, 150);
    Panel->SetParent(&Form);
    Panel->SetBounds(20, 10, 100, 80);
    Box->SetParent(Panel);
    Box->SetBounds(30, 40, 50, 50);
  }
  void FillBox(TColor color) {
    Box->Canvas()->Brush().SetColor(color);
    Box->Canvas()->FillRect(Box->ClientRect());
  }
};

int CountPixels(const TForm &form, TColor color) {
  int n = 0;
  for (int y = 0; y < form.Height(); ++y)
    for (int x = 0; x < form.Width(); ++x)
      n += PixelAt(form, x, y) == color;
  return n;
}

} // namespace

TEST(Geometry, AChildsCanvasDrawsAtItsFormPixelsClippedByItsParent) {
  TTree t;
  t.FillBox(clRed);
  EXPECT_EQ(PixelAt(t.Form, 50, 50), clRed);
  EXPECT_EQ(PixelAt(t.Form, 99, 89), clRed);
  EXPECT_NE(PixelAt(t.Form, 99, 90), clRed); // below the panel
  EXPECT_NE(PixelAt(t.Form, 49, 50), clRed);
  EXPECT_NE(PixelAt(t.Form, 100, 50), clRed);
  EXPECT_EQ(CountPixels(t.Form, clRed), 50 * 40);
  EXPECT_EQ(t.Box->VisibleFormRect(), (TRect{50, 50, 100, 90}));
  EXPECT_EQ(t.Box->Canvas()->ClipRect(), (TRect{0, 0, 50, 40}));
}

TEST(Geometry, MovingOrResizingAnAncestorMovesAndReclipsTheCanvas) {
  TTree t;
  t.Panel->SetLeft(0);
  t.FillBox(clBlue);
  EXPECT_EQ(CountPixels(t.Form, clBlue), 50 * 40);
  EXPECT_EQ(PixelAt(t.Form, 30, 50), clBlue);
  t.Panel->SetHeight(200); // the box is no longer cut by the panel
  t.FillBox(clLime);
  EXPECT_EQ(CountPixels(t.Form, clLime), 50 * 50);
  t.Form.SetBounds(0, 0, 60, 70); // the form's edge cuts it now
  t.FillBox(clRed);
  EXPECT_EQ(CountPixels(t.Form, clRed), 30 * 20);
}

TEST(Geometry, ACanvasDrawsNothingOffTheFormOrOutsideItsParent) {
  TTree t;
  t.Box->SetParent(nullptr);
  EXPECT_FALSE(t.Box->Canvas()->HasDevice());
  EXPECT_EQ(t.Box->ParentForm(), nullptr);
  t.FillBox(clRed);
  t.Box->SetParent(t.Panel);
  EXPECT_EQ(t.Box->ParentForm(), &t.Form);
  t.Box->SetBounds(-60, 5, 50, 50);
  t.FillBox(clRed);
  t.Box->SetBounds(5, 5, -10, -3);
  EXPECT_EQ(t.Box->Width(), 0);
  EXPECT_EQ(t.Box->Height(), 0);
  t.FillBox(clRed);
  EXPECT_EQ(t.Box->Canvas()->Pixels(0, 0), -1);
  t.Box->SetBounds(INT_MAX, INT_MIN, INT_MAX, INT_MAX);
  t.FillBox(clRed);
  t.Panel->SetBounds(INT_MAX, INT_MAX, INT_MAX, INT_MAX);
  t.FillBox(clRed);
  EXPECT_EQ(CountPixels(t.Form, clRed), 0);
  EXPECT_TRUE(t.Box->VisibleFormRect().IsEmpty());
  // x saturates; y comes back into range: INT_MAX + INT_MIN + 50.
  EXPECT_EQ(t.Box->ClientToScreen({0, 0}), (TPoint{INT_MAX, 49}));
}

TEST(Geometry, ClientToScreenGoesThroughTheParentsAndTheFormsPlace) {
  TTree t;
  EXPECT_EQ(t.Box->ClientToScreen({1, 2}), (TPoint{151, 102}));
  EXPECT_EQ(t.Box->ScreenToClient({151, 102}), (TPoint{1, 2}));
  EXPECT_EQ(t.Panel->ClientToScreen({0, 0}), (TPoint{120, 60}));
  EXPECT_EQ(t.Form.ClientToScreen({5, 5}), (TPoint{105, 55}));
  EXPECT_EQ(t.Box->ClientToForm({1, 2}), (TPoint{51, 52}));
  t.Form.SetLeft(-100);
  EXPECT_EQ(t.Box->ClientToScreen({1, 2}), (TPoint{-49, 102}));
  TPaintBox loose(nullptr);
  EXPECT_THROW(loose.ClientToScreen({0, 0}), EInvalidOperation);
}

TEST(Geometry, SetFontCopiesEveryFieldAndKeepsNoLinkToTheSource) {
  TPaintBox box(nullptr);
  TFont font;
  font.SetName("arial");
  font.SetSize(13);
  font.SetColor(clRed);
  font.SetStyle({fsBold, fsUnderline});
  box.SetFont(font);
  font.SetSize(99);
  font.SetName("other");
  EXPECT_EQ(box.Font().Name(), "arial");
  EXPECT_EQ(box.Font().Size(), 13);
  EXPECT_EQ(box.Font().Color(), clRed);
  EXPECT_EQ(box.Font().Style(), (TFontStyles{fsBold, fsUnderline}));
}

TEST(Geometry, AlignedChildrenShareTheParentsClientInOrder) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 150);
  auto *top = new TCustomPanel(&form);
  auto *client = new TCustomPanel(&form);
  auto *left = new TPaintBox(&form);
  for (TControl *c : std::initializer_list<TControl *>{top, client, left})
    c->SetParent(&form);
  top->SetHeight(30);
  left->SetWidth(40);
  client->SetAlign(alClient);
  top->SetAlign(alTop);
  left->SetAlign(alLeft);
  EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 200, 30}));
  EXPECT_EQ(left->BoundsRect(), (TRect{0, 30, 40, 150}));
  EXPECT_EQ(client->BoundsRect(), (TRect{40, 30, 200, 150}));
  form.SetBounds(0, 0, 300, 200);
  EXPECT_EQ(client->BoundsRect(), (TRect{40, 30, 300, 200}));
  top->Hide();
  EXPECT_EQ(client->BoundsRect(), (TRect{40, 0, 300, 200}));
  client->SetBounds(1, 2, 3, 4); // an aligned control goes back where its parent puts it
  EXPECT_EQ(client->BoundsRect(), (TRect{40, 0, 300, 200}));
  left->SetWidth(500); // more than the room: the client is squeezed to nothing
  EXPECT_EQ(client->Width(), 0);
}

TEST(Geometry, ParentsCannotLoopAndNestingIsBounded) {
  TForm form(nullptr);
  auto *outer = new TCustomPanel(&form);
  outer->SetParent(&form);
  auto *inner = new TCustomPanel(&form);
  inner->SetParent(outer);
  EXPECT_THROW(outer->SetParent(inner), EInvalidOperation);
  EXPECT_THROW(outer->SetParent(outer), EInvalidOperation);
  auto *other = new TForm(&form);
  EXPECT_THROW(other->SetParent(outer), EInvalidOperation);

  // A chain as deep as allowed, each panel one pixel in from its parent.
  TWinControl *parent = inner;
  TCustomPanel *deepest = inner;
  for (int depth = 2; depth < TWinControl::MaxNesting; ++depth) {
    deepest = new TCustomPanel(&form);
    deepest->SetParent(parent);
    deepest->SetBounds(1, 1, 600, 400);
    parent = deepest;
  }
  auto *tooDeep = new TPaintBox(&form);
  EXPECT_THROW(tooDeep->SetParent(deepest), EInvalidOperation);
  EXPECT_EQ(tooDeep->Parent(), nullptr);
  outer->SetBounds(10, 20, 300, 300);
  inner->SetBounds(0, 0, 300, 300);
  const int steps = TWinControl::MaxNesting - 2;
  EXPECT_EQ(deepest->ClientToForm({0, 0}), (TPoint{10 + steps, 20 + steps}));
  EXPECT_EQ(deepest->VisibleFormRect(), (TRect{10 + steps, 20 + steps, 310, 320}));
}

TEST(Geometry, AFormOfNoSizeDrawsNothingAndATooLargeOneIsRefusedWhole) {
  TForm form(nullptr);
  auto *box = new TPaintBox(&form);
  box->SetParent(&form);
  form.SetBounds(3, 4, -5, 0);
  EXPECT_EQ(form.Framebuffer().Width(), 0);
  EXPECT_EQ(form.ProcessPaints(), 0);
  EXPECT_EQ(form.ControlAt({0, 0}), nullptr);
  box->Canvas()->FillRect({0, 0, 10, 10});
  EXPECT_THROW(form.SetBounds(0, 0, 1 << 20, 1 << 20), EOutOfMemory);
  EXPECT_EQ(form.BoundsRect(), (TRect{3, 4, 3, 4}));
  form.SetBounds(0, 0, 20, 10);
  EXPECT_EQ(form.ProcessPaints(), 2);
  EXPECT_EQ(form.ControlAt({5, 5}), box);
}
