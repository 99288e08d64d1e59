#include <gtest/gtest.h>

#include <platform/controls/Form.h>
#include <platform/controls/PaintBox.h>
#include <platform/controls/Screen.h>
#include <platform/pictures/Bitmap.h>

using namespace Platform;

namespace {

// Restores the display the other tests expect.
struct TDisplayGuard {
  TDisplayMetrics Saved = Screen().Metrics();
  ~TDisplayGuard() { Screen().SetMetrics(Saved); }
};

void SetScreenPixelsPerInch(int ppi) {
  TDisplayMetrics metrics = Screen().Metrics();
  metrics.PixelsPerInch = ppi;
  Screen().SetMetrics(metrics);
}

int LabelHeight(TCanvas &canvas) {
  canvas.Font().SetName("arial");
  canvas.Font().SetSize(12);
  return canvas.TextHeight("Label");
}

} // namespace

TEST(ScreenResolution, SurfacesFollowTheScreenTheyServeWhenTheyDraw) {
  TDisplayGuard guard;
  TForm form(nullptr);
  auto *box = new TPaintBox(&form);
  box->SetParent(&form);
  box->SetBounds(0, 0, 50, 20);
  // Made before the display is known: neither may keep the resolution they started with.
  TBitmap offScreen(50, 20), printed(50, 20);
  printed.SetPixelsPerInch(600);
  const int atDefault = LabelHeight(*offScreen.Canvas());
  EXPECT_EQ(LabelHeight(*box->Canvas()), atDefault);

  SetScreenPixelsPerInch(192);
  EXPECT_EQ(Screen().PixelsPerInch(), 192);
  EXPECT_EQ(offScreen.PixelsPerInch(), 192);
  EXPECT_EQ(box->Canvas()->PixelsPerInch(), 192);
  const int atDouble = LabelHeight(*offScreen.Canvas());
  EXPECT_GT(atDouble, atDefault * 3 / 2);
  // The off-screen picture and the screen lay text out alike.
  EXPECT_EQ(LabelHeight(*box->Canvas()), atDouble);
  EXPECT_EQ(box->Canvas()->TextWidth("Label"), offScreen.Canvas()->TextWidth("Label"));
  // A fixed resolution stays fixed; 0 follows the screen again.
  EXPECT_EQ(printed.PixelsPerInch(), 600);
  printed.SetPixelsPerInch(0);
  EXPECT_EQ(printed.PixelsPerInch(), 192);

  // A display that reports nonsense leaves text at the default size rather than none.
  SetScreenPixelsPerInch(0);
  EXPECT_EQ(offScreen.PixelsPerInch(), 96);
  EXPECT_EQ(LabelHeight(*box->Canvas()), atDefault);
}
