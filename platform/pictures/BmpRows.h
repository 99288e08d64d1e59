#pragma once

#include <cstdint>
#include <vector>

namespace Platform {

// Turns rows of uncompressed BMP pixel data (1, 2, 4, 8, 16, 24 or 32 bits per pixel, palette
// indexes or bit fields) into 0x00RRGGBB pixels. The depth and the masks are settled once, so a
// row is converted by one tight loop with no decision per pixel.
class TBmpRowConverter {
public:
  // masks: red, green and blue, used at 16 and 32 bits; palette: 256 entries, used up to 8 bits.
  TBmpRowConverter(int bitCount, const std::uint32_t (&masks)[3], const std::vector<std::uint32_t> &palette);

  // Converts width pixels, reading no byte past the row's pixel data.
  void Convert(const std::uint8_t *source, std::uint32_t *target, int width) const;

private:
  // One colour channel described by a bit mask, widened or narrowed to 8 bits; masks up to 16 bits
  // wide are looked up in a table of their values.
  struct TChannel {
    std::uint32_t Mask = 0;
    int Shift = 0;
    std::uint64_t Max = 0;
    std::vector<std::uint8_t> Table;
    explicit TChannel(std::uint32_t mask);
    std::uint32_t Scale(std::uint64_t value) const;
    std::uint32_t Value(std::uint32_t pixel) const {
      const std::uint32_t v = (pixel & Mask) >> Shift;
      return Table.empty() ? Scale(v) : Table[v];
    }
  };

  void ConvertIndexes(const std::uint8_t *source, std::uint32_t *target, int width) const;
  template <int Bytes> void ConvertFields(const std::uint8_t *source, std::uint32_t *target, int width) const;

  int FBitCount;
  bool FPlainRgb; // 24 bits, or 32 with the 8-bit masks of 0x00RRGGBB
  const std::vector<std::uint32_t> &FPalette;
  TChannel FRed, FGreen, FBlue;
};

} // namespace Platform
