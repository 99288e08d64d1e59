// Device-independent bitmaps: every bit depth (1, 2, 4, 8, 16, 24, 32), RLE4 and RLE8, bit
// fields, top-down rows, and the core (12-byte), info (40-byte) and later (52 to 124-byte)
// headers, as the BMP file format and the metafile formats embed them. Sizes are checked against
// what the buffer holds before any pixel memory is taken, so a header claiming a huge image in a
// small buffer is refused rather than trusted.

#include <platform/pictures/DibReader.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <new>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Rtl.h>
#include <string>

namespace Platform {

namespace {

constexpr std::uint32_t WhitePixel = 0x00FFFFFF;
constexpr std::uint32_t CoreHeaderSize = 12, InfoHeaderSize = 40;
constexpr std::uint32_t CompressRgb = 0, CompressRle8 = 1, CompressRle4 = 2, CompressBitFields = 3, CompressJpeg = 4,
                        CompressPng = 5, CompressAlphaBitFields = 6;
// An RLE delta skips at most 255 x 255 pixels with 4 bytes, so RLE data of n bytes can account for
// no more than about n * 16257 pixels (an end-of-bitmap mark ends the data early, not the image).
constexpr std::uint64_t RleMaxPixelsPerByte = 255 * 255 / 4 + 1;

// Little-endian reads that see bytes past the end of the data as zeros; callers check sizes.
struct TReader {
  const std::uint8_t *Data;
  std::size_t Size;
  std::uint32_t U8(std::size_t at) const { return at < Size ? Data[at] : 0; }
  std::uint32_t U16(std::size_t at) const { return U8(at) | U8(at + 1) << 8; }
  std::uint32_t U32(std::size_t at) const { return U16(at) | U16(at + 2) << 16; }
};

// One colour channel described by a bit mask, widened or narrowed to 8 bits.
struct TChannel {
  std::uint32_t Mask = 0;
  int Shift = 0;
  std::uint64_t Max = 0;
  explicit TChannel(std::uint32_t mask = 0) : Mask(mask) {
    if (mask == 0)
      return;
    Shift = std::countr_zero(mask);
    Max = mask >> Shift;
  }
  std::uint32_t Value(std::uint32_t pixel) const {
    if (Max == 0)
      return 0;
    const std::uint64_t v = (pixel & Mask) >> Shift;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>((v * 255 + Max / 2) / Max, 255));
  }
};

struct THeader {
  int Width = 0, Height = 0;
  bool TopDown = false;
  int BitCount = 0;
  std::uint32_t Compression = CompressRgb;
  std::uint32_t HeaderSize = 0, ColorsUsed = 0;
  std::uint32_t Masks[3] = {};
};

// The decoding of one bitmap: its buffer, where its parts lie, and the format named in messages.
class TDibDecoder {
public:
  TDibDecoder(const TDibLocation &where, const char *format)
      : In{where.Data, where.Size}, Where(where), Format(format) {}

  TDibImage Decode() {
    ReadHeader();
    CheckFormat();
    ReadMasks();
    CheckDataSize();
    const std::vector<std::uint32_t> palette = ReadPalette();
    TDibImage image;
    try {
      image.Pixels.assign(static_cast<std::size_t>(Header.Width) * static_cast<std::size_t>(Header.Height), WhitePixel);
    } catch (const std::bad_alloc &) {
      throw EOutOfMemory(std::string(Format) + ": no memory for " + IntToStr(Header.Width) + " x " +
                         IntToStr(Header.Height) + " pixels");
    }
    image.Width = Header.Width;
    image.Height = Header.Height;
    image.TopDown = Header.TopDown;
    if (Header.Compression == CompressRle4 || Header.Compression == CompressRle8)
      DecodeRle(palette, image);
    else
      DecodeRows(palette, image);
    return image;
  }

private:
  const TReader In;
  const TDibLocation &Where;
  const char *Format;
  THeader Header;

  [[noreturn]] void Fail(const std::string &message) const {
    throw EInvalidGraphic(std::string(Format) + ": " + message);
  }

  void ReadHeader() {
    const std::size_t h = Where.InfoAt;
    if (h > In.Size || In.Size - h < 4)
      Fail("file truncated in the header");
    Header.HeaderSize = In.U32(h);
    if (In.Size - h < Header.HeaderSize)
      Fail("file truncated in the header");
    if (Header.HeaderSize == CoreHeaderSize) {
      Header.Width = static_cast<int>(In.U16(h + 4));
      Header.Height = static_cast<int>(In.U16(h + 6));
      if (In.U16(h + 8) != 1)
        Fail("bad plane count " + IntToStr(In.U16(h + 8)));
      Header.BitCount = static_cast<int>(In.U16(h + 10));
    } else if (Header.HeaderSize >= 16 && Header.HeaderSize <= 124) {
      const auto width = static_cast<std::int32_t>(In.U32(h + 4)), height = static_cast<std::int32_t>(In.U32(h + 8));
      if (height == INT32_MIN)
        Fail("bad height " + IntToStr(height));
      Header.Width = width;
      Header.Height = height < 0 ? -height : height;
      Header.TopDown = height < 0;
      if (In.U16(h + 12) != 1)
        Fail("bad plane count " + IntToStr(In.U16(h + 12)));
      Header.BitCount = static_cast<int>(In.U16(h + 14));
      if (Header.HeaderSize >= 20)
        Header.Compression = In.U32(h + 16);
      if (Header.HeaderSize >= 36)
        Header.ColorsUsed = In.U32(h + 32);
    } else {
      Fail("unsupported header size " + IntToStr(static_cast<std::int64_t>(Header.HeaderSize)));
    }
    if (Header.Width <= 0 || Header.Height <= 0)
      Fail("bad size " + IntToStr(Header.Width) + " x " + IntToStr(Header.Height));
    if (std::int64_t{Header.Width} * Header.Height > Where.MaxPixels)
      Fail("image of " + IntToStr(Header.Width) + " x " + IntToStr(Header.Height) + " pixels is too large");
  }

  void CheckFormat() const {
    switch (Header.Compression) {
    case CompressJpeg:
    case CompressPng: Fail("embedded JPEG or PNG data is not readable by this build");
    case CompressRgb:
    case CompressRle8:
    case CompressRle4:
    case CompressBitFields:
    case CompressAlphaBitFields: break;
    default: Fail("unknown compression " + IntToStr(static_cast<std::int64_t>(Header.Compression)));
    }
    static constexpr int validBits[] = {1, 2, 4, 8, 16, 24, 32};
    if (std::find(std::begin(validBits), std::end(validBits), Header.BitCount) == std::end(validBits))
      Fail("bad bit count " + IntToStr(Header.BitCount));
    if (Header.HeaderSize == CoreHeaderSize && Header.BitCount > 24)
      Fail("bad bit count " + IntToStr(Header.BitCount) + " for a core header");
  }

  void ReadMasks() {
    const std::size_t at = Where.InfoAt + (Header.HeaderSize >= 52 ? InfoHeaderSize : Header.HeaderSize);
    if (Header.Compression == CompressBitFields || Header.Compression == CompressAlphaBitFields) {
      if (Header.BitCount != 16 && Header.BitCount != 32)
        Fail("bit fields with " + IntToStr(Header.BitCount) + " bits per pixel");
      if (In.Size < at + 12)
        Fail("file truncated in the bit fields");
      for (int i = 0; i < 3; ++i)
        Header.Masks[i] = In.U32(at + 4 * static_cast<std::size_t>(i));
    } else if (Header.BitCount == 16) {
      Header.Masks[0] = 0x7C00, Header.Masks[1] = 0x03E0, Header.Masks[2] = 0x001F;
    } else {
      Header.Masks[0] = 0xFF0000, Header.Masks[1] = 0x00FF00, Header.Masks[2] = 0x0000FF;
    }
  }

  // The palette as pixels; entries the buffer does not hold are black, so a bad index is harmless.
  std::vector<std::uint32_t> ReadPalette() const {
    std::vector<std::uint32_t> palette(256, 0);
    if (Header.BitCount > 8)
      return palette;
    const bool core = Header.HeaderSize == CoreHeaderSize;
    std::size_t at = Where.InfoAt + Header.HeaderSize;
    if (Header.HeaderSize == InfoHeaderSize &&
        (Header.Compression == CompressBitFields || Header.Compression == CompressAlphaBitFields))
      at += Header.Compression == CompressBitFields ? 12 : 16;
    const std::size_t entrySize = core ? 3 : 4;
    std::size_t count = Header.ColorsUsed == 0 ? std::size_t{1} << Header.BitCount : Header.ColorsUsed;
    if (count > 256)
      Fail("bad palette size " + IntToStr(static_cast<std::int64_t>(Header.ColorsUsed)));
    const std::size_t end = std::min<std::size_t>(Where.PaletteEnd, In.Size);
    count = std::min(count, end > at ? (end - at) / entrySize : 0);
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t e = at + i * entrySize;
      palette[i] = In.U8(e + 2) << 16 | In.U8(e + 1) << 8 | In.U8(e);
    }
    return palette;
  }

  void CheckDataSize() const {
    if (Where.BitsAt >= std::min(Where.BitsEnd, In.Size))
      Fail("pixel data offset " + IntToStr(static_cast<std::int64_t>(Where.BitsAt)) + " is past the end of the file");
    const std::uint64_t available = std::min(Where.BitsEnd, In.Size) - Where.BitsAt;
    const std::uint64_t pixels = std::uint64_t(Header.Width) * std::uint64_t(Header.Height);
    if (Header.Compression == CompressRle4 || Header.Compression == CompressRle8) {
      if (Header.TopDown)
        Fail("RLE images cannot be stored top-down");
      if ((Header.Compression == CompressRle8 ? 8 : 4) != Header.BitCount)
        Fail("RLE compression with " + IntToStr(Header.BitCount) + " bits per pixel");
      if (pixels > available * RleMaxPixelsPerByte)
        Fail("file truncated: " + IntToStr(static_cast<std::int64_t>(available)) + " bytes of RLE data cannot fill " +
             IntToStr(Header.Width) + " x " + IntToStr(Header.Height) + " pixels");
      return;
    }
    const std::uint64_t stride = ((std::uint64_t(Header.Width) * Header.BitCount + 31) / 32) * 4;
    if (stride * std::uint64_t(Header.Height) > available)
      Fail("file truncated: " + IntToStr(Header.Width) + " x " + IntToStr(Header.Height) + " pixels need " +
           IntToStr(static_cast<std::int64_t>(stride * Header.Height)) + " bytes, only " +
           IntToStr(static_cast<std::int64_t>(available)) + " are there");
  }

  // Row counted from the first row stored in the data.
  std::uint32_t *Row(TDibImage &image, int fileRow) const {
    const int y = Header.TopDown ? fileRow : Header.Height - 1 - fileRow;
    return image.Pixels.data() + static_cast<std::ptrdiff_t>(y) * Header.Width;
  }

  void DecodeRows(const std::vector<std::uint32_t> &palette, TDibImage &image) const {
    const std::size_t stride = ((static_cast<std::size_t>(Header.Width) * Header.BitCount + 31) / 32) * 4;
    const TChannel red(Header.Masks[0]), green(Header.Masks[1]), blue(Header.Masks[2]);
    const int bits = Header.BitCount;
    for (int row = 0; row < Header.Height; ++row) {
      const std::uint8_t *source = In.Data + Where.BitsAt + static_cast<std::size_t>(row) * stride;
      std::uint32_t *target = Row(image, row);
      for (int x = 0; x < Header.Width; ++x) {
        if (bits <= 8) {
          const std::size_t bit = static_cast<std::size_t>(x) * bits;
          const unsigned index = (source[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
          target[x] = palette[index];
        } else if (bits == 24) {
          const std::uint8_t *p = source + 3 * static_cast<std::size_t>(x);
          target[x] = std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
        } else {
          const std::uint8_t *p = source + static_cast<std::size_t>(x) * (bits / 8);
          const std::uint32_t value =
              bits == 16 ? (p[0] | p[1] << 8) : (p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24);
          target[x] = red.Value(value) << 16 | green.Value(value) << 8 | blue.Value(value);
        }
      }
    }
  }

  // RLE data: runs, absolute runs, end-of-line, delta and end-of-bitmap. Runs past the row's end
  // are clipped, data ending early leaves the rest white, and rows past the last end the decoding.
  void DecodeRle(const std::vector<std::uint32_t> &palette, TDibImage &image) const {
    const bool four = Header.Compression == CompressRle4;
    std::size_t at = Where.BitsAt;
    const std::size_t end = std::min(Where.BitsEnd, In.Size);
    int x = 0, row = 0;
    auto put = [&](unsigned index) {
      // x stops at the width, so no run of commands can overflow it.
      if (x < Header.Width) {
        if (row < Header.Height)
          Row(image, row)[x] = palette[index & 0xFF];
        ++x;
      }
    };
    while (at + 1 < end && row < Header.Height) {
      const unsigned count = In.Data[at], value = In.Data[at + 1];
      at += 2;
      if (count > 0) {
        for (unsigned i = 0; i < count && x < Header.Width; ++i)
          put(four ? (i % 2 == 0 ? value >> 4 : value & 0xF) : value);
        continue;
      }
      if (value == 0) {
        x = 0, ++row;
      } else if (value == 1) {
        break;
      } else if (value == 2) {
        if (at + 1 >= end)
          break;
        x = std::min(x + In.Data[at], Header.Width), row += In.Data[at + 1];
        at += 2;
      } else {
        const std::size_t bytes = four ? (value + 1) / 2 : value;
        for (unsigned i = 0; i < value && at + (four ? i / 2 : i) < end; ++i) {
          const unsigned byte = In.Data[at + (four ? i / 2 : i)];
          put(four ? (i % 2 == 0 ? byte >> 4 : byte & 0xF) : byte);
        }
        at += (bytes + 1) & ~std::size_t{1};
      }
    }
  }
};

} // namespace

TDibImage ReadDib(const TDibLocation &where, const char *format) { return TDibDecoder(where, format).Decode(); }

std::size_t DibInfoSize(const std::uint8_t *data, std::size_t size, std::size_t at) {
  const TReader in{data, size};
  if (at > size || size - at < 16)
    return 0;
  const std::uint32_t headerSize = in.U32(at);
  if (headerSize == CoreHeaderSize) {
    const std::uint32_t bits = in.U16(at + 10);
    return CoreHeaderSize + (bits <= 8 ? 3 * (std::size_t{1} << bits) : 0);
  }
  if (headerSize < 16 || headerSize > 124 || size - at < 36)
    return 0;
  const std::uint32_t bits = in.U16(at + 14), compression = headerSize >= 20 ? in.U32(at + 16) : 0;
  const std::uint32_t used = headerSize >= 36 ? in.U32(at + 32) : 0;
  std::size_t info = headerSize;
  if (headerSize == InfoHeaderSize && (compression == CompressBitFields || compression == CompressAlphaBitFields))
    info += compression == CompressBitFields ? 12 : 16;
  if (bits <= 8)
    info += 4 * std::size_t{used == 0 || used > 256 ? 1u << std::min<std::uint32_t>(bits, 8) : used};
  else
    info += 4 * std::size_t{std::min<std::uint32_t>(used, 256)};
  return info;
}

} // namespace Platform
