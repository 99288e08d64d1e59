#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <rulers/RulerLayout.h>
#include <unistd.h>
#include <vector>

using namespace Pbrulers;

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

std::vector<double> WorldTicks(double start, double step, double max, std::int64_t limit = 1000) {
  std::vector<double> values;
  ForEachWorldTick(start, step, max, limit, [&](std::int64_t i, double v) {
    EXPECT_EQ(i, static_cast<std::int64_t>(values.size()));
    values.push_back(v);
  });
  return values;
}

} // namespace

TEST(RaiseToPower, PowersOfTenAreExact) {
  double expected = 1;
  for (int n = 1; n <= 22; ++n) {
    expected *= 10; // exact up to 1e22
    EXPECT_EQ(RaiseToPower(10, n), expected) << n;
  }
  EXPECT_EQ(RaiseToPower(10, -3), 0.001);
  EXPECT_EQ(RaiseToPower(2, 0.5), std::sqrt(2.0));
  EXPECT_EQ(RaiseToPower(-2, 3), -8);
  EXPECT_EQ(RaiseToPower(-2, 2), 4);
  EXPECT_EQ(RaiseToPower(-5, 0), 1);
  EXPECT_EQ(RaiseToPower(0, 3), 0);
}

TEST(RaiseToPowerDeathTest, DomainErrorsWriteTheirLineAndEndTheProgram) {
  // The line goes to the standard output; the child sends it to the standard error, where the
  // death test reads it.
  const auto call = [](double base, double exponent) {
    dup2(STDERR_FILENO, STDOUT_FILENO);
    RaiseToPower(base, exponent);
  };
  EXPECT_EXIT(call(-2, 0.5), testing::ExitedWithCode(EXIT_FAILURE),
              "^Error: Negative double number was raised to a non-integer power\n$");
  EXPECT_EXIT(call(0, 0), testing::ExitedWithCode(EXIT_FAILURE),
              "^Error: Zero raised to the zero power is undefined\n$");
  EXPECT_EXIT(call(0, -1), testing::ExitedWithCode(EXIT_FAILURE),
              "^Error: Zero raised to a negative power is undefined\n$");
}

TEST(MajorStep, AutomaticStepIsOneTwoOrFiveTimesAPowerOfTen) {
  const struct {
    double R, step;
  } cases[] = {{100, 10},   {35, 5},       {0.7, 0.1}, {1, 0.1}, {250, 20}, {45, 5},        {60, 10},
               {1000, 100}, {0.03, 0.005}, {10, 1},    {7, 1},   {3, 0.5},  {1e300, 1e299}, {1.7e308, 1e307}};
  for (const auto &c : cases)
    EXPECT_DOUBLE_EQ(MajorStep(c.R, 0), c.step) << c.R;
  EXPECT_EQ(MajorStep(100, 10), 10);
  EXPECT_EQ(MajorStep(1000, -4), 100);
  EXPECT_EQ(MajorStep(1e-9, 2.5), 2.5);
}

TEST(MajorStep, RangesNoStepCanGraduateGiveNone) {
  for (double R : {0.0, -1.0, Inf, NaN, 4.9e-324})
    EXPECT_EQ(MajorStep(R, 0), 0) << R;
}

TEST(FirstValue, SmallestMultipleNotBelowMinAsCounted) {
  const struct {
    double min, step, start;
  } cases[] = {{0, 10, 0},
               {-7, 5, -5},
               {-10, 5, -10},
               {7, 5, 10},
               {0.3, 0.1, 0.30000000000000004},
               {-0.25, 0.1, -0.20000000000000004},
               {20000.5, 1, 20001},
               {-20000.5, 1, -20000},
               {1e15 + 0.5, 1, 1e15 + 1}};
  for (const auto &c : cases)
    EXPECT_EQ(FirstValue(c.min, c.step, false), c.start) << c.min << " / " << c.step;
  EXPECT_EQ(FirstValue(20000, 1, true), 20000);
  EXPECT_EQ(FirstValue(9999.5, 1, true), 10000);
  // Far beyond a 32-bit count of steps, found without counting.
  EXPECT_EQ(FirstValue(1e300, 1, false), 1e300);
  EXPECT_EQ(FirstValue(-1e300, 1e-10, false), -1e300);
}

TEST(FirstValue, ShortcutTablePerRulerAndStep) {
  const auto start = [](TRulerAxis axis, bool explicitStep, double min) {
    return FirstValue(min, 1, FirstValueShortcut(axis, explicitStep, min));
  };
  EXPECT_EQ(start(raHorizontal, false, 20000.5), 20000.5);
  EXPECT_EQ(start(raHorizontal, true, 20000.5), 20001);
  EXPECT_EQ(start(raVertical, false, 20000.5), 20001);
  EXPECT_EQ(start(raVertical, true, 20000.5), 20000.5);
  EXPECT_EQ(start(raVertical, true, -20000.5), -20000.5);
  EXPECT_EQ(start(raHorizontal, false, -20000.5), -20000);
  EXPECT_EQ(start(raVertical, false, -20000.5), -20000);
}

TEST(WorldTicks, WalkAddsTheStepAndStopsAtMax) {
  EXPECT_EQ(WorldTicks(0, 10, 100).size(), 11u); // the tick equal to Max is drawn
  EXPECT_EQ(WorldTicks(0, 10, 99.999).size(), 10u);
  const std::vector<double> tenths = WorldTicks(0, 0.1, 0.3);
  ASSERT_EQ(tenths.size(), 3u); // 0.1 + 0.1 + 0.1 overshoots 0.3, as the accumulating walk does
  EXPECT_EQ(tenths[2], 0.2);
  const int grades[] = {2, 0, 1, 0, 1, 0, 1, 0, 1, 0, 2, 0, 1};
  for (int i = 0; i < 13; ++i)
    EXPECT_EQ(WorldTickGrade(i), grades[i]) << i;
}

TEST(WorldTicks, StalledOrUnboundedWalksStopAtTheLimit) {
  EXPECT_EQ(WorldTicks(1e20, 1, 2e20, 50).size(), 50u); // value + step == value
  EXPECT_EQ(WorldTicks(0, 1e-6, 1e9, TickLimit(200)).size(), 201u);
  EXPECT_EQ(TickLimit(10), 64);
  EXPECT_EQ(TickLimit(NaN), 64);
  EXPECT_EQ(TickLimit(Inf), (1 << 30) + 1);
  EXPECT_TRUE(WorldTicks(0, 0, 10).empty());
  EXPECT_TRUE(WorldTicks(0, NaN, 10).empty());
  EXPECT_TRUE(WorldTicks(-Inf, 1, 10).empty());
  EXPECT_TRUE(WorldTicks(NaN, 1, 10).empty());
}

TEST(PhysicalScale, PitchesGradesAndLabels) {
  const struct { int ppi, inch, mm; } pitches[] = {{72, 4, 14}, {96, 6, 19}, {120, 8, 24}, {600, 38, 118}, {5, 0, 1}};
  for (const auto &p : pitches) {
    EXPECT_EQ(PhysicalPitch(luActualInches, p.ppi), p.inch) << p.ppi;
    EXPECT_EQ(PhysicalPitch(luActualMM, p.ppi), p.mm) << p.ppi;
  }
  const int inch[] = {5, 1, 2, 1, 3, 1, 2, 1, 4, 1, 2, 1, 3, 1, 2, 1, 5};
  for (int i = 0; i <= 16; ++i) {
    EXPECT_EQ(PhysicalTickMultiplier(luActualInches, i), inch[i]) << i;
    EXPECT_EQ(PhysicalTickMultiplier(luActualMM, i), i % 2 == 0 ? 2 : 1) << i;
  }
  EXPECT_EQ(PhysicalLabel(luActualInches, 0), "");
  EXPECT_EQ(PhysicalLabel(luActualInches, 8), "");
  EXPECT_EQ(PhysicalLabel(luActualInches, 16), "1");
  EXPECT_EQ(PhysicalLabel(luActualInches, 32), "2");
  EXPECT_EQ(PhysicalLabel(luActualMM, 0), "");
  EXPECT_EQ(PhysicalLabel(luActualMM, 1), "");
  EXPECT_EQ(PhysicalLabel(luActualMM, 2), "1");
  EXPECT_EQ(PhysicalLabel(luActualMM, 4), "2");
}

TEST(PhysicalScale, WalkBothWaysAndTheRangeItReports) {
  std::vector<double> up, down;
  const auto all = [](double extent, int pitch, bool increasing, auto &&tick) {
    return ForEachPhysicalTick(extent, pitch, increasing, -1e300, 1e300, tick);
  };
  EXPECT_EQ(all(768, 19, true, [&](std::int64_t, double q) { up.push_back(q); }), 41);
  EXPECT_EQ(up.back(), 760);
  EXPECT_EQ(all(400, 19, false, [&](std::int64_t, double q) { down.push_back(q); }), 22);
  EXPECT_EQ(down[2], 362);
  EXPECT_EQ(down.back(), 1);
  for (double extent : {0.0, -5.0, NaN, Inf})
    EXPECT_EQ(all(extent, 19, true, [](std::int64_t, double) {}), 0) << extent;
  EXPECT_EQ(all(100, 0, true, [](std::int64_t, double) {}), 0);
  EXPECT_EQ(all(380, 19, true, [](std::int64_t, double) {}), 20); // 380 itself is not below the extent

  const struct {
    TLengthUnits mode;
    std::int64_t c;
    double max;
  } resets[] = {{luActualMM, 0, 5},      {luActualMM, 1, 5},      {luActualMM, 41, 20},
                {luActualMM, 22, 11},    {luActualInches, 0, 5},  {luActualInches, 15, 5},
                {luActualInches, 16, 1}, {luActualInches, 34, 2}, {luActualInches, 128, 8}};
  for (const auto &r : resets)
    EXPECT_EQ(RangeResetMax(r.mode, r.c), r.max) << r.c;
}

TEST(PhysicalScale, OnlyTicksWithinTheWindowAreWalkedButAllAreCounted) {
  std::vector<std::pair<std::int64_t, double>> ticks;
  const auto keep = [&](std::int64_t i, double q) { ticks.emplace_back(i, q); };
  EXPECT_EQ(ForEachPhysicalTick(1e12, 6, true, 1000, 1100, keep), 166666666667);
  ASSERT_EQ(ticks.size(), 17u);
  EXPECT_EQ(ticks.front(), (std::pair<std::int64_t, double>{167, 1002}));
  EXPECT_EQ(ticks.back(), (std::pair<std::int64_t, double>{183, 1098}));
  ticks.clear();
  // Downward from 400.5: 400.5, 381.5, 362.5, ...
  EXPECT_EQ(ForEachPhysicalTick(400.5, 19, false, 360, 390, keep), 22);
  EXPECT_EQ(ticks, (std::vector<std::pair<std::int64_t, double>>{{1, 381.5}, {2, 362.5}}));
  ticks.clear();
  EXPECT_EQ(ForEachPhysicalTick(400, 19, true, 500, 600, keep), 22);
  EXPECT_EQ(ForEachPhysicalTick(400, 19, true, 10, 5, keep), 22);
  EXPECT_EQ(ForEachPhysicalTick(400, 19, true, NaN, 5, keep), 22);
  EXPECT_TRUE(ticks.empty());
}
