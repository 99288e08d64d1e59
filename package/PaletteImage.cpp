#include "PaletteImage.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace VelGraphPkg {

namespace {

constexpr int Side = 28;
constexpr std::size_t FileHeaderSize = 14, InfoHeaderSize = 40, PaletteSize = 256 * 4, PixelsSize = Side * Side;
constexpr std::size_t ImageSize = FileHeaderSize + InfoHeaderSize + PaletteSize + PixelsSize;

// A bevelled panel with its two rulers and a drawing: a curve and two markers. Top row first.
constexpr std::array<std::string_view, Side> Art{
    "WWWWWWWWWWWWWWWWWWWWWWWWWWWK", "W.........................DK", "W......WWWWWWWWWWWWWWWWWWWDK",
    "W......KWWWWWKWWWWWKWWWWWKDK", "W......KWWKWWKWWKWWKWWKWWKDK", "W......KWWKWWKWWKWWKWWKWWKDK",
    "W.........................DK", "W.WKKK.DDDDDDDDDDDDDDDDDDDDK", "W.WWWW.DWWWWWWWWWWWWWWWWWDDK",
    "W.WWWW.DWWWWWWWWWWWWWWWWWDDK", "W.WWKK.DWWWBBBBWWWWWWWWWWDDK", "W.WWWW.DWWWRRRBWWWWWWWWWWDDK",
    "W.WWWW.DWWBRRRBBWWWWWWWWWDDK", "W.WKKK.DWWBRRRWBWWWWWWWWWDDK", "W.WWWW.DWBBWWWWBBWWWWWWWWDDK",
    "W.WWWW.DWBWWWWWWBWWWWWWWWDDK", "W.WWKK.DBBWWWWWWBBWWWWWWBDDK", "W.WWWW.DWWWWWWWWWBWWWWWWBDDK",
    "W.WWWW.DWWWWWWWWWBBWWWWBBDDK", "W.WKKK.DWWWWWWWWWWBRRRWBWDDK", "W.WWWW.DWWWWWWWWWWBRRRBBWDDK",
    "W.WWWW.DWWWWWWWWWWWRRRBWWDDK", "W.WWKK.DWWWWWWWWWWWBBBBWWDDK", "W.WWWW.DWWWWWWWWWWWWWWWWWDDK",
    "W.WWWW.DWWWWWWWWWWWWWWWWWDDK", "W.WKKK.DDDDDDDDDDDDDDDDDDDDK", "WDDDDDDDDDDDDDDDDDDDDDDDDDDK",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKK",
};

// The system palette's layout: its ten first and ten last colours fixed, a 6 x 6 x 6 colour cube
// and a grey ramp between them.
constexpr std::array<std::uint32_t, 20> SystemColours{
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0,
    0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

constexpr std::uint32_t PaletteColour(int index) {
  if (index < 10)
    return SystemColours[static_cast<std::size_t>(index)];
  if (index >= 246)
    return SystemColours[static_cast<std::size_t>(index - 236)];
  const int i = index - 10;
  if (i < 216) {
    const auto level = [](int step) { return static_cast<std::uint32_t>(step * 51); };
    return level(i / 36) << 16 | level(i / 6 % 6) << 8 | level(i % 6);
  }
  const auto grey = static_cast<std::uint32_t>(8 + (i - 216) * 12);
  return grey << 16 | grey << 8 | grey;
}

// Palette indexes of the art's letters: black, silver face, grey shadow, red, blue, white.
constexpr std::uint8_t IndexOf(char c) {
  switch (c) {
  case 'K': return 0;
  case '.': return 7;
  case 'D': return 248;
  case 'R': return 249;
  case 'B': return 252;
  default: return 255;
  }
}

constexpr void Put32(std::array<std::uint8_t, ImageSize> &out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

constexpr std::array<std::uint8_t, ImageSize> MakeImage() {
  std::array<std::uint8_t, ImageSize> out{};
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, ImageSize);
  Put32(out, 10, FileHeaderSize + InfoHeaderSize + PaletteSize);
  constexpr std::size_t h = FileHeaderSize;
  Put32(out, h, InfoHeaderSize);
  Put32(out, h + 4, Side);
  Put32(out, h + 8, Side); // positive: rows bottom-up
  out[h + 12] = 1;         // planes
  out[h + 14] = 8;         // bits per pixel
  Put32(out, h + 20, PixelsSize);
  Put32(out, h + 24, 3780); // 96 pixels per inch
  Put32(out, h + 28, 3780);
  Put32(out, h + 32, 256); // colours used
  for (int i = 0; i < 256; ++i) {
    const std::uint32_t rgb = PaletteColour(i);
    const std::size_t at = h + InfoHeaderSize + static_cast<std::size_t>(i) * 4;
    out[at] = static_cast<std::uint8_t>(rgb);
    out[at + 1] = static_cast<std::uint8_t>(rgb >> 8);
    out[at + 2] = static_cast<std::uint8_t>(rgb >> 16);
  }
  // Rows of 28 bytes need no padding to their 4-byte boundary.
  for (std::size_t y = 0; y < Side; ++y)
    for (std::size_t x = 0; x < Side; ++x)
      out[ImageSize - PixelsSize + (Side - 1 - y) * Side + x] = IndexOf(Art[y][x]);
  return out;
}

constexpr std::array<std::uint8_t, ImageSize> Image = MakeImage();

} // namespace

std::span<const std::uint8_t> WorldGraphPaletteImage() { return Image; }

} // namespace VelGraphPkg
