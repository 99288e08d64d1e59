// BMP files for TBitmap: every bit depth (1, 2, 4, 8, 16, 24, 32), RLE4 and RLE8, bit fields,
// top-down rows, and the core (12-byte), info (40-byte) and later (52 to 124-byte) headers.
// Sizes are checked against what the file holds before any pixel memory is taken, so a header
// claiming a huge image in a small file is refused rather than trusted.

#include <platform/pictures/Bitmap.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <platform/rtl/AtomicFile.h>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Rtl.h>
#include <sys/stat.h>

namespace Platform {

namespace {

constexpr std::uint32_t WhitePixel = 0x00FFFFFF;
constexpr int FileHeaderSize = 14, CoreHeaderSize = 12, InfoHeaderSize = 40;
constexpr std::uint32_t CompressRgb = 0, CompressRle8 = 1, CompressRle4 = 2, CompressBitFields = 3, CompressJpeg = 4,
                        CompressPng = 5, CompressAlphaBitFields = 6;
// A file larger than this cannot be an image we would hold (MaxPixels at 32 bits plus headers).
constexpr std::uint64_t MaxFileBytes = std::uint64_t{4} * TBitmap::MaxPixels + (1u << 20);
// An RLE delta skips at most 255 x 255 pixels with 4 bytes, so RLE data of n bytes can account for
// no more than about n * 16257 pixels (an end-of-bitmap mark ends the data early, not the image).
constexpr std::uint64_t RleMaxPixelsPerByte = 255 * 255 / 4 + 1;

[[noreturn]] void Fail(const std::string &message) { throw EInvalidGraphic("BMP: " + message); }

std::vector<std::uint8_t> ReadWholeFile(const std::string &fileName) {
  std::FILE *file = std::fopen(fileName.c_str(), "rb");
  if (!file)
    Fail("cannot open '" + fileName + "': " + std::strerror(errno));
  struct stat info {};
  if (::fstat(::fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
    std::fclose(file);
    Fail("'" + fileName + "' is not a regular file");
  }
  const auto size = static_cast<std::uint64_t>(info.st_size);
  if (size > MaxFileBytes) {
    std::fclose(file);
    Fail("'" + fileName + "' is too large (" + IntToStr(static_cast<std::int64_t>(size)) + " bytes)");
  }
  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc &) {
    std::fclose(file);
    throw EOutOfMemory("BMP: no memory to read '" + fileName + "'");
  }
  const std::size_t read = std::fread(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  bytes.resize(read);
  return bytes;
}

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
  std::uint32_t HeaderSize = 0, DataOffset = 0, ColorsUsed = 0;
  std::uint32_t Masks[3] = {};
};

THeader ReadHeader(const TReader &in) {
  if (in.Size < FileHeaderSize + 4 || in.U16(0) != 0x4D42)
    Fail(in.Size == 0 ? "file is empty" : "not a BMP file (bad signature)");
  THeader header;
  header.DataOffset = in.U32(10);
  header.HeaderSize = in.U32(14);
  const std::size_t h = FileHeaderSize;
  if (in.Size < FileHeaderSize + std::uint64_t{header.HeaderSize})
    Fail("file truncated in the header");
  if (header.HeaderSize == CoreHeaderSize) {
    header.Width = static_cast<int>(in.U16(h + 4));
    header.Height = static_cast<int>(in.U16(h + 6));
    if (in.U16(h + 8) != 1)
      Fail("bad plane count " + IntToStr(in.U16(h + 8)));
    header.BitCount = static_cast<int>(in.U16(h + 10));
  } else if (header.HeaderSize >= 16 && header.HeaderSize <= 124) {
    const auto width = static_cast<std::int32_t>(in.U32(h + 4)), height = static_cast<std::int32_t>(in.U32(h + 8));
    if (height == INT32_MIN)
      Fail("bad height " + IntToStr(height));
    header.Width = width;
    header.Height = height < 0 ? -height : height;
    header.TopDown = height < 0;
    if (in.U16(h + 12) != 1)
      Fail("bad plane count " + IntToStr(in.U16(h + 12)));
    header.BitCount = static_cast<int>(in.U16(h + 14));
    if (header.HeaderSize >= 20)
      header.Compression = in.U32(h + 16);
    if (header.HeaderSize >= 36)
      header.ColorsUsed = in.U32(h + 32);
  } else {
    Fail("unsupported header size " + IntToStr(static_cast<std::int64_t>(header.HeaderSize)));
  }
  if (header.Width <= 0 || header.Height <= 0)
    Fail("bad size " + IntToStr(header.Width) + " x " + IntToStr(header.Height));
  if (std::int64_t{header.Width} * header.Height > TBitmap::MaxPixels)
    Fail("image of " + IntToStr(header.Width) + " x " + IntToStr(header.Height) + " pixels is too large");
  return header;
}

void ReadMasks(const TReader &in, THeader &header) {
  const std::size_t at = FileHeaderSize + (header.HeaderSize >= 52 ? InfoHeaderSize : header.HeaderSize);
  if (header.Compression == CompressBitFields || header.Compression == CompressAlphaBitFields) {
    if (header.BitCount != 16 && header.BitCount != 32)
      Fail("bit fields with " + IntToStr(header.BitCount) + " bits per pixel");
    if (in.Size < at + 12)
      Fail("file truncated in the bit fields");
    for (int i = 0; i < 3; ++i)
      header.Masks[i] = in.U32(at + 4 * static_cast<std::size_t>(i));
  } else if (header.BitCount == 16) {
    header.Masks[0] = 0x7C00, header.Masks[1] = 0x03E0, header.Masks[2] = 0x001F;
  } else {
    header.Masks[0] = 0xFF0000, header.Masks[1] = 0x00FF00, header.Masks[2] = 0x0000FF;
  }
}

// The palette as pixels; entries the file does not hold are black, so a bad index is harmless.
std::vector<std::uint32_t> ReadPalette(const TReader &in, const THeader &header) {
  std::vector<std::uint32_t> palette(256, 0);
  if (header.BitCount > 8)
    return palette;
  const bool core = header.HeaderSize == CoreHeaderSize;
  std::size_t at = FileHeaderSize + header.HeaderSize;
  if (header.HeaderSize == InfoHeaderSize &&
      (header.Compression == CompressBitFields || header.Compression == CompressAlphaBitFields))
    at += header.Compression == CompressBitFields ? 12 : 16;
  const std::size_t entrySize = core ? 3 : 4;
  std::size_t count = header.ColorsUsed == 0 ? std::size_t{1} << header.BitCount : header.ColorsUsed;
  if (count > 256)
    Fail("bad palette size " + IntToStr(static_cast<std::int64_t>(header.ColorsUsed)));
  const std::size_t end = std::min<std::size_t>(header.DataOffset, in.Size);
  count = std::min(count, end > at ? (end - at) / entrySize : 0);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t e = at + i * entrySize;
    palette[i] = in.U8(e + 2) << 16 | in.U8(e + 1) << 8 | in.U8(e);
  }
  return palette;
}

class TPixelSink {
public:
  TPixelSink(std::vector<std::uint32_t> &pixels, const THeader &header) : FPixels(pixels), FHeader(header) {}
  // Row counted from the first row stored in the file.
  std::uint32_t *Row(int fileRow) const {
    const int y = FHeader.TopDown ? fileRow : FHeader.Height - 1 - fileRow;
    return FPixels.data() + static_cast<std::ptrdiff_t>(y) * FHeader.Width;
  }

private:
  std::vector<std::uint32_t> &FPixels;
  const THeader &FHeader;
};

void DecodeRows(const TReader &in, const THeader &header, const std::vector<std::uint32_t> &palette,
                const TPixelSink &sink) {
  const std::size_t stride = ((static_cast<std::size_t>(header.Width) * header.BitCount + 31) / 32) * 4;
  const TChannel red(header.Masks[0]), green(header.Masks[1]), blue(header.Masks[2]);
  const int bits = header.BitCount;
  for (int row = 0; row < header.Height; ++row) {
    const std::uint8_t *source = in.Data + header.DataOffset + static_cast<std::size_t>(row) * stride;
    std::uint32_t *target = sink.Row(row);
    for (int x = 0; x < header.Width; ++x) {
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

// RLE data: runs, absolute runs, end-of-line, delta and end-of-bitmap. Runs past the row's end are
// clipped, data ending early leaves the rest white, and rows past the last end the decoding.
void DecodeRle(const TReader &in, const THeader &header, const std::vector<std::uint32_t> &palette,
               const TPixelSink &sink) {
  const bool four = header.Compression == CompressRle4;
  std::size_t at = header.DataOffset;
  const std::size_t end = in.Size;
  int x = 0, row = 0;
  auto put = [&](unsigned index) {
    // x stops at the width, so no run of commands can overflow it.
    if (x < header.Width) {
      if (row < header.Height)
        sink.Row(row)[x] = palette[index & 0xFF];
      ++x;
    }
  };
  while (at + 1 < end && row < header.Height) {
    const unsigned count = in.Data[at], value = in.Data[at + 1];
    at += 2;
    if (count > 0) {
      for (unsigned i = 0; i < count && x < header.Width; ++i)
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
      x = std::min(x + in.Data[at], header.Width), row += in.Data[at + 1];
      at += 2;
    } else {
      const std::size_t bytes = four ? (value + 1) / 2 : value;
      for (unsigned i = 0; i < value && at + (four ? i / 2 : i) < end; ++i) {
        const unsigned byte = in.Data[at + (four ? i / 2 : i)];
        put(four ? (i % 2 == 0 ? byte >> 4 : byte & 0xF) : byte);
      }
      at += (bytes + 1) & ~std::size_t{1};
    }
  }
}

void CheckDataSize(const TReader &in, const THeader &header) {
  if (header.DataOffset >= in.Size)
    Fail("pixel data offset " + IntToStr(static_cast<std::int64_t>(header.DataOffset)) +
         " is past the end of the file");
  const std::uint64_t available = in.Size - header.DataOffset;
  const std::uint64_t pixels = std::uint64_t(header.Width) * std::uint64_t(header.Height);
  if (header.Compression == CompressRle4 || header.Compression == CompressRle8) {
    if (header.TopDown)
      Fail("RLE images cannot be stored top-down");
    if ((header.Compression == CompressRle8 ? 8 : 4) != header.BitCount)
      Fail("RLE compression with " + IntToStr(header.BitCount) + " bits per pixel");
    if (pixels > available * RleMaxPixelsPerByte)
      Fail("file truncated: " + IntToStr(static_cast<std::int64_t>(available)) + " bytes of RLE data cannot fill " +
           IntToStr(header.Width) + " x " + IntToStr(header.Height) + " pixels");
    return;
  }
  const std::uint64_t stride = ((std::uint64_t(header.Width) * header.BitCount + 31) / 32) * 4;
  if (stride * std::uint64_t(header.Height) > available)
    Fail("file truncated: " + IntToStr(header.Width) + " x " + IntToStr(header.Height) + " pixels need " +
         IntToStr(static_cast<std::int64_t>(stride * header.Height)) + " bytes, only " +
         IntToStr(static_cast<std::int64_t>(available)) + " are there");
}

void CheckFormat(const THeader &header) {
  switch (header.Compression) {
  case CompressJpeg:
  case CompressPng: Fail("embedded JPEG or PNG data is not readable by this build");
  case CompressRgb:
  case CompressRle8:
  case CompressRle4:
  case CompressBitFields:
  case CompressAlphaBitFields: break;
  default: Fail("unknown compression " + IntToStr(static_cast<std::int64_t>(header.Compression)));
  }
  static constexpr int validBits[] = {1, 2, 4, 8, 16, 24, 32};
  if (std::find(std::begin(validBits), std::end(validBits), header.BitCount) == std::end(validBits))
    Fail("bad bit count " + IntToStr(header.BitCount));
  if (header.HeaderSize == CoreHeaderSize && header.BitCount > 24)
    Fail("bad bit count " + IntToStr(header.BitCount) + " for a core header");
}

void PutU16(std::uint8_t *at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(std::uint8_t *at, std::uint32_t value) {
  PutU16(at, value);
  PutU16(at + 2, value >> 16);
}

} // namespace

void TBitmap::LoadFromBmpFile(const std::string &fileName) {
  CheckFileName(fileName);
  LoadFromBmpData(ReadWholeFile(fileName));
}

void TBitmap::LoadFromBmpData(std::span<const std::uint8_t> bytes) {
  const TReader in{bytes.data(), bytes.size()};
  THeader header = ReadHeader(in);
  CheckFormat(header);
  ReadMasks(in, header);
  CheckDataSize(in, header);
  const std::vector<std::uint32_t> palette = ReadPalette(in, header);
  std::vector<std::uint32_t> pixels;
  try {
    pixels.assign(static_cast<std::size_t>(header.Width) * static_cast<std::size_t>(header.Height), WhitePixel);
  } catch (const std::bad_alloc &) {
    throw EOutOfMemory("BMP: no memory for " + IntToStr(header.Width) + " x " + IntToStr(header.Height) + " pixels");
  }
  const TPixelSink sink(pixels, header);
  if (header.Compression == CompressRle4 || header.Compression == CompressRle8)
    DecodeRle(in, header, palette, sink);
  else
    DecodeRows(in, header, palette, sink);
  FPixels = std::move(pixels);
  FSurface = {FPixels.data(), header.Width, header.Height, static_cast<std::ptrdiff_t>(header.Width)};
  FDevice.SetSurface(FSurface);
}

void TBitmap::SaveToBmpFile(const std::string &fileName, int bitsPerPixel) const {
  CheckFileName(fileName);
  if (bitsPerPixel != 24 && bitsPerPixel != 32)
    throw EInvalidGraphic("BMP: cannot save with " + IntToStr(bitsPerPixel) + " bits per pixel (24 or 32)");
  const int width = Width(), height = Height();
  if (width <= 0 || height <= 0)
    throw EInvalidGraphic("BMP: cannot save an empty bitmap (" + IntToStr(width) + " x " + IntToStr(height) +
                          " pixels)");
  const std::size_t bytesPerPixel = static_cast<std::size_t>(bitsPerPixel) / 8;
  const std::size_t stride = (static_cast<std::size_t>(width) * bytesPerPixel + 3) & ~std::size_t{3};
  const std::uint64_t dataSize = std::uint64_t{stride} * static_cast<std::uint64_t>(height);
  if (dataSize + FileHeaderSize + InfoHeaderSize > UINT32_MAX)
    throw EInvalidGraphic("BMP: bitmap of " + IntToStr(width) + " x " + IntToStr(height) + " pixels is too large");
  std::uint8_t header[FileHeaderSize + InfoHeaderSize] = {};
  header[0] = 'B', header[1] = 'M';
  PutU32(header + 2, static_cast<std::uint32_t>(dataSize + sizeof header));
  PutU32(header + 10, sizeof header);
  PutU32(header + 14, InfoHeaderSize);
  PutU32(header + 18, static_cast<std::uint32_t>(width));
  PutU32(header + 22, static_cast<std::uint32_t>(height));
  PutU16(header + 26, 1);
  PutU16(header + 28, static_cast<std::uint32_t>(bitsPerPixel));
  PutU32(header + 34, static_cast<std::uint32_t>(dataSize));
  PutU32(header + 38, 3780); // 96 pixels per inch
  PutU32(header + 42, 3780);
  TAtomicFile target(fileName);
  bool written = std::fwrite(header, 1, sizeof header, target.Handle()) == sizeof header;
  std::vector<std::uint8_t> row(stride, 0);
  for (int y = height - 1; y >= 0 && written; --y) {
    const std::uint32_t *source = FSurface.Row(y);
    for (int x = 0; x < width; ++x) {
      std::uint8_t *p = row.data() + static_cast<std::size_t>(x) * bytesPerPixel;
      p[0] = static_cast<std::uint8_t>(source[x]);
      p[1] = static_cast<std::uint8_t>(source[x] >> 8);
      p[2] = static_cast<std::uint8_t>(source[x] >> 16);
    }
    written = std::fwrite(row.data(), 1, stride, target.Handle()) == stride;
  }
  if (!written)
    throw Exception("BMP: cannot write '" + fileName + "': " + std::strerror(errno));
  target.Commit();
}

} // namespace Platform
