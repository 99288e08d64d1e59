#include <gtest/gtest.h>

#include "RulerSheet.h"
#include <limits>

using namespace Platform;
using namespace Pbrulers;
using namespace RulerSheet;

namespace {

class HRuler : public ::testing::Test, public Sheet {
protected:
  HRuler() {
    Ruler->SetBounds(10, 20, 200, 33);
    Record(Ruler);
  }
  // Paints once on the recorder and returns what it drew.
  TPaintRecord Painted() {
    Recorder.Clear();
    Ruler->Paint();
    return Recorded();
  }
  int LabelTop() {
    TCanvas measure(&Recorder);
    measure.Font() = Ruler->Font();
    return (33 - measure.TextHeight("2")) / 2;
  }
  TVelPBHRuler *Ruler = new TVelPBHRuler(Graph);
};

} // namespace

TEST_F(HRuler, ConstructorLeavesTheTableValues) {
  auto *ruler = new TVelPBHRuler(Graph);
  EXPECT_EQ(ruler->Parent(), Graph);
  EXPECT_EQ(ruler->XMin(), 0);
  EXPECT_EQ(ruler->XMax(), 100);
  EXPECT_EQ(ruler->XDiv(), 0);
  EXPECT_EQ(ruler->Decimals(), 0);
  EXPECT_TRUE(ruler->LeftToRight());
  EXPECT_TRUE(ruler->ShowBorder());
  EXPECT_EQ(ruler->DivisionPlacement(), dpTop);
  EXPECT_EQ(ruler->LengthUnits(), luCustom);
  EXPECT_EQ(ruler->Width(), 200);
  EXPECT_EQ(ruler->Height(), 33);
  EXPECT_EQ(ruler->Color(), clWhite);
  EXPECT_EQ(ruler->Font().Name(), "arial");
  EXPECT_EQ(ruler->Font().Size(), 6);
  EXPECT_EQ(ruler->PaintCanvas(), ruler->Canvas());
}

TEST_F(HRuler, OnlyAWorldGraphMayOwnARuler) {
  struct TDerivedGraph : Velgraph::TVelWorldGraph {
    using TVelWorldGraph::TVelWorldGraph;
  };
  const int before = Form->ComponentCount();
  for (TComponent *owner : {static_cast<TComponent *>(nullptr), static_cast<TComponent *>(Form.get())}) {
    try {
      new TVelPBHRuler(owner);
      ADD_FAILURE() << "a ruler was made";
    } catch (const Exception &e) {
      EXPECT_EQ(e.Message(), "Illegal use of the Ruler component");
    }
    EXPECT_THROW(new TVelPBVRuler(owner), Exception);
  }
  EXPECT_EQ(Form->ComponentCount(), before);
  EXPECT_EQ(Form->ControlCount(), 1);
  auto *derived = new TDerivedGraph(Form.get());
  auto *ruler = new TVelPBHRuler(derived);
  EXPECT_EQ(ruler->Owner(), derived);
  EXPECT_EQ(ruler->Parent(), derived);
}

TEST_F(HRuler, WorldUnitTicksAndLabelsAtTheTop) {
  const TPaintRecord r = Painted();
  ASSERT_EQ(r.Frames, 1);
  EXPECT_EQ(r.FrameCalls[0].Box, (TRect{0, 0, 200, 33}));
  EXPECT_EQ(r.FrameCalls[0].State.Pen.Color, clBlack);
  EXPECT_EQ(r.FrameCalls[0].State.Brush.Color, clWhite);
  ASSERT_EQ(r.Ticks.size(), 11u);
  for (int i = 0; i <= 10; ++i) {
    const int bottom = i % 10 == 0 ? 18 : (i % 2 == 0 ? 12 : 6);
    EXPECT_EQ(r.Ticks[i], (TTick{{20 * i, 1}, {20 * i, bottom}})) << i;
  }
  const int top = LabelTop();
  const std::vector<TLabel> labels{{{3, top}, "0"},    {{43, top}, "20"},  {{83, top}, "40"},
                                   {{123, top}, "60"}, {{163, top}, "80"}, {{203, top}, "100"}};
  EXPECT_EQ(r.Labels, labels);
  for (const TRecordedCall &call : Recorder.Calls()) {
    if (call.Kind == dcTextOut) {
      EXPECT_EQ(call.State.Brush.Style, bsClear);
    }
  }
  EXPECT_EQ(Ruler->Canvas()->Brush().Style(), bsSolid);
}

TEST_F(HRuler, PlacementDirectionBorderAndDecimals) {
  Ruler->Hide();
  Ruler->SetLefttoRight(false);
  Ruler->SetDecimals(2);
  TPaintRecord r = Painted();
  EXPECT_EQ(r.Labels.front().At.X, 203);
  EXPECT_EQ(r.Labels.front().Text, "0.00");
  EXPECT_EQ(r.Labels.back().At.X, 3);
  EXPECT_EQ(r.Labels.back().Text, "100.00");

  Ruler->SetDivisionPlacement(dpBottom);
  Ruler->SetXMin(-50);
  Ruler->SetXMax(50);
  r = Painted();
  EXPECT_EQ(r.Ticks.front(), (TTick{{200, 33}, {200, 15}}));
  EXPECT_EQ(r.Ticks[1], (TTick{{180, 33}, {180, 27}}));
  EXPECT_EQ(r.Labels.front().Text, "-50.00");

  Ruler->SetDivisionPlacement(dpTop);
  Ruler->SetBorderBoolean(false);
  r = Painted();
  EXPECT_EQ(r.FrameCalls[0].State.Pen.Color, clWhite);
  EXPECT_EQ(r.Ticks.front().From.Y, 0);
}

TEST_F(HRuler, PixelsOnTheFormMatchTheTicks) {
  Ruler->Canvas()->SetDevice(Form->Canvas()->Device());
  Ruler->Paint();
  const auto pixel = [&](int x, int y) { return Ruler->Canvas()->Pixels(x, y); };
  for (int y = 1; y < 12; ++y)
    EXPECT_EQ(pixel(40, y), clBlack) << y;
  EXPECT_EQ(pixel(40, 12), clWhite);
  EXPECT_EQ(pixel(20, 5), clBlack);
  EXPECT_EQ(pixel(20, 6), clWhite);
  EXPECT_EQ(pixel(39, 5), clWhite);
  EXPECT_EQ(pixel(41, 5), clWhite);
  EXPECT_EQ(pixel(15, 0), clBlack); // the frame
  EXPECT_EQ(pixel(15, 32), clBlack);
  EXPECT_EQ(pixel(15, 31), clWhite);
  // The label "20" lies right of its tick, and nothing lies left of it.
  const auto inked = [&](int fromX, int toX) {
    bool ink = false;
    for (int x = fromX; x < toX; ++x)
      for (int y = 13; y < 26; ++y)
        ink = ink || pixel(x, y) != clWhite;
    return ink;
  };
  EXPECT_TRUE(inked(43, 53));
  EXPECT_FALSE(inked(30, 43));
  EXPECT_FALSE(inked(53, 60));
}

TEST_F(HRuler, SettersPaintOnceWhenChangedAndVisible) {
  const std::vector<std::function<void()>> changes{[&] { Ruler->SetXMin(-1); },
                                                   [&] { Ruler->SetXMax(90); },
                                                   [&] { Ruler->SetXDiv(5); },
                                                   [&] { Ruler->SetDecimals(1); },
                                                   [&] { Ruler->SetLefttoRight(false); },
                                                   [&] { Ruler->SetBorderBoolean(false); },
                                                   [&] { Ruler->SetDivisionPlacement(dpBottom); },
                                                   [&] { Ruler->SetLengthUnits(luCustom); }};
  for (std::size_t n = 0; n < changes.size(); ++n) {
    Recorder.Clear();
    changes[n]();
    EXPECT_EQ(Recorded().Frames, n == 7 ? 0 : 1) << n; // luCustom is already the mode
    Recorder.Clear();
    changes[n]();
    EXPECT_EQ(Recorded().Frames, 0) << n << " again";
  }
  Ruler->Hide();
  Recorder.Clear();
  Ruler->SetXMax(50);
  EXPECT_EQ(Recorded().Frames, 0);
  EXPECT_EQ(Ruler->XMax(), 50);
}

TEST_F(HRuler, EmptyRangeIsRaisedByOne) {
  Ruler->SetXMin(5);
  Ruler->SetXMax(5);
  EXPECT_EQ(Ruler->XMax(), 6);
  const TPaintRecord r = Painted();
  EXPECT_EQ(r.Labels.front().Text, "5");
  EXPECT_EQ(r.Ticks.back().From.X, 200);
}

TEST_F(HRuler, MillimetreScaleAndItsRangeReset) {
  DisplayMetrics().PixelsPerInch = 96;
  Ruler->SetWidth(768);
  Record(Ruler);
  Ruler->SetLengthUnits(luActualMM);
  const TPaintRecord r = Recorded();
  EXPECT_EQ(r.Frames, 2); // the reset's change of XMax paints once more, and that paint settles
  EXPECT_EQ(Ruler->XMin(), 0);
  EXPECT_EQ(Ruler->XMax(), 20);
  ASSERT_EQ(r.Ticks.size(), 82u);
  EXPECT_EQ(r.Ticks[0], (TTick{{0, 0}, {0, 16}}));
  EXPECT_EQ(r.Ticks[1], (TTick{{19, 0}, {19, 8}}));
  EXPECT_EQ(r.Ticks[40], (TTick{{760, 0}, {760, 16}}));
  const int top = LabelTop();
  EXPECT_EQ(r.Labels[0], (TLabel{{41, top}, "1"}));
  EXPECT_EQ(r.Labels[1], (TLabel{{79, top}, "2"}));
  EXPECT_EQ(r.Labels[19], (TLabel{{763, top}, "20"}));
  for (const TRecordedCall &call : Recorder.Calls()) {
    if (call.Kind == dcTextOut) {
      EXPECT_EQ(call.State.Brush.Style, bsSolid);
    }
  }

  Ruler->SetDivisionPlacement(dpBottom);
  Ruler->SetLefttoRight(false);
  const TPaintRecord bottom = Painted();
  EXPECT_EQ(bottom.Ticks[0], (TTick{{768, 32}, {768, 16}}));
  EXPECT_EQ(bottom.Ticks[1], (TTick{{749, 32}, {749, 24}}));
}

TEST_F(HRuler, InchScaleFollowsTheScreenResolution) {
  DisplayMetrics().PixelsPerInch = 96;
  Ruler->SetLengthUnits(luActualInches);
  TPaintRecord r = Painted();
  ASSERT_EQ(r.Ticks.size(), 34u);
  EXPECT_EQ(r.Ticks[16], (TTick{{96, 0}, {96, 15}}));
  EXPECT_EQ(r.Ticks[8], (TTick{{48, 0}, {48, 12}}));
  EXPECT_EQ(r.Ticks[1], (TTick{{6, 0}, {6, 3}}));
  ASSERT_EQ(r.Labels.size(), 2u);
  EXPECT_EQ(r.Labels[0].At.X, 99);
  EXPECT_EQ(r.Labels[0].Text, "1");
  EXPECT_EQ(Ruler->XMax(), 2); // whole inches graduated

  DisplayMetrics().PixelsPerInch = 120;
  r = Painted();
  EXPECT_EQ(r.Frames, 2); // 25 ticks graduate one whole inch: XMax moves and paints again
  EXPECT_EQ(Ruler->XMax(), 1);
  r = Painted();
  EXPECT_EQ(r.Ticks[1].From.X, 8);
  EXPECT_EQ(r.Ticks.size(), 25u);
}

TEST_F(HRuler, ShortPhysicalScalesSettleAtZeroToFive) {
  Ruler->SetWidth(10); // one millimetre tick, two inch ticks
  Record(Ruler);
  for (TLengthUnits mode : {luActualMM, luActualInches}) {
    Recorder.Clear();
    Ruler->SetLengthUnits(mode);
    EXPECT_LE(Recorded().Frames, 2);
    EXPECT_EQ(Ruler->XMin(), 0);
    EXPECT_EQ(Ruler->XMax(), 5);
    const std::size_t ticks = Painted().Ticks.size();
    EXPECT_EQ(Ruler->XMax(), 5);
    EXPECT_EQ(Recorded().Frames, 1);
    EXPECT_EQ(ticks, mode == luActualMM ? 1u : 2u);
  }
  Ruler->SetWidth(0);
  Ruler->SetXMax(100);
  EXPECT_EQ(Ruler->XMax(), 5);
}

TEST_F(HRuler, RangesThatCannotBeGraduatedDrawTheFrameAlone) {
  constexpr double Inf = std::numeric_limits<double>::infinity();
  constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
  const struct { double min, max; } ranges[] = {{1e17, 1e17}, {0, Inf}, {-Inf, 0}, {NaN, 1}, {-1.7e308, 1.7e308}};
  for (const auto &range : ranges) {
    Ruler->Hide();
    Ruler->SetXMin(range.min);
    Ruler->SetXMax(range.max);
    Ruler->Show();
    const TPaintRecord r = Painted();
    EXPECT_EQ(r.Frames, 1);
    EXPECT_TRUE(r.Ticks.empty()) << range.min << ".." << range.max;
  }
  Ruler->SetXMin(0);
  Ruler->SetXMax(NaN); // not above XMin: raised to XMin + 1
  EXPECT_EQ(Ruler->XMax(), 1);
  EXPECT_EQ(Painted().Ticks.size(), 11u);
}

TEST_F(HRuler, TinyExplicitStepIsCappedAtOneTickAPixel) {
  Ruler->SetXMin(0);
  Ruler->SetXMax(1e9);
  Ruler->SetXDiv(1e-3);
  const TPaintRecord r = Painted();
  EXPECT_EQ(r.Ticks.size(), 201u);
  Ruler->SetXMin(1e20);
  Ruler->SetXMax(1e20 + 1e6);
  Ruler->SetXDiv(1);
  EXPECT_EQ(Painted().Ticks.size(), 201u); // 1e20 + 1 == 1e20: the walk does not move
}

TEST_F(HRuler, AHugeRulerDrawsOnlyWhatShowsAndCountsEverything) {
  Ruler->SetWidth(2000000000);
  Record(Ruler);
  Ruler->SetLengthUnits(luActualMM);
  EXPECT_EQ(Ruler->XMax(), 52631579); // 105263158 ticks of 19 pixels
  const TPaintRecord mm = Painted();
  ASSERT_FALSE(mm.Ticks.empty());
  EXPECT_LT(mm.Ticks.size(), 60u); // the 990 columns the form shows
  EXPECT_EQ(mm.Ticks.back().From.X, 988);
  Ruler->SetLengthUnits(luCustom);
  Ruler->SetXDiv(1e-9);
  EXPECT_EQ(Painted().Ticks.size(), 991u);
}

TEST_F(HRuler, DoubleToStringIsFixedPointWithoutGrouping) {
  EXPECT_EQ(Ruler->DoubleToString(1234567.25), "1234567");
  EXPECT_EQ(Ruler->DoubleToString(-3.5), "-4");
  Ruler->SetDecimals(3);
  EXPECT_EQ(Ruler->DoubleToString(-0.5), "-0.500");
  EXPECT_EQ(Ruler->DoubleToString(1234.0625), "1234.063");
}
