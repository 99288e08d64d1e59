#include <platform/win32/Dib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <memory>
#include <platform/graphics/Canvas.h>
#include <platform/pictures/Bitmap.h>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/HandleTable.h>

namespace Platform {

namespace {

constexpr int TrueColourBits = 32;
// Headers from the 40-byte info header to the 124-byte fifth version share their first 40 bytes;
// the colour table follows the header, whatever its size.
constexpr DWORD LargestHeader = 124;

using TPalette = std::array<std::uint32_t, 256>;
// Converts count pixels of a DIB row from column x0 into 0x00RRGGBB.
using TRowReader = void (*)(const BYTE *row, int x0, int count, const TPalette &palette, std::uint32_t *out);

std::uint32_t Rgb(unsigned r, unsigned g, unsigned b) { return r << 16 | g << 8 | b; }

template <int Bits> void ReadIndexed(const BYTE *row, int x0, int count, const TPalette &palette, std::uint32_t *out) {
  constexpr int perByte = 8 / Bits;
  constexpr unsigned mask = (1u << Bits) - 1;
  for (int i = 0; i < count; ++i) {
    const int x = x0 + i;
    const int shift = (perByte - 1 - x % perByte) * Bits;
    out[i] = palette[(row[x / perByte] >> shift) & mask];
  }
}

// Five bits per channel, the top bit unused; each channel widened to eight bits exactly.
void Read16(const BYTE *row, int x0, int count, const TPalette &, std::uint32_t *out) {
  for (int i = 0; i < count; ++i) {
    const BYTE *p = row + 2 * (x0 + i);
    const unsigned v = p[0] | p[1] << 8;
    const unsigned r = v >> 10 & 31, g = v >> 5 & 31, b = v & 31;
    out[i] = Rgb(r << 3 | r >> 2, g << 3 | g >> 2, b << 3 | b >> 2);
  }
}

void Read24(const BYTE *row, int x0, int count, const TPalette &, std::uint32_t *out) {
  for (int i = 0; i < count; ++i) {
    const BYTE *p = row + 3 * (x0 + i);
    out[i] = Rgb(p[2], p[1], p[0]);
  }
}

// Blue, green, red and an unused byte are our pixel's bytes already: a masked copy.
void Read32(const BYTE *row, int x0, int count, const TPalette &, std::uint32_t *out) {
  std::memcpy(out, row + 4 * static_cast<std::size_t>(x0), 4 * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    out[i] &= 0x00FFFFFFu;
}

TRowReader RowReader(int bitCount) {
  switch (bitCount) {
  case 1: return ReadIndexed<1>;
  case 4: return ReadIndexed<4>;
  case 8: return ReadIndexed<8>;
  case 16: return Read16;
  case 24: return Read24;
  case 32: return Read32;
  default: return nullptr;
  }
}

// What StretchDIBits needs of a header, once checked.
struct TDibLayout {
  int Width = 0;
  int Height = 0;
  bool TopDown = false;
  std::int64_t Stride = 0;
  TRowReader Reader = nullptr;
  TPalette Palette{};

  // The image row (0 at the top) in memory.
  const BYTE *Row(const BYTE *bits, int y) const { return bits + (TopDown ? y : Height - 1 - y) * Stride; }
};

bool ReadLayout(const BITMAPINFO &info, TDibLayout &layout) {
  const BITMAPINFOHEADER &h = info.bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > LargestHeader || h.biPlanes != 1 || h.biCompression != BI_RGB)
    return false;
  layout.Reader = RowReader(h.biBitCount);
  if (!layout.Reader || h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT_MIN)
    return false;
  layout.Width = h.biWidth;
  layout.Height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  layout.TopDown = h.biHeight < 0;
  if (std::int64_t{layout.Width} * layout.Height > TBitmap::MaxPixels)
    return false;
  layout.Stride = DibRowBytes(layout.Width, h.biBitCount);
  if (h.biBitCount <= 8) {
    const DWORD full = 1u << h.biBitCount;
    const DWORD used = h.biClrUsed == 0 ? full : std::min(h.biClrUsed, full);
    const auto *table = reinterpret_cast<const BYTE *>(&info) + h.biSize;
    for (DWORD i = 0; i < used; ++i) {
      RGBQUAD quad;
      std::memcpy(&quad, table + i * sizeof(RGBQUAD), sizeof quad);
      layout.Palette[i] = Rgb(quad.rgbRed, quad.rgbGreen, quad.rgbBlue);
    }
  }
  return true;
}

int ClampToInt(std::int64_t value) { return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX)); }

} // namespace

void GetDIBSizes(HBITMAP Bitmap, DWORD &InfoHeaderSize, DWORD &ImageSize) {
  const TBitmap *bitmap = HandleTable::FindBitmap(Bitmap);
  if (!bitmap)
    throw EInvalidGraphic("GetDIBSizes: the handle names no bitmap");
  InfoHeaderSize = sizeof(BITMAPINFOHEADER);
  // At most MaxPixels * 4 bytes, which fits a DWORD.
  ImageSize = static_cast<DWORD>(DibRowBytes(bitmap->Width(), TrueColourBits) * bitmap->Height());
}

bool GetDIB(HBITMAP Bitmap, HPALETTE, void *BitmapInfo, void *Bits) {
  const TBitmap *bitmap = HandleTable::FindBitmap(Bitmap);
  if (!bitmap || !BitmapInfo)
    return false;
  const int width = bitmap->Width(), height = bitmap->Height();
  const auto rowBytes = static_cast<std::size_t>(DibRowBytes(width, TrueColourBits));
  if (!Bits && rowBytes * static_cast<std::size_t>(height) > 0)
    return false;
  BITMAPINFOHEADER header;
  header.biWidth = width;
  header.biHeight = height;
  header.biBitCount = TrueColourBits;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(rowBytes * static_cast<std::size_t>(height));
  std::memcpy(BitmapInfo, &header, sizeof header);
  // Our pixels are 0x00RRGGBB words, which in memory are the DIB's blue, green, red, unused bytes;
  // rows go bottom-up.
  const TRasterSurface &surface = bitmap->Surface();
  auto *out = static_cast<BYTE *>(Bits);
  for (int y = 0; y < height; ++y) {
    auto *row = reinterpret_cast<std::uint32_t *>(out + static_cast<std::size_t>(height - 1 - y) * rowBytes);
    const std::uint32_t *in = surface.Row(y);
    for (int x = 0; x < width; ++x)
      row[x] = in[x] & 0x00FFFFFFu;
  }
  return true;
}

int StretchDIBits(HDC dc, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc, int SrcWidth,
                  int SrcHeight, const void *Bits, const BITMAPINFO *BitsInfo, UINT Usage, DWORD Rop) {
  const HandleTable::TDCObject *context = HandleTable::FindDC(dc);
  TDibLayout layout;
  if (!context || !context->Canvas || !Bits || !BitsInfo || Usage != DIB_RGB_COLORS || Rop != SRCCOPY ||
      !ReadLayout(*BitsInfo, layout))
    return 0;
  if (SrcWidth <= 0 || SrcHeight <= 0 || XSrc < 0 || YSrc < 0 || std::int64_t{XSrc} + SrcWidth > layout.Width ||
      std::int64_t{YSrc} + SrcHeight > layout.Height || DestWidth == 0 || DestHeight == 0)
    return 0;
  // The source rectangle's top image row: bottom-up images count YSrc from their last row.
  const int top = layout.TopDown ? YSrc : layout.Height - YSrc - SrcHeight;
  const bool mirrorX = DestWidth < 0, mirrorY = DestHeight < 0;
  // Every pixel is written below, so the buffer is not cleared first.
  const auto pixels = std::make_unique_for_overwrite<std::uint32_t[]>(static_cast<std::size_t>(SrcWidth) *
                                                                      static_cast<std::size_t>(SrcHeight));
  const auto *bits = static_cast<const BYTE *>(Bits);
  for (int r = 0; r < SrcHeight; ++r) {
    std::uint32_t *out = pixels.get() + static_cast<std::size_t>(mirrorY ? SrcHeight - 1 - r : r) * SrcWidth;
    layout.Reader(layout.Row(bits, top + r), XSrc, SrcWidth, layout.Palette, out);
    if (mirrorX)
      std::reverse(out, out + SrcWidth);
  }
  const TRasterSurface image{pixels.get(), SrcWidth, SrcHeight, SrcWidth};
  context->Canvas->DrawPixels(
      {XDest, YDest, ClampToInt(std::int64_t{XDest} + DestWidth), ClampToInt(std::int64_t{YDest} + DestHeight)}, image);
  return SrcHeight;
}

} // namespace Platform
