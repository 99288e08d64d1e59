#include <rulers/RulerLayout.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <platform/rtl/Rtl.h>

namespace Pbrulers {

using Platform::Round;
using Platform::Trunc;

namespace {

[[noreturn]] void PowerError(const char *line) {
  std::fputs(line, stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
  std::exit(EXIT_FAILURE);
}

// 1, 2, 5 or 10 for a leading digit: rounded up, except that 1 and 2 stay. Scaling d by tenths
// over hundreds of rounds can leave it a hair under 1; a digit of 0 would make the step 0 and
// the tick walk endless, so it counts as 1.
int Snap(std::int64_t m) {
  if (m <= 2)
    return m < 1 ? 1 : static_cast<int>(m);
  return m <= 4 ? 5 : 10;
}

// Corrections of the estimated multiple stop after a few rounds: the quotient is off by at most
// one, and beyond 2^53 adding one to k no longer changes it.
constexpr int MaxCorrections = 4;

double FirstMultipleAtOrAbove(double Min, double step) {
  double k = std::ceil(Min / step);
  for (int n = 0; n < MaxCorrections && k > 0 && (k - 1) * step >= Min; ++n)
    k -= 1;
  for (int n = 0; n < MaxCorrections && k * step < Min; ++n)
    k += 1;
  return k * step;
}

// The counting rule below zero: the first -k * step under Min, then one step back up.
double FirstMultipleAboveNegative(double Min, double step) {
  double k = std::floor(-Min / step) + 1;
  for (int n = 0; n < MaxCorrections && k > 0 && -(k - 1) * step < Min; ++n)
    k -= 1;
  for (int n = 0; n < MaxCorrections && !(-k * step < Min); ++n)
    k += 1;
  return -k * step + step;
}

} // namespace

double RaiseToPower(double Base, double Exponent) {
  if (Base < 0) {
    double integral = 0;
    if (std::modf(Exponent, &integral) != 0)
      PowerError("Error: Negative double number was raised to a non-integer power");
    const double r = std::pow(-Base, Exponent);
    return std::fmod(integral, 2) != 0 ? -r : r;
  }
  if (Base == 0) {
    if (Exponent == 0)
      PowerError("Error: Zero raised to the zero power is undefined");
    if (Exponent < 0)
      PowerError("Error: Zero raised to a negative power is undefined");
    return 0;
  }
  if (Exponent == 0)
    return 1;
  // The library's pow is exact wherever the result is representable, as e^(n ln 10) is not.
  return std::pow(Base, Exponent);
}

double MajorStep(double R, double Div) {
  if (Div > 0)
    return Div;
  double d = R / 10;
  if (!(d > 0) || !std::isfinite(d))
    return 0;
  double step = 0;
  if (d < 1) {
    int n = 0;
    do {
      ++n;
      d = d * 10;
    } while (Trunc(d) < 1);
    step = Snap(Trunc(d)) / RaiseToPower(10, n);
  } else if (d < 10) {
    step = Snap(Trunc(d));
  } else {
    int n = 0;
    do {
      ++n;
      d = d * 0.1;
    } while (Trunc(d) >= 10);
    step = Snap(Trunc(d)) * RaiseToPower(10, n);
  }
  return step > 0 && std::isfinite(step) ? step : 0;
}

bool FirstValueShortcut(TRulerAxis axis, bool explicitStep, double Min) {
  if (axis == raHorizontal)
    return !explicitStep && Min >= 0;
  return explicitStep;
}

double FirstValue(double Min, double step, bool shortcutAllowed) {
  if (!(step > 0) || !std::isfinite(step) || !std::isfinite(Min))
    return Min;
  const double steps = std::fabs(Min) / step;
  // Beyond every double the step is nothing against Min: Min is as good a multiple as any.
  if ((shortcutAllowed && steps >= 10000) || !std::isfinite(steps))
    return Min;
  return Min >= 0 ? FirstMultipleAtOrAbove(Min, step) : FirstMultipleAboveNegative(Min, step);
}

std::int64_t TickLimit(double extentPixels) {
  // Never below what an automatic step can give (at most 21 ticks), so a short ruler still
  // draws its whole graduation.
  constexpr std::int64_t AutomaticTicks = 64;
  constexpr double MostPixels = 1 << 30;
  if (!(extentPixels > 0))
    return AutomaticTicks;
  return std::max(AutomaticTicks, Trunc(std::min(extentPixels, MostPixels)) + 1);
}

int PhysicalPitch(TLengthUnits mode, int ppi) {
  const double pitch = mode == luActualInches ? ppi / 16.0 : ppi / 5.08;
  return static_cast<int>(Round(pitch));
}

int PhysicalTickMultiplier(TLengthUnits mode, std::int64_t i) {
  int grade = i % 2 == 0 ? 1 : 0;
  if (mode == luActualInches)
    grade += (i % 4 == 0 ? 1 : 0) + (i % 8 == 0 ? 1 : 0) + (i % 16 == 0 ? 1 : 0);
  return 1 + grade;
}

std::string PhysicalLabel(TLengthUnits mode, std::int64_t i) {
  const int perUnit = mode == luActualInches ? 16 : 2;
  if (i <= 0 || i % perUnit != 0)
    return {};
  return Platform::IntToStr(i / perUnit);
}

std::int64_t PhysicalTickCount(double extent, int pitch) {
  // Beyond 2^53 pixels positions are no longer whole numbers; no device comes near.
  constexpr double MostPixels = 9007199254740992.0;
  if (pitch < 1 || !(extent > 0) || !std::isfinite(extent))
    return 0;
  const double bounded = std::min(extent, MostPixels);
  double c = std::ceil(bounded / pitch);
  if (c > 0 && (c - 1) * pitch >= bounded)
    c -= 1;
  if (c * pitch < bounded)
    c += 1;
  return static_cast<std::int64_t>(c);
}

double RangeResetMax(TLengthUnits mode, std::int64_t c) {
  const int perUnit = mode == luActualInches ? 16 : 2;
  constexpr double EmptyScale = 10 / 2;
  return c < perUnit ? EmptyScale : static_cast<double>(c / perUnit);
}

} // namespace Pbrulers
