#pragma once

#include <cstdint>
#include <string>

namespace Platform {

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Values outside the 64-bit range and NaN saturate (NaN gives 0) instead of being undefined.
std::int64_t Round(double value);

// Cuts towards zero, saturating like Round.
std::int64_t Trunc(double value);

// Integer division truncating towards zero; the remainder takes the sign of the dividend.
// These are C++'s own / and %, named so that ported arithmetic reads as written.
constexpr int Div(int a, int b) { return a / b; }
constexpr int Mod(int a, int b) { return a % b; }

enum class TFloatFormat : std::uint8_t { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
using enum TFloatFormat;

// Formats a real. Precision is the count of significant digits (1..18), Digits the decimals of
// ffFixed/ffNumber, or the minimum exponent digits of ffExponent. ffFixed switches to scientific
// form when the integer part has more digits than Precision. The separator is always '.'.
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);

// Fixed-point form with exactly `decimals` digits after '.', whatever the locale.
std::string FloatToStrFixed(double value, int decimals);

std::string IntToStr(std::int64_t value);

bool FileExists(const std::string &fileName);

} // namespace Platform
