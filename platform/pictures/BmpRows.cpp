#include <platform/pictures/BmpRows.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace Platform {

namespace {

constexpr std::uint64_t MaxTableValue = 0xFFFF;
constexpr std::uint32_t RgbMask = 0x00FFFFFFu;

// Little-endian reads of 16 and 32 bits.
std::uint32_t Load(const std::uint8_t *p, std::integral_constant<int, 2>) { return p[0] | p[1] << 8; }
std::uint32_t Load(const std::uint8_t *p, std::integral_constant<int, 4>) {
  return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24;
}

// Four bytes from p: the pixel's three and one more, which the mask drops.
std::uint32_t Load24(const std::uint8_t *p) {
  if constexpr (std::endian::native == std::endian::big)
    return p[0] | p[1] << 8 | p[2] << 16;
  std::uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v & RgbMask;
}

// The row's last pixel, whose data may end the buffer: no byte past it is read.
std::uint32_t Load24Last(const std::uint8_t *p) { return p[0] | p[1] << 8 | std::uint32_t{p[2]} << 16; }

// 24-bit pixels to 32-bit ones, four at a time where the vector unit allows. Plain stores, not
// ones past the cache: a full-HD picture fits the last-level cache, where its user reads it next.
void Convert24(const std::uint8_t *source, std::uint32_t *target, int width) {
  int x = 0;
#ifdef __SSE2__
  // Sixteen bytes hold four pixels and a bit; the last group stops while a whole load still fits
  // inside the row's pixels.
  const __m128i mask = _mm_set1_epi32(static_cast<int>(RgbMask));
  for (; x + 6 <= width; x += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(source + 3 * static_cast<std::size_t>(x)));
    const __m128i p01 = _mm_unpacklo_epi32(v, _mm_srli_si128(v, 3));
    const __m128i p23 = _mm_unpacklo_epi32(_mm_srli_si128(v, 6), _mm_srli_si128(v, 9));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(target + x), _mm_and_si128(_mm_unpacklo_epi64(p01, p23), mask));
  }
#endif
  for (; x + 1 < width; ++x)
    target[x] = Load24(source + 3 * static_cast<std::size_t>(x));
  if (x < width)
    target[x] = Load24Last(source + 3 * static_cast<std::size_t>(x));
}

} // namespace

TBmpRowConverter::TChannel::TChannel(std::uint32_t mask) : Mask(mask) {
  if (mask == 0)
    return;
  Shift = std::countr_zero(mask);
  Max = mask >> Shift;
  if (Max <= MaxTableValue) {
    Table.resize(Max + 1);
    for (std::uint64_t v = 0; v <= Max; ++v)
      Table[v] = static_cast<std::uint8_t>(Scale(v));
  }
}

std::uint32_t TBmpRowConverter::TChannel::Scale(std::uint64_t value) const {
  if (Max == 0)
    return 0;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>((value * 255 + Max / 2) / Max, 255));
}

TBmpRowConverter::TBmpRowConverter(int bitCount, const std::uint32_t (&masks)[3],
                                   const std::vector<std::uint32_t> &palette)
    : FBitCount(bitCount),
      FPlainRgb(bitCount == 24 || (bitCount == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF)),
      FPalette(palette), FRed(bitCount > 8 ? masks[0] : 0), FGreen(bitCount > 8 ? masks[1] : 0),
      FBlue(bitCount > 8 ? masks[2] : 0) {}

void TBmpRowConverter::Convert(const std::uint8_t *source, std::uint32_t *target, int width) const {
  if (FBitCount <= 8) {
    ConvertIndexes(source, target, width);
  } else if (FPlainRgb && FBitCount == 24) {
    Convert24(source, target, width);
  } else if (FPlainRgb) {
    for (int x = 0; x < width; ++x)
      target[x] = Load(source + 4 * static_cast<std::size_t>(x), std::integral_constant<int, 4>{}) & RgbMask;
  } else if (FBitCount == 16) {
    ConvertFields<2>(source, target, width);
  } else {
    ConvertFields<4>(source, target, width);
  }
}

void TBmpRowConverter::ConvertIndexes(const std::uint8_t *source, std::uint32_t *target, int width) const {
  const std::uint32_t *palette = FPalette.data();
  if (FBitCount == 8) {
    for (int x = 0; x < width; ++x)
      target[x] = palette[source[x]];
    return;
  }
  const int bits = FBitCount, perByte = 8 / bits;
  const unsigned mask = (1u << bits) - 1;
  for (int x = 0; x < width; ++x) {
    const int shift = 8 - bits * (x % perByte + 1);
    target[x] = palette[(source[x / perByte] >> shift) & mask];
  }
}

template <int Bytes>
void TBmpRowConverter::ConvertFields(const std::uint8_t *source, std::uint32_t *target, int width) const {
  for (int x = 0; x < width; ++x) {
    const std::uint32_t v = Load(source + Bytes * static_cast<std::size_t>(x), std::integral_constant<int, Bytes>{});
    target[x] = FRed.Value(v) << 16 | FGreen.Value(v) << 8 | FBlue.Value(v);
  }
}

} // namespace Platform
