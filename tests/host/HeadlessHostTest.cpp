#include <gtest/gtest.h>

#include "../controls/ControlProbe.h"
#include <platform/host/HeadlessHost.h>

using namespace Platform;
using Probe::Log;
using Probe::PixelAt;

TEST(HeadlessHost, PresentShowsTheFramebufferAsItWasWhenPresented) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 30, 20);
  form.SetColor(clNavy);
  auto *box = new TPaintBox(&form);
  box->SetParent(&form);
  box->SetBounds(5, 5, 10, 10);
  box->OnPaint = [&](TObject *) {
    box->Canvas()->Brush().SetColor(clYellow);
    box->Canvas()->FillRect(box->ClientRect());
  };
  THeadlessHost host(form);
  EXPECT_EQ(host.Presented().Width(), 0);
  EXPECT_EQ(host.ProcessPaints(), 2);
  host.Present();
  ASSERT_EQ(host.Presented().Width(), 30);
  ASSERT_EQ(host.Presented().Height(), 20);
  EXPECT_EQ(PixelAt(host.Presented(), 0, 0), clNavy);
  EXPECT_EQ(PixelAt(host.Presented(), 14, 14), clYellow);
  EXPECT_EQ(PixelAt(host.Presented(), 15, 15), clNavy);

  form.Canvas()->Brush().SetColor(clRed);
  form.Canvas()->FillRect({0, 0, 30, 20});
  EXPECT_EQ(PixelAt(host.Presented(), 0, 0), clNavy);
  form.SetBounds(0, 0, 40, 25);
  EXPECT_EQ(host.ProcessPaints(), 2);
  host.Present();
  EXPECT_EQ(host.Presented().Width(), 40);
  EXPECT_EQ(PixelAt(host.Presented(), 39, 24), clNavy);
  EXPECT_EQ(PixelAt(host.Presented(), 5, 5), clYellow);
}

TEST(HeadlessHost, AFormDestroyedFirstLeavesAHostThatDoesNothing) {
  auto *form = new TForm(nullptr);
  THeadlessHost host(*form);
  host.MouseDown(10, 10);
  delete form;
  EXPECT_EQ(host.Form(), nullptr);
  host.MouseMove(11, 11);
  host.MouseUp(11, 11);
  EXPECT_TRUE(host.SetCursorPos({5, 5}));
  EXPECT_EQ(host.ProcessPaints(), 0);
  host.Present();
  EXPECT_EQ(host.Presented().Width(), 0);
}

TEST(HeadlessHost, PaintsRequestedByInputRunAtTheNextProcessPaints) {
  Log log;
  TForm form(nullptr);
  auto *box = new Probe::TProbeBox(&form, &form, "box", log);
  box->SetBounds(0, 0, 20, 20);
  box->OnMouseDown = [&](TObject *, TMouseButton, TShiftState, int, int) { box->Invalidate(); };
  THeadlessHost host(form);
  host.ProcessPaints();
  log.clear();
  host.MouseDown(5, 5);
  EXPECT_EQ(log, Log{"box enter"});
  EXPECT_TRUE(box->PaintPending());
  EXPECT_EQ(host.ProcessPaints(), 1);
  EXPECT_EQ(log, (Log{"box enter", "box paint"}));
}

TEST(HeadlessHost, TheScreenIsTheDisplayTheHostStandsFor) {
  const TDisplayMetrics saved = Screen().Metrics();
  TForm form(nullptr);
  {
    THeadlessHost host(form, {2560, 1440, 144});
    EXPECT_EQ(Screen().Width(), 2560);
    EXPECT_EQ(Screen().Height(), 1440);
    EXPECT_EQ(Screen().PixelsPerInch(), 144);
  }
  THeadlessHost plain(form);
  EXPECT_EQ(Screen().Metrics(), (TDisplayMetrics{1920, 1080, 96}));
  Screen().SetMetrics(saved);
}
