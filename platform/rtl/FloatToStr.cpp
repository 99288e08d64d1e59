// Real-to-text conversion. Every result is built from the exact decimal expansion of the double,
// rounded half away from zero, so the output never depends on the C locale or on the rounding
// mode of printf.

#include <platform/rtl/Rtl.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace Platform {

namespace {

// A finite magnitude as 0.D1D2...Dn x 10^Exponent: no leading or trailing zeros in Digits, and
// Digits empty (Exponent 0) for zero.
struct TDecimal {
  std::string Digits;
  int Exponent = 0;

  bool IsZero() const { return Digits.empty(); }
  // The digit at a position counted from the first significant one; zero past the end.
  char DigitAt(int index) const {
    return index >= 0 && index < static_cast<int>(Digits.size()) ? Digits[static_cast<std::size_t>(index)] : '0';
  }
};

constexpr int MaxPrecision = 18;
constexpr int MaxFixedDigits = 18;
constexpr int MaxExponentDigits = 4;
constexpr int MaxFixedDecimals = 30;

void TrimTrailingZeros(TDecimal &decimal) {
  while (!decimal.Digits.empty() && decimal.Digits.back() == '0')
    decimal.Digits.pop_back();
  if (decimal.Digits.empty())
    decimal.Exponent = 0;
}

TDecimal ExactDecimal(double magnitude) {
  // The exact decimal expansion of any double has at most 767 significant digits, so asking for
  // that many gives every digit with nothing rounded away.
  constexpr int ExactDigits = 767;
  char buffer[ExactDigits + 16];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, ExactDigits);
  const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const std::size_t e = text.find('e');
  TDecimal decimal;
  decimal.Digits.reserve(e);
  for (std::size_t i = 0; i < e; ++i)
    if (text[i] != '.')
      decimal.Digits.push_back(text[i]);
  int exponent = 0;
  const char *first = text.data() + e + 1;
  if (*first == '+')
    ++first;
  std::from_chars(first, text.data() + text.size(), exponent);
  decimal.Exponent = exponent + 1;
  TrimTrailingZeros(decimal);
  return decimal;
}

// Keeps the first `count` significant digits, rounding half away from zero. The expansion is
// exact, so looking at the first dropped digit alone decides: 5 and above rounds up.
void RoundDigits(TDecimal &decimal, int count) {
  if (count >= static_cast<int>(decimal.Digits.size()))
    return;
  if (count < 0) {
    decimal = {};
    return;
  }
  const bool up = decimal.Digits[static_cast<std::size_t>(count)] >= '5';
  decimal.Digits.resize(static_cast<std::size_t>(count));
  if (up) {
    while (!decimal.Digits.empty() && decimal.Digits.back() == '9')
      decimal.Digits.pop_back();
    if (decimal.Digits.empty()) {
      decimal.Digits.assign(1, '1');
      ++decimal.Exponent;
    } else {
      ++decimal.Digits.back();
    }
  }
  TrimTrailingZeros(decimal);
}

void AppendGrouped(std::string &out, const std::string &integer) {
  for (std::size_t i = 0; i < integer.size(); ++i) {
    if (i > 0 && (integer.size() - i) % 3 == 0)
      out.push_back(',');
    out.push_back(integer[i]);
  }
}

// Sign, integer part (at least "0"), then exactly `decimals` decimals; the value is rounded.
std::string FixedText(bool negative, const TDecimal &decimal, int decimals, bool grouped) {
  std::string integer;
  for (int i = 0; i < decimal.Exponent; ++i)
    integer.push_back(decimal.DigitAt(i));
  if (integer.empty())
    integer.push_back('0');
  std::string out = negative && !decimal.IsZero() ? "-" : "";
  if (grouped)
    AppendGrouped(out, integer);
  else
    out += integer;
  if (decimals > 0) {
    out.push_back('.');
    for (int i = 0; i < decimals; ++i)
      out.push_back(decimal.DigitAt(decimal.Exponent + i));
  }
  return out;
}

void AppendExponent(std::string &out, int exponent, bool plusSign, int minDigits) {
  out.push_back('E');
  if (exponent < 0)
    out.push_back('-');
  else if (plusSign)
    out.push_back('+');
  std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
  if (static_cast<int>(digits.size()) < minDigits)
    digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
  out += digits;
}

// d.ddd with exactly `mantissaDigits` digits, then the exponent with its sign.
std::string ExponentText(bool negative, const TDecimal &decimal, int mantissaDigits, int minExponentDigits) {
  std::string out = negative && !decimal.IsZero() ? "-" : "";
  out.push_back(decimal.IsZero() ? '0' : decimal.DigitAt(0));
  if (mantissaDigits > 1) {
    out.push_back('.');
    for (int i = 1; i < mantissaDigits; ++i)
      out.push_back(decimal.DigitAt(i));
  }
  AppendExponent(out, decimal.IsZero() ? 0 : decimal.Exponent - 1, true, minExponentDigits);
  return out;
}

// Shortest form: no trailing zeros, a point only when a fraction remains.
std::string GeneralText(bool negative, const TDecimal &decimal, int precision, int minExponentDigits) {
  if (decimal.IsZero())
    return "0";
  std::string out = negative ? "-" : "";
  const int count = static_cast<int>(decimal.Digits.size());
  // Fixed from 0.00001 up to the largest value whose integer digits fit the precision.
  if (decimal.Exponent <= precision && decimal.Exponent >= -4) {
    if (decimal.Exponent <= 0)
      out.push_back('0');
    for (int i = 0; i < decimal.Exponent; ++i)
      out.push_back(decimal.DigitAt(i));
    if (count > decimal.Exponent) {
      out.push_back('.');
      // Positions before the first significant digit read as zeros.
      for (int i = decimal.Exponent; i < count; ++i)
        out.push_back(decimal.DigitAt(i));
    }
    return out;
  }
  out.push_back(decimal.Digits[0]);
  if (count > 1) {
    out.push_back('.');
    out.append(decimal.Digits, 1);
  }
  AppendExponent(out, decimal.Exponent - 1, false, minExponentDigits);
  return out;
}

const char *NonFiniteText(double value) {
  if (std::isnan(value))
    return "NAN";
  return value > 0 ? "INF" : "-INF";
}

} // namespace

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
  if (!std::isfinite(value))
    return NonFiniteText(value);
  precision = std::clamp(precision, 1, MaxPrecision);
  const bool negative = std::signbit(value);
  TDecimal decimal = ExactDecimal(std::fabs(value));
  switch (format) {
  case ffExponent:
    RoundDigits(decimal, precision);
    return ExponentText(negative, decimal, precision, std::clamp(digits, 0, MaxExponentDigits));
  case ffFixed:
  case ffNumber:
  case ffCurrency: {
    digits = std::clamp(digits, 0, MaxFixedDigits);
    RoundDigits(decimal, std::min(precision, decimal.Exponent + digits));
    // An integer part longer than the precision cannot be shown in fixed form.
    if (decimal.Exponent > precision)
      return ExponentText(negative, decimal, precision, 3);
    return FixedText(negative, decimal, digits, format != ffFixed);
  }
  case ffGeneral: break;
  }
  RoundDigits(decimal, precision);
  return GeneralText(negative, decimal, precision, std::clamp(digits, 0, MaxExponentDigits));
}

std::string FloatToStrFixed(double value, int decimals) {
  if (!std::isfinite(value))
    return NonFiniteText(value);
  decimals = std::clamp(decimals, 0, MaxFixedDecimals);
  TDecimal decimal = ExactDecimal(std::fabs(value));
  RoundDigits(decimal, decimal.Exponent + decimals);
  return FixedText(std::signbit(value), decimal, decimals, false);
}

} // namespace Platform
