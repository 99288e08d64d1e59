#include <gtest/gtest.h>

#include "ControlProbe.h"
#include <climits>

using namespace Platform;
using Probe::Log;
using Probe::PixelAt;
using Probe::TProbeBox;
using Probe::TProbePanel;

namespace {

const TColor Light = ColorToRGB(clBtnHighlight);
const TColor Dark = ColorToRGB(clBtnShadow);

// A form with one panel at (10, 10), 8 x 6, whose colour is red.
struct TPanelOnForm {
  TForm Form{nullptr};
  TCustomPanel *Panel = new TCustomPanel(&Form);
  TPanelOnForm() {
    Form.SetBounds(0, 0, 40, 30);
    Panel->SetParent(&Form);
    Panel->SetBounds(10, 10, 8, 6);
    Panel->SetColor(clRed);
  }
  // The panel's pixels, one letter each: L light, D dark, C its colour, ? anything else.
  std::vector<std::string> Picture() {
    Form.ProcessPaints();
    std::vector<std::string> rows;
    for (int y = 0; y < Panel->Height(); ++y) {
      std::string row;
      for (int x = 0; x < Panel->Width(); ++x) {
        const TColor c = PixelAt(Form, 10 + x, 10 + y);
        row += c == Light ? 'L' : c == Dark ? 'D' : c == clRed ? 'C' : '?';
      }
      rows.push_back(row);
    }
    return rows;
  }
};

} // namespace

TEST(Paint, PanelBevelsDrawTheirCornersAsThePlatformDoes) {
  TPanelOnForm p;
  EXPECT_EQ(p.Picture(), (std::vector<std::string>{"LLLLLLLD", //
                                                   "LCCCCCCD", //
                                                   "LCCCCCCD", //
                                                   "LCCCCCCD", //
                                                   "LCCCCCCD", //
                                                   "DDDDDDDD"}));
  p.Panel->SetBevelOuter(bvLowered);
  p.Panel->SetBevelInner(bvRaised);
  EXPECT_EQ(p.Picture(), (std::vector<std::string>{"DDDDDDDL", //
                                                   "DLLLLLDL", //
                                                   "DLCCCCDL", //
                                                   "DLCCCCDL", //
                                                   "DDDDDDDL", //
                                                   "LLLLLLLL"}));
  p.Panel->SetBevelWidth(2);
  p.Panel->SetBevelOuter(bvRaised);
  p.Panel->SetBevelInner(bvNone);
  EXPECT_EQ(p.Picture(), (std::vector<std::string>{"LLLLLLLD", //
                                                   "LLLLLLDD", //
                                                   "LLCCCCDD", //
                                                   "LLCCCCDD", //
                                                   "LDDDDDDD", //
                                                   "DDDDDDDD"}));
}

TEST(Paint, SpaceBevelsAndBordersAreBandsOfThePanelsColour) {
  TPanelOnForm p;
  p.Panel->SetBevelOuter(bvSpace);
  p.Panel->SetBorderWidth(1);
  p.Panel->SetBevelInner(bvLowered);
  EXPECT_EQ(p.Picture(), (std::vector<std::string>{"CCCCCCCC", //
                                                   "CCCCCCCC", //
                                                   "CCDDDLCC", //
                                                   "CCLLLLCC", //
                                                   "CCCCCCCC", //
                                                   "CCCCCCCC"}));
}

TEST(Paint, BevelsWiderThanThePanelFillItWithFramesOnly) {
  TPanelOnForm p;
  p.Panel->SetBounds(10, 10, 5, 3);
  p.Panel->SetBevelWidth(1 << 30);
  p.Panel->SetBevelInner(bvLowered);
  const auto rows = p.Picture();
  EXPECT_EQ(rows, (std::vector<std::string>{"LLLLD", "LDDDD", "DDDDD"}));
  // A panel 2^31 - 1 wide and 30 high: 15 frames, each of which runs far beyond the form;
  // only their visible parts are drawn. Row 14 is the top of the innermost frame, row 15 its
  // bottom.
  p.Panel->SetBounds(-(1 << 30), 0, INT_MAX, 30);
  p.Panel->SetBevelInner(bvNone);
  p.Form.ProcessPaints();
  EXPECT_EQ(PixelAt(p.Form, 0, 0), Light);
  EXPECT_EQ(PixelAt(p.Form, 20, 14), Light);
  EXPECT_EQ(PixelAt(p.Form, 20, 15), Dark);
  EXPECT_EQ(PixelAt(p.Form, 39, 29), Dark);
}

TEST(Paint, TheFormPaintsItsControlsInZOrderWithGraphicChildrenUnderWindowedOnes) {
  Log log;
  TForm form(nullptr);
  form.SetBounds(0, 0, 100, 100);
  auto *a = new TProbePanel(&form, &form, "a", log);
  a->SetBounds(0, 0, 60, 60);
  auto *aw = new TProbePanel(&form, a, "aw", log);
  aw->SetBounds(0, 0, 20, 20);
  auto *ag = new TProbeBox(&form, a, "ag", log); // added after aw, still under it
  ag->SetBounds(10, 10, 20, 20);
  auto *b = new TProbeBox(&form, &form, "b", log);
  b->SetBounds(50, 50, 20, 20);
  auto *hidden = new TProbeBox(&form, &form, "hidden", log);
  hidden->Hide();
  EXPECT_EQ(form.ProcessPaints(), 5);
  EXPECT_EQ(log, (std::vector<std::string>{"b paint", "a paint", "ag paint", "aw paint"}));
  EXPECT_EQ(form.ControlAt({15, 15}), aw);
  EXPECT_EQ(form.ControlAt({25, 25}), ag);
  EXPECT_EQ(form.ControlAt({55, 55}), a); // the windowed sibling lies over the box
  EXPECT_EQ(form.ControlAt({65, 65}), b);
  EXPECT_EQ(form.ControlAt({90, 90}), &form);
  EXPECT_EQ(form.ControlAt({100, 5}), nullptr);
  b->BringToFront();
  EXPECT_EQ(form.ControlAt({55, 55}), a); // still a graphic control: under every window
  a->SendToBack();
  EXPECT_EQ(form.ControlAt({55, 55}), a);
}

TEST(Paint, PendingPaintsRunOnceWithWhatLiesOverThem) {
  Log log;
  TForm form(nullptr);
  form.SetBounds(0, 0, 100, 100);
  auto *under = new TProbePanel(&form, &form, "under", log);
  under->SetBounds(0, 0, 50, 50);
  auto *over = new TProbePanel(&form, &form, "over", log);
  over->SetBounds(40, 40, 50, 50);
  auto *apart = new TProbeBox(&form, &form, "apart", log);
  apart->SetBounds(0, 60, 30, 30);
  auto *child = new TProbeBox(&form, under, "child", log);
  child->SetBounds(5, 5, 5, 5);
  form.ProcessPaints();
  log.clear();
  EXPECT_EQ(form.ProcessPaints(), 0);
  under->Invalidate();
  under->Invalidate();
  EXPECT_EQ(form.ProcessPaints(), 3);
  EXPECT_EQ(log, (std::vector<std::string>{"under paint", "child paint", "over paint"}));
  EXPECT_FALSE(form.PaintsPending());
  EXPECT_EQ(form.ProcessPaints(), 0);

  log.clear();
  apart->Invalidate();
  over->Repaint(); // at once, leaving the other request for the host
  EXPECT_EQ(log, (std::vector<std::string>{"over paint"}));
  EXPECT_TRUE(apart->PaintPending());
  EXPECT_EQ(form.ProcessPaints(), 1);
}

TEST(Paint, RequestsMadeWhilePaintingWaitForTheNextCall) {
  Log log;
  TForm form(nullptr);
  auto *box = new TPaintBox(&form);
  box->SetParent(&form);
  int paints = 0;
  box->OnPaint = [&](TObject *) {
    ++paints;
    box->Invalidate();
  };
  form.ProcessPaints();
  form.ProcessPaints();
  EXPECT_EQ(paints, 2);
  EXPECT_TRUE(form.PaintsPending());
}

TEST(Paint, TheBackgroundOfAWindowIsErasedButNotUnderItsWindowedChildren) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 30, 30);
  form.SetColor(clBlue);
  auto *panel = new TCustomPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(10, 10, 10, 10);
  panel->SetBevelOuter(bvNone);
  panel->SetColor(clRed);
  auto *box = new TPaintBox(&form);
  box->SetParent(&form);
  box->SetBounds(0, 0, 5, 5);
  int painted = 0;
  box->OnPaint = [&](TObject *) { ++painted; }; // draws nothing: the form's colour shows
  form.ProcessPaints();
  EXPECT_EQ(PixelAt(form, 0, 0), clBlue);
  EXPECT_EQ(PixelAt(form, 15, 15), clRed);
  EXPECT_EQ(PixelAt(form, 29, 29), clBlue);
  EXPECT_EQ(painted, 1);
  // An opaque panel that paints nothing leaves the old pixels, as the form does not erase there.
  struct TBlank : TCustomPanel {
    using TCustomPanel::TCustomPanel;
    void Paint() override {}
  };
  auto *blank = new TBlank(&form);
  blank->SetParent(&form);
  blank->SetBounds(10, 10, 10, 10);
  panel->Hide();
  form.ProcessPaints();
  EXPECT_EQ(PixelAt(form, 15, 15), clRed);
  EXPECT_EQ(PixelAt(form, 9, 15), clBlue);
}

TEST(Paint, PaintBoxesGetTheirFontAndColourBeforeOnPaintAndDrawOnTheirParent) {
  TForm form(nullptr);
  auto *panel = new TCustomPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(10, 10, 100, 100);
  auto *box = new TPaintBox(&form);
  box->SetParent(panel);
  box->SetBounds(20, 20, 10, 10);
  box->SetColor(clYellow);
  box->Font().SetSize(17);
  box->OnPaint = [&](TObject *sender) {
    TCanvas *c = static_cast<TPaintBox *>(sender)->Canvas();
    EXPECT_EQ(c->Font().Size(), 17);
    c->FillRect(box->ClientRect());
  };
  form.ProcessPaints();
  EXPECT_EQ(PixelAt(form, 30, 30), clYellow);
  EXPECT_EQ(PixelAt(form, 39, 39), clYellow);
  EXPECT_NE(PixelAt(form, 40, 40), clYellow);
}

TEST(Paint, AHiddenFormPaintsNothingUntilShown) {
  Log log;
  TForm form(nullptr);
  new TProbeBox(&form, &form, "box", log);
  form.Hide();
  EXPECT_EQ(form.ProcessPaints(), 0);
  EXPECT_EQ(form.ControlAt({1, 1}), nullptr);
  form.Show();
  EXPECT_EQ(form.ProcessPaints(), 2);
  EXPECT_EQ(log, (std::vector<std::string>{"box paint"}));
}

TEST(Paint, PanelCaptionIsCentredInsideTheBevels) {
  TPanelOnForm p;
  p.Form.SetBounds(0, 0, 200, 100);
  p.Panel->SetBounds(10, 10, 160, 60);
  p.Panel->Font().SetColor(clBlue);
  p.Panel->SetCaption("Velocity");
  p.Form.ProcessPaints();
  int left = INT_MAX, right = INT_MIN, top = INT_MAX, bottom = INT_MIN;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 160; ++x) {
      const TColor c = PixelAt(p.Form, 10 + x, 10 + y);
      if (c != clRed && c != Light && c != Dark) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  ASSERT_LT(left, right) << "no caption drawn";
  EXPECT_NEAR(left + right, 160, 6); // centred horizontally
  EXPECT_NEAR(top + bottom, 60, 8);  // and vertically
  EXPECT_GT(right - left, 30);
}

// A Paint may free the control painting, its parent or the whole form: the walk stops touching
// what left and still paints the rest.
TEST(Paint, ControlsFreedInTheirOwnPaintAreNotTouchedAgain) {
  enum TVictim { Self, Parent, Form };
  for (TVictim victim : {Self, Parent, Form}) {
    SCOPED_TRACE(victim);
    Log log;
    auto *form = new TForm(nullptr);
    auto *panel = new TProbePanel(form, form, "panel", log);
    panel->SetBounds(0, 0, 20, 20);
    auto *box = new TProbeBox(form, panel, "box", log);
    box->SetBounds(2, 2, 5, 5);
    new TProbeBox(form, panel, "after", log);
    auto *sibling = new TProbePanel(form, form, "sibling", log);
    sibling->SetBounds(25, 0, 10, 10);
    bool formFreed = false;
    box->OnPaint = [&](TObject *) {
      if (victim == Self)
        delete box;
      else if (victim == Parent)
        delete panel;
      else {
        // Set first: the form frees this handler, captures included.
        formFreed = true;
        delete form;
      }
    };
    form->ProcessPaints();
    const Log expected[] = {{"panel paint", "box paint", "after paint", "sibling paint"},
                            {"panel paint", "box paint", "sibling paint"},
                            {"panel paint", "box paint"}};
    EXPECT_EQ(log, expected[victim]);
    EXPECT_EQ(formFreed, victim == Form);
    if (!formFreed)
      delete form;
  }
}
