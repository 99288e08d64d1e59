#include <platform/fonts/Utf8.h>

namespace Platform::Fonts {

char32_t DecodeMultiByte(std::string_view text, std::size_t &pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  int length;
  char32_t value;
  char32_t minimum;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    ++pos;
    return lead;
  }
  if (text.size() - pos < static_cast<std::size_t>(length)) {
    ++pos;
    return lead;
  }
  for (int i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(i)]);
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return lead;
    }
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++pos;
    return lead;
  }
  pos += static_cast<std::size_t>(length);
  return value;
}

} // namespace Platform::Fonts
