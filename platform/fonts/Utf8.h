#pragma once

#include <cstddef>
#include <string_view>

namespace Platform::Fonts {

// Text is UTF-8. A byte that does not begin a well-formed sequence (a stray continuation byte, a
// truncated or overlong sequence, a surrogate, a value past U+10FFFF) stands for itself as a
// Latin-1 character, so Latin-1 text written byte by byte also comes out right.
char32_t DecodeMultiByte(std::string_view text, std::size_t &pos);

// The character at pos; pos moves past it. pos < text.size().
inline char32_t NextCodePoint(std::string_view text, std::size_t &pos) {
  const auto byte = static_cast<unsigned char>(text[pos]);
  if (byte < 0x80) {
    ++pos;
    return byte;
  }
  return DecodeMultiByte(text, pos);
}

} // namespace Platform::Fonts
