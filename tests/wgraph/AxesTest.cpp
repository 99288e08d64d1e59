#include <gtest/gtest.h>

#include "RecordingCanvas.h"
#include <climits>
#include <limits>
#include <wgraph/Wgraph.h>

using namespace Platform;
using namespace Wgraph;

namespace {

// Ten pixels per world unit with y upwards: world (x, y) is pixel (10x, 1000 - 10y).
void MapTenPixelsPerUnit() {
  SetWorldWindow(0, 100, 0, 100, 0, 0, 0, 0);
  SetPCWindow(0, 1000, 1000, 0);
}

TAxis Axis(double end, double step) {
  TAxis a;
  a.XOrigin = 0;
  a.YOrigin = 0;
  a.XEnd = end;
  a.YEnd = end;
  a.Step = step;
  a.AxisColor = clBlack;
  a.TickColor = clGray;
  a.AxisWidth = 2;
  a.TickWidth = 1;
  a.FontName = "arial";
  a.FontSize = 9;
  a.FontColor = clBlue;
  return a;
}

std::vector<const TRecordedCall *> CallsOf(const TRecordingCanvas &r, TDeviceCall kind) {
  std::vector<const TRecordedCall *> calls;
  for (const TRecordedCall &c : r.Calls())
    if (c.Kind == kind)
      calls.push_back(&c);
  return calls;
}

// The lines drawn in the tick colour that go up from the X axis by `length` pixels.
std::vector<int> TickColumns(const TRecordingCanvas &r, int length) {
  std::vector<int> xs;
  for (const TRecordedCall *c : CallsOf(r, dcLine))
    if (c->State.Pen.Color == clGray && c->Points[0].Y == 1000 && c->Points[1].Y == 1000 - length &&
        c->Points[0].X == c->Points[1].X)
      xs.push_back(c->Points[0].X);
  return xs;
}

std::vector<std::string> Texts(const TRecordingCanvas &r) {
  std::vector<std::string> texts;
  for (const TRecordedCall *c : CallsOf(r, dcTextOut))
    texts.push_back(c->Text);
  return texts;
}

} // namespace

TEST(XAxis, TicksLabelsAndGridFromTheStep) {
  MapTenPixelsPerUnit();
  TRecordingCanvas r;
  TAxis a = Axis(10, 2);
  a.ShowLabels = true;
  a.ShowGrid = true;
  DrawXAxis(&r.Canvas, a);
  EXPECT_EQ(TickColumns(r, 6), (std::vector<int>{20, 40, 60, 80, 100}));
  EXPECT_EQ(Texts(r), (std::vector<std::string>{"2", "4", "6", "8", "10"}));
  int grid = 0;
  for (const TRecordedCall *c : CallsOf(r, dcLine))
    if (c->Points[1].Y == 900) { // up to YEnd = 10
      EXPECT_EQ(c->State.Pen.Color, clGray);
      ++grid;
    }
  EXPECT_EQ(grid, 5);
  const TRecordedCall *axisLine = CallsOf(r, dcLine).back();
  EXPECT_EQ(axisLine->Points, (std::vector<TPoint>{{0, 1000}, {100, 1000}}));
  EXPECT_EQ(axisLine->State.Pen.Color, clBlack);
  EXPECT_EQ(axisLine->State.Pen.Width, 2);
  EXPECT_EQ(r.Canvas.Brush().Style(), bsClear);
  EXPECT_EQ(r.Canvas.Pen().Color(), clBlack); // not restored: the axis pen stays
}

TEST(XAxis, LabelsAreCentredAndBelowTheAxis) {
  MapTenPixelsPerUnit();
  TRecordingCanvas r;
  TAxis a = Axis(10, 5);
  a.ShowLabels = true;
  r.Canvas.Font().Assign([&] {
    TFont f;
    f.SetName("arial");
    f.SetSize(9);
    return f;
  }());
  DrawXAxis(&r.Canvas, a);
  const auto texts = CallsOf(r, dcTextOut);
  ASSERT_EQ(texts.size(), 2u);
  const int w = r.Canvas.TextWidth("10");
  EXPECT_EQ(texts[1]->Points[0], (TPoint{100 - w / 2, 1002}));
  EXPECT_EQ(texts[1]->Font.Color, clBlue);
  EXPECT_EQ(texts[1]->Font.Size, 9);
}

TEST(XAxis, AccumulatedStepStillReachesTheEnd) {
  SetWorldWindow(0, 1, 0, 1, 0, 0, 0, 0);
  SetPCWindow(0, 1000, 1000, 0);
  TRecordingCanvas r;
  DrawXAxis(&r.Canvas, Axis(0.3, 0.1)); // 0.1 + 0.1 + 0.1 = 0.30000000000000004
  EXPECT_EQ(TickColumns(r, 6), (std::vector<int>{100, 200, 300}));
}

TEST(XAxis, HalfStepTicks) {
  MapTenPixelsPerUnit();
  TRecordingCanvas r;
  TAxis a = Axis(10, 2);
  a.MinorTicks = true;
  DrawXAxis(&r.Canvas, a);
  EXPECT_EQ(TickColumns(r, 4), (std::vector<int>{10, 30, 50, 70, 90}));
}

TEST(XAxis, LabelsCarryThreeSignificantDigits) {
  SetWorldWindow(0, 10000, 0, 10000, 0, 0, 0, 0);
  SetPCWindow(0, 1000, 1000, 0);
  TRecordingCanvas r;
  TAxis a = Axis(2000, 1000);
  a.ShowLabels = true;
  a.Decimals = 1;
  DrawXAxis(&r.Canvas, a);
  EXPECT_EQ(Texts(r), (std::vector<std::string>{"1.00E+003", "2.00E+003"}));
}

TEST(Axes, ZeroLabelTolerancesDifferBetweenTheAxes) {
  SetWorldWindow(0, 0.001, 0, 0.001, 0, 0, 0, 0);
  SetPCWindow(0, 1000, 1000, 0);
  TAxis a = Axis(0.00005, 0.00005);
  a.XOrigin = a.YOrigin = 0.00005;
  a.ShowLabels = true;
  a.Decimals = 5;
  TRecordingCanvas x, y;
  DrawXAxis(&x.Canvas, a);
  DrawYAxis(&y.Canvas, a);
  EXPECT_EQ(Texts(x), (std::vector<std::string>{"0.00005"}));
  EXPECT_TRUE(Texts(y).empty());
}

TEST(YAxis, TicksToTheRightAndLabelsToTheLeft) {
  MapTenPixelsPerUnit();
  TRecordingCanvas r;
  TAxis a = Axis(10, 5);
  a.ShowLabels = true;
  a.MinorTicks = true;
  DrawYAxis(&r.Canvas, a);
  std::vector<TPoint> ends;
  for (const TRecordedCall *c : CallsOf(r, dcLine))
    if (c->State.Pen.Color == clGray)
      ends.push_back(c->Points[1]);
  EXPECT_EQ(ends, (std::vector<TPoint>{{6, 950}, {6, 900}, {3, 975}, {3, 925}}));
  const auto labels = CallsOf(r, dcTextOut);
  ASSERT_EQ(labels.size(), 2u);
  EXPECT_EQ(labels[0]->Text, "5");
  const int w = r.Canvas.TextWidth("5"), h = r.Canvas.TextHeight("5");
  EXPECT_EQ(labels[0]->Points[0], (TPoint{-w - 2, 950 - h / 2}));
  const TRecordedCall *axisLine = CallsOf(r, dcLine).back();
  EXPECT_EQ(axisLine->Points, (std::vector<TPoint>{{0, 1000}, {0, 900}}));
}

TEST(YAxis, TitleIsWrittenUpwardsInABoldRotatedFont) {
  MapTenPixelsPerUnit();
  TRecordingCanvas r;
  TAxis a = Axis(10, 5);
  a.Title = "Height";
  a.TitleSize = 12;
  DrawYAxis(&r.Canvas, a);
  const auto texts = CallsOf(r, dcTextOut);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->Text, "Height");
  EXPECT_EQ(texts[0]->Font.Escapement, 900);
  EXPECT_TRUE(texts[0]->Font.Style.Contains(fsBold));
  const int w = r.Canvas.TextWidth("Height"); // the canvas font is the title font, unrotated
  EXPECT_EQ(texts[0]->Points[0], (TPoint{0, 950 + w / 2}));
  // The rotated font was selected out and deleted: later text is unrotated again.
  r.Canvas.TextOut(0, 0, "x");
  EXPECT_EQ(CallsOf(r, dcTextOut).back()->Font.Escapement, 0);
  EXPECT_EQ(r.Canvas.Font().Name(), "arial");
  EXPECT_EQ(r.Canvas.Font().Size(), 12);
}

TEST(XAxis, TitleUnderTheMiddleAndNoTitleLeavesTheLabelFont) {
  MapTenPixelsPerUnit();
  TRecordingCanvas r;
  TAxis a = Axis(10, 5);
  a.ShowLabels = true;
  DrawXAxis(&r.Canvas, a);
  EXPECT_EQ(r.Canvas.Font().Size(), 9);
  EXPECT_FALSE(r.Canvas.Font().Style().Contains(fsBold));
  a.Title = "Length";
  a.TitleSize = 11;
  DrawXAxis(&r.Canvas, a);
  const TRecordedCall *title = CallsOf(r, dcTextOut).back();
  const int w = r.Canvas.TextWidth("Length"), h = r.Canvas.TextHeight("Length");
  EXPECT_EQ(title->Text, "Length");
  EXPECT_EQ(title->Points[0], (TPoint{50 - w / 2, 1000 + h + 3}));
  EXPECT_EQ(title->Font.Escapement, 0);
}

TEST(Axes, OffsetsShiftEverything) {
  MapTenPixelsPerUnit();
  TAxis a = Axis(10, 5);
  a.ShowLabels = a.ShowGrid = a.MinorTicks = true;
  a.Title = "T";
  TRecordingCanvas plain, shifted;
  DrawXAxis(&plain.Canvas, a);
  DrawYAxis(&plain.Canvas, a);
  a.OffsetX = 5;
  a.OffsetY = -3;
  DrawXAxis(&shifted.Canvas, a);
  DrawYAxis(&shifted.Canvas, a);
  ASSERT_EQ(plain.Calls().size(), shifted.Calls().size());
  for (std::size_t i = 0; i < plain.Calls().size(); ++i) {
    ASSERT_EQ(plain.Calls()[i].Points.size(), shifted.Calls()[i].Points.size());
    for (std::size_t k = 0; k < plain.Calls()[i].Points.size(); ++k)
      EXPECT_EQ(shifted.Calls()[i].Points[k],
                (TPoint{plain.Calls()[i].Points[k].X + 5, plain.Calls()[i].Points[k].Y - 3}));
  }
}

TEST(Axes, StepsThatWouldNotEndDrawOnlyTheLineAndTitle) {
  MapTenPixelsPerUnit();
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  struct TCase {
    double End, Step;
  } cases[] = {{10, -2}, {10, 0.000001}, {10, 0}, {1e9, 0.001}, {10, nan}, {inf, 1}, {nan, 1}};
  for (const TCase &c : cases) {
    TRecordingCanvas r;
    TAxis a = Axis(c.End, c.Step);
    a.ShowLabels = a.ShowGrid = a.MinorTicks = true;
    a.Title = std::string(1, 'T'); // assigning a literal here trips a false -Wrestrict in g++ 12
    DrawXAxis(&r.Canvas, a);
    DrawYAxis(&r.Canvas, a);
    EXPECT_EQ(CallsOf(r, dcLine).size(), 2u) << c.End << " " << c.Step;
    EXPECT_EQ(Texts(r), (std::vector<std::string>{"T", "T"}));
  }
}

TEST(Axes, StepLostInRoundingStillEnds) {
  SetWorldWindow(1e20, 1e20 + 1e6, 0, 1, 0, 0, 0, 0);
  SetPCWindow(0, 1000, 1000, 0);
  TRecordingCanvas r;
  TAxis a = Axis(1e20 + 100000, 10); // 1e20 + 10 == 1e20
  a.XOrigin = 1e20;
  DrawXAxis(&r.Canvas, a);
  EXPECT_LE(CallsOf(r, dcLine).size(), 10002u);
}

// The label font is set only after the first label is measured, so that label is centred by its
// width in whatever font the canvas had; the ones after it by the axis font.
TEST(XAxis, FirstLabelIsCentredInTheCanvasFont) {
  MapTenPixelsPerUnit();
  TRecordingCanvas r;
  TAxis a = Axis(10, 5);
  a.XOrigin = 5;
  a.ShowLabels = true;
  r.Canvas.Font().SetName("arial");
  r.Canvas.Font().SetSize(30);
  const int wide = r.Canvas.TextWidth("5");
  DrawXAxis(&r.Canvas, a);
  const int narrow = r.Canvas.TextWidth("10");
  const auto texts = CallsOf(r, dcTextOut);
  ASSERT_EQ(texts.size(), 2u);
  ASSERT_NE(wide / 2, r.Canvas.TextWidth("5") / 2);
  EXPECT_EQ(texts[0]->Points[0], (TPoint{50 - wide / 2, 1002}));
  EXPECT_EQ(texts[1]->Points[0], (TPoint{100 - narrow / 2, 1002}));
}

// Offsets at the ends of the int range hold every point, tick, label and title there instead of
// wrapping to the far side.
TEST(Axes, OffsetsAtTheIntLimitsSaturate) {
  MapTenPixelsPerUnit();
  for (int offset : {INT_MAX, INT_MIN}) {
    TAxis a = Axis(10, 5);
    a.ShowLabels = a.ShowGrid = a.MinorTicks = true;
    a.Title = std::string(1, 'T');
    a.OffsetX = a.OffsetY = offset;
    TRecordingCanvas r;
    DrawXAxis(&r.Canvas, a);
    DrawYAxis(&r.Canvas, a);
    ASSERT_FALSE(r.Calls().empty());
    for (const TRecordedCall &c : r.Calls())
      for (const TPoint &p : c.Points) {
        const std::int64_t nearLimit = offset > 0 ? std::int64_t{INT_MAX} - 2000 : std::int64_t{INT_MIN} + 2000;
        EXPECT_TRUE(offset > 0 ? p.X >= nearLimit && p.Y >= nearLimit : p.X <= nearLimit && p.Y <= nearLimit)
            << offset << ": " << p.X << ", " << p.Y;
      }
  }
}
