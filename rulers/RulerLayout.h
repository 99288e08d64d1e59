#pragma once

// How a ruler lays out its graduations, free of any canvas: the major step and first value of a
// world-unit scale, the grades and labels of its ticks, the pitch, grades and labels of the inch
// and millimetre scales, and the range a physical scale reports afterwards. The rulers turn these
// into pixels along their own axis.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

namespace Pbrulers {

enum class TLengthUnits : std::uint8_t { luActualInches, luActualMM, luCustom };
using enum TLengthUnits;

// Base raised to Exponent. Integral powers of a positive base are as exact as a double allows
// (RaiseToPower(10, 1) is exactly 10), which the tick walk needs to land on the range's end.
// A negative base with a fractional exponent and zero raised to zero or to a negative power
// write an error line to the standard output and end the program.
double RaiseToPower(double Base, double Exponent);

// The major step for a range R > 0: Div when it is positive, else about a tenth of R, rounded
// to 1, 2, 5 or 10 times a power of ten. 0 when no step can graduate the range: R not finite and
// positive, or a step that would be 0 or infinite.
double MajorStep(double R, double Div);

enum class TRulerAxis : std::uint8_t { raHorizontal, raVertical };
using enum TRulerAxis;

// Whether a ruler may take Min itself as its first value (when Min is 10000 steps or more from
// zero): the horizontal ruler with an automatic step and Min >= 0, the vertical one with an
// explicit step whatever the sign of Min.
bool FirstValueShortcut(TRulerAxis axis, bool explicitStep, double Min);

// The first graduated value: Min itself when the shortcut is allowed and applies, else the
// smallest multiple of step not below Min as the counting rule finds it (k * step for Min >= 0,
// -k * step + step below zero), with k found from Min / step rather than by counting.
double FirstValue(double Min, double step, bool shortcutAllowed);

// 0, 1 or 2: one for an even index, one more for every tenth.
constexpr int WorldTickGrade(std::int64_t i) { return (i % 2 == 0 ? 1 : 0) + (i % 10 == 0 ? 1 : 0); }

// The most ticks worth drawing along an axis of this many device pixels: one a pixel column
// (and the far edge). A tiny explicit step against a huge range, or a step that no longer moves
// the running value, stops here instead of walking without bound.
std::int64_t TickLimit(double extentPixels);

// Calls tick(i, value) for the world-unit ticks from start while value <= Max, adding step to
// the running value as it goes, at most limit times. Draws nothing for a step or start that is
// not a finite number.
template <class TTick> void ForEachWorldTick(double start, double step, double Max, std::int64_t limit, TTick &&tick) {
  if (!(step > 0) || !std::isfinite(step) || !std::isfinite(start))
    return;
  double value = start;
  for (std::int64_t i = 0; i < limit && value <= Max; ++i) {
    tick(i, value);
    value = value + step;
  }
}

// The pitch of a physical scale in whole device pixels: a sixteenth of an inch or 5 mm.
int PhysicalPitch(TLengthUnits mode, int ppi);
// The length multiplier of physical tick i: 1..5 for inches, 1..2 for millimetres.
int PhysicalTickMultiplier(TLengthUnits mode, std::int64_t i);
// The label of physical tick i (whole inches, or whole centimetres), or an empty string.
std::string PhysicalLabel(TLengthUnits mode, std::int64_t i);

// How many physical ticks an extent of device pixels holds at this pitch: the positions
// 0, pitch, 2 pitch, ... below the extent. None for a pitch below one pixel.
std::int64_t PhysicalTickCount(double extent, int pitch);

// Calls tick(i, position) for the physical ticks along an extent of device pixels, pitch apart,
// from 0 upward while extent > position, or from extent downward while position > 0, that fall
// within [lo, hi]; returns how many the whole extent holds. Position i is i * pitch, or extent -
// i * pitch, exactly what adding or taking away the pitch i times gives below 2^53, so a ruler far
// longer than any device walks only the part that can show.
template <class TTick>
std::int64_t ForEachPhysicalTick(double extent, int pitch, bool increasing, double lo, double hi, TTick &&tick) {
  const std::int64_t c = PhysicalTickCount(extent, pitch);
  if (c == 0 || !(lo <= hi))
    return c;
  double from = increasing ? std::ceil(lo / pitch) : std::ceil((extent - hi) / pitch);
  double to = increasing ? std::floor(hi / pitch) : std::floor((extent - lo) / pitch);
  from = std::max(from, 0.0);
  to = std::min(to, static_cast<double>(c - 1));
  if (!(from <= to))
    return c;
  for (auto i = static_cast<std::int64_t>(from); i <= static_cast<std::int64_t>(to); ++i) {
    const double offset = static_cast<double>(i) * pitch;
    tick(i, increasing ? offset : extent - offset);
  }
  return c;
}

// The world range a physical scale reports after drawing c ticks: 0 to the graduated length in
// the unit its labels count (centimetres, or inches). A scale shorter than one such unit reports
// 0..5 as an empty one does: a maximum of 0 would be raised to 1 by the next paint and lowered
// again by its reset, without end.
constexpr double RangeResetMin = 0;
double RangeResetMax(TLengthUnits mode, std::int64_t c);

} // namespace Pbrulers
