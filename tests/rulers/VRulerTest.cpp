#include <gtest/gtest.h>

#include "RulerSheet.h"

using namespace Platform;
using namespace Pbrulers;
using namespace RulerSheet;

namespace {

class VRuler : public ::testing::Test, public Sheet {
protected:
  VRuler() {
    Ruler->SetBounds(30, 10, 33, 200);
    Record(Ruler);
  }
  TPaintRecord Painted() {
    Recorder.Clear();
    Ruler->Paint();
    return Recorded();
  }
  TVelPBVRuler *Ruler = new TVelPBVRuler(Graph);
};

} // namespace

TEST_F(VRuler, ConstructorLeavesTheTableValues) {
  auto *ruler = new TVelPBVRuler(Graph);
  EXPECT_EQ(ruler->YMin(), 0);
  EXPECT_EQ(ruler->YMax(), 100);
  EXPECT_EQ(ruler->YDiv(), 0);
  EXPECT_TRUE(ruler->BottomToTop());
  EXPECT_EQ(ruler->DivisionPlacement(), dpLeft);
  EXPECT_EQ(ruler->LengthUnits(), luCustom);
  EXPECT_EQ(ruler->Width(), 33);
  EXPECT_EQ(ruler->Height(), 200);
  EXPECT_EQ(ruler->Font().Name(), "arial");
  EXPECT_EQ(ruler->Font().Size(), 6);
}

TEST_F(VRuler, WorldUnitTicksAndLabelsOnEitherSide) {
  TPaintRecord r = Painted();
  ASSERT_EQ(r.Ticks.size(), 11u);
  for (int i = 0; i <= 10; ++i) {
    const int right = i % 10 == 0 ? 24 : (i % 2 == 0 ? 18 : 12);
    EXPECT_EQ(r.Ticks[i], (TTick{{1, 200 - 20 * i}, {right, 200 - 20 * i}})) << i;
  }
  const std::vector<TLabel> labels{
      {{6, 148}, "20"}, {{6, 108}, "40"}, {{6, 68}, "60"}, {{6, 28}, "80"}, {{6, -12}, "100"}};
  EXPECT_EQ(r.Labels, labels);

  Ruler->SetDivisionPlacement(dpRight);
  r = Painted();
  EXPECT_EQ(r.Ticks[0], (TTick{{33, 200}, {9, 200}}));
  EXPECT_EQ(r.Ticks[1], (TTick{{33, 180}, {21, 180}}));
  EXPECT_EQ(r.Ticks[2], (TTick{{33, 160}, {15, 160}}));
  EXPECT_EQ(r.Labels[0].At, (TPoint{6, 148}));

  Ruler->SetBottomToTop(false);
  Ruler->SetBorderBoolean(false);
  Ruler->SetDivisionPlacement(dpLeft);
  r = Painted();
  EXPECT_EQ(r.Ticks.front(), (TTick{{0, 0}, {24, 0}}));
  EXPECT_EQ(r.Ticks.back().From.Y, 200);
  EXPECT_EQ(r.Labels.back(), (TLabel{{6, 188}, "100"}));
}

TEST_F(VRuler, PixelsOnTheFormMatchTheTicks) {
  Ruler->Canvas()->SetDevice(Form->Canvas()->Device());
  Ruler->Paint();
  const auto pixel = [&](int x, int y) { return Ruler->Canvas()->Pixels(x, y); };
  for (int x = 1; x < 18; ++x)
    EXPECT_EQ(pixel(x, 160), clBlack) << x;
  EXPECT_EQ(pixel(18, 160), clWhite);
  EXPECT_EQ(pixel(11, 180), clBlack);
  EXPECT_EQ(pixel(12, 180), clWhite);
  EXPECT_EQ(pixel(5, 159), clWhite);
  EXPECT_EQ(pixel(32, 100), clBlack); // the frame
  EXPECT_EQ(pixel(31, 100), clWhite);
}

TEST_F(VRuler, MillimetreScaleUpwardAndItsRangeReset) {
  DisplayMetrics().PixelsPerInch = 96;
  Ruler->SetHeight(400);
  Record(Ruler);
  Ruler->SetLengthUnits(luActualMM);
  EXPECT_EQ(Ruler->YMin(), 0);
  EXPECT_EQ(Ruler->YMax(), 11);
  const TPaintRecord r = Painted();
  ASSERT_EQ(r.Ticks.size(), 22u);
  EXPECT_EQ(r.Ticks[0], (TTick{{0, 400}, {16, 400}}));
  EXPECT_EQ(r.Ticks[1], (TTick{{0, 381}, {8, 381}}));
  EXPECT_EQ(r.Ticks[21].From.Y, 1);
  TCanvas measure(&Recorder);
  measure.Font() = Ruler->Font();
  EXPECT_EQ(r.Labels[0], (TLabel{{(33 - measure.TextWidth("1")) / 2, 350}, "1"}));
  EXPECT_EQ(r.Labels[9].Text, "10");
  EXPECT_EQ(r.Labels[9].At.X, (33 - measure.TextWidth("10")) / 2);

  Ruler->SetDivisionPlacement(dpRight);
  Ruler->SetBottomToTop(false);
  Ruler->SetLengthUnits(luActualInches);
  const TPaintRecord inches = Painted();
  EXPECT_EQ(inches.Ticks[0], (TTick{{33, 0}, {18, 0}}));
  EXPECT_EQ(inches.Ticks[1], (TTick{{33, 6}, {30, 6}}));
  EXPECT_EQ(Ruler->YMax(), 4);
}

TEST_F(VRuler, TooShortForAnyTickResetsToZeroToFive) {
  Ruler->SetHeight(0);
  Record(Ruler);
  Ruler->SetLengthUnits(luActualMM);
  EXPECT_TRUE(Painted().Ticks.empty());
  EXPECT_EQ(Ruler->YMin(), 0);
  EXPECT_EQ(Ruler->YMax(), 5);
}

TEST_F(VRuler, FirstValueShortcutDiffersFromTheHorizontalRuler) {
  Ruler->SetYMin(20000.5);
  Ruler->SetYMax(20010.5);
  Ruler->SetDecimals(1);
  EXPECT_EQ(Painted().Labels.front().Text, "20003.0"); // starts at 20001; the first label is tick 2
  Ruler->SetYDiv(1);
  EXPECT_EQ(Painted().Labels.front().Text, "20002.5"); // starts at 20000.5 itself
}
