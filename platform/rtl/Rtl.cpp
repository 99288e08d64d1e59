#include <platform/rtl/Rtl.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <platform/rtl/Exceptions.h>
#include <sys/stat.h>

namespace Platform {

namespace {

// 2^63 is exact in a double; anything at or beyond it does not fit.
constexpr double Int64Limit = 9223372036854775808.0;

std::int64_t Saturated(double integral) {
  if (std::isnan(integral))
    return 0;
  if (integral >= Int64Limit)
    return std::numeric_limits<std::int64_t>::max();
  if (integral < -Int64Limit)
    return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(integral);
}

} // namespace

// Rounds in the current mode, which is round-half-even unless someone changed it; the library
// never does. Below 2^52 adding and taking away 2^52 (with the value's sign) rounds exactly as
// nearbyint does, in the same mode, without its call into the maths library: world-to-pixel
// conversions do this twice per point. At and above 2^52 every double is already whole.
std::int64_t Round(double value) {
  constexpr double Whole = 4503599627370496.0; // 2^52
  if (std::fabs(value) < Whole) {
    const double shift = std::copysign(Whole, value);
    return static_cast<std::int64_t>((value + shift) - shift);
  }
  return Saturated(value);
}

std::int64_t Trunc(double value) { return Saturated(std::trunc(value)); }

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

bool SameText(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

bool FileExists(const std::string &fileName) {
  struct stat info {};
  return !fileName.empty() && fileName.find('\0') == std::string::npos && ::stat(fileName.c_str(), &info) == 0 &&
         S_ISREG(info.st_mode);
}

void CheckFileName(const std::string &fileName) {
  if (fileName.empty())
    throw Exception("Invalid file name: the name is empty");
  if (fileName.find('\0') != std::string::npos)
    throw Exception("Invalid file name '" + std::string(fileName.c_str()) + "...': it holds a NUL byte");
}

} // namespace Platform
