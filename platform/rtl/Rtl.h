#pragma once

#include <cstdint>
#include <platform/rtl/Export.h>
#include <string>
#include <string_view>

namespace Platform {

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Values outside the 64-bit range and NaN saturate (NaN gives 0) instead of being undefined.
VELGRAPH_API std::int64_t Round(double value);

// Cuts towards zero, saturating like Round.
VELGRAPH_API std::int64_t Trunc(double value);

// Integer division truncating towards zero; the remainder takes the sign of the dividend.
// These are C++'s own / and %, named so that ported arithmetic reads as written.
constexpr int Div(int a, int b) { return a / b; }
constexpr int Mod(int a, int b) { return a % b; }

enum class TFloatFormat : std::uint8_t { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
using enum TFloatFormat;

// Formats a real. Precision is the count of significant digits (clamped to 1..18), Digits the
// decimals of ffFixed/ffNumber (0..18) or the minimum exponent digits of ffExponent/ffGeneral
// (0..4). Values are rounded half away from zero on the exact decimal value of the double.
// ffFixed switches to the exponent form (at least three exponent digits) when the integer part
// has more digits than Precision; ffNumber adds ',' between thousands; ffCurrency is ffNumber
// without a currency symbol; ffGeneral is the shorter of fixed and "1.5E-20" forms. The separator
// is always '.', whatever the locale. NaN gives "NAN", infinities "INF" and "-INF"; a result that
// rounds to zero has no minus sign.
VELGRAPH_API std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);

// Fixed-point form with exactly `decimals` (0..30) digits after '.', rounded half away from zero
// on the exact value, without grouping, whatever the locale; never "-0".
VELGRAPH_API std::string FloatToStrFixed(double value, int decimals);

VELGRAPH_API std::string IntToStr(std::int64_t value);

// Compares two texts ignoring the case of ASCII letters, as identifiers compare.
VELGRAPH_API bool SameText(std::string_view a, std::string_view b);

// The text without the white space at either end.
VELGRAPH_API std::string_view Trim(std::string_view text);

// False for a name no file can have (empty, or holding a NUL byte).
VELGRAPH_API bool FileExists(const std::string &fileName);

// Raises Exception for a name the system would silently cut short: one holding a NUL byte (the
// file would be made under the part before it) or an empty one. Every call taking a file name
// checks it first.
VELGRAPH_API void CheckFileName(const std::string &fileName);

} // namespace Platform
