#include <platform/designer/PropertyText.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <platform/rtl/Rtl.h>

namespace Platform::PropertyText {

namespace {

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

} // namespace

std::string FromInteger(long long value) { return std::to_string(value); }

long long ToInteger(std::string_view text, long long min, long long max) {
  long long value = 0;
  const char *end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty())
    throw EDesignError(Quoted(text) + " is not an integer");
  if (value < min || value > max)
    throw EDesignError(Quoted(text) + " is out of range");
  return value;
}

std::string FromDouble(double value) {
  if (std::isnan(value))
    return "NaN";
  if (std::isinf(value))
    return value > 0 ? "INF" : "-INF";
  char buffer[32];
  auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, ptr);
}

double ToDouble(std::string_view text) {
  if (SameText(text, "NaN"))
    return std::numeric_limits<double>::quiet_NaN();
  if (SameText(text, "INF"))
    return std::numeric_limits<double>::infinity();
  if (SameText(text, "-INF"))
    return -std::numeric_limits<double>::infinity();
  double value = 0;
  const char *end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty())
    throw EDesignError(Quoted(text) + " is not a number");
  return value;
}

std::string FromBoolean(bool value) { return value ? "true" : "false"; }

bool ToBoolean(std::string_view text) {
  if (SameText(text, "true"))
    return true;
  if (SameText(text, "false"))
    return false;
  throw EDesignError(Quoted(text) + " is not a boolean");
}

std::string FromString(std::string_view value) {
  std::string out;
  bool open = false;
  for (char ch : value) {
    const auto code = static_cast<unsigned char>(ch);
    if (code < 32 || code == 127) {
      if (open)
        out += '\'';
      open = false;
      out += '#' + std::to_string(code);
      continue;
    }
    if (!open)
      out += '\'';
    open = true;
    out += ch;
    if (ch == '\'')
      out += '\'';
  }
  if (open)
    out += '\'';
  return out.empty() ? "''" : out;
}

std::string ToString(std::string_view text) {
  std::string out;
  std::size_t i = 0;
  if (text.empty())
    throw EDesignError("A string value is missing");
  while (i < text.size()) {
    if (text[i] == '#') {
      std::size_t j = i + 1;
      while (j < text.size() && text[j] >= '0' && text[j] <= '9')
        ++j;
      out += static_cast<char>(ToInteger(text.substr(i + 1, j - i - 1), 0, 255));
      i = j;
    } else if (text[i] == '\'') {
      for (++i;; ++i) {
        if (i >= text.size())
          throw EDesignError("Unterminated string " + std::string(text));
        if (text[i] != '\'') {
          out += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '\'') {
          out += '\'';
          ++i;
        } else {
          ++i;
          break;
        }
      }
    } else {
      throw EDesignError(Quoted(text) + " is not a string");
    }
  }
  return out;
}

int ToEnum(std::string_view text, std::span<const char *const> names) {
  for (std::size_t i = 0; i < names.size(); ++i)
    if (SameText(text, names[i]))
      return static_cast<int>(i);
  throw EDesignError(Quoted(text) + " is not a valid value");
}

std::string FromSet(std::uint32_t bits, std::span<const char *const> names) {
  std::string text = "[";
  for (std::size_t i = 0; i < names.size() && i < 32; ++i)
    if (bits & (std::uint32_t{1} << i))
      text += (text.size() > 1 ? ", " : "") + std::string(names[i]);
  return text + "]";
}

std::uint32_t ToSet(std::string_view text, std::span<const char *const> names) {
  if (text.size() < 2 || text.front() != '[' || text.back() != ']')
    throw EDesignError(Quoted(text) + " is not a set");
  const std::string_view items = text.substr(1, text.size() - 2);
  if (Trim(items).empty())
    return 0;
  std::uint32_t bits = 0;
  for (std::size_t start = 0;;) {
    const std::size_t comma = items.find(',', start);
    const std::string_view item = items.substr(start, comma == std::string_view::npos ? comma : comma - start);
    bits |= std::uint32_t{1} << ToEnum(Trim(item), names);
    if (comma == std::string_view::npos)
      return bits;
    start = comma + 1;
  }
}

std::string ToIdentifier(std::string_view text) {
  const bool valid = !text.empty() && !std::isdigit(static_cast<unsigned char>(text.front())) &&
                     std::all_of(text.begin(), text.end(),
                                 [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
  if (!valid)
    throw EDesignError(Quoted(text) + " is not a method name");
  return std::string(text);
}

} // namespace Platform::PropertyText
