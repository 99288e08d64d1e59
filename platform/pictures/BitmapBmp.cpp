// BMP files for TBitmap: every bit depth (1, 2, 4, 8, 16, 24, 32), RLE4 and RLE8, bit fields,
// top-down rows, and the core (12-byte), info (40-byte) and later (52 to 124-byte) headers.
// Sizes are checked against what the file holds before any pixel memory is taken, so a header
// claiming a huge image in a small file is refused rather than trusted; and only the bytes the
// header calls for are read, so a small image at the start of a huge file costs no more memory.

#include <platform/pictures/Bitmap.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <platform/pictures/BmpRows.h>
#include <platform/rtl/AtomicFile.h>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Rtl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

constexpr std::uint32_t WhitePixel = 0x00FFFFFF;
constexpr int FileHeaderSize = 14, CoreHeaderSize = 12, InfoHeaderSize = 40;
constexpr std::uint32_t CompressRgb = 0, CompressRle8 = 1, CompressRle4 = 2, CompressBitFields = 3, CompressJpeg = 4,
                        CompressPng = 5, CompressAlphaBitFields = 6;
// The headers, bit fields and palette lie in the first 14 + 124 + 16 + 1024 bytes of a file.
constexpr std::size_t HeadBytes = 2048;
// Rows are read in bands of about this size, small enough to stay in the cache while converted.
constexpr std::size_t BandBytes = 128 * 1024;
// An RLE delta skips at most 255 x 255 pixels with 4 bytes, so RLE data of n bytes can account for
// no more than about n * 16257 pixels (an end-of-bitmap mark ends the data early, not the image).
constexpr std::uint64_t RleMaxPixelsPerByte = 255 * 255 / 4 + 1;

[[noreturn]] void Fail(const std::string &message) { throw EInvalidGraphic("BMP: " + message); }

// The file, read in the pieces a load needs: the headers, then the pixel data, never more than
// the header calls for.
class TBmpFile {
public:
  explicit TBmpFile(const std::string &fileName) : FName(fileName), FHandle(::open(fileName.c_str(), O_RDONLY)) {
    if (FHandle < 0)
      Fail("cannot open '" + fileName + "': " + std::strerror(errno));
    struct stat info {};
    if (::fstat(FHandle, &info) != 0 || !S_ISREG(info.st_mode)) {
      ::close(FHandle);
      Fail("'" + fileName + "' is not a regular file");
    }
    FSize = static_cast<std::uint64_t>(info.st_size);
  }
  TBmpFile(const TBmpFile &) = delete;
  TBmpFile &operator=(const TBmpFile &) = delete;
  ~TBmpFile() { ::close(FHandle); }

  std::uint64_t Size() const { return FSize; }

  // count bytes from offset; raises EInvalidGraphic when the file ends before them.
  void ReadAt(std::uint64_t offset, std::uint8_t *target, std::size_t count) const {
    while (count > 0) {
      const ssize_t read = ::pread(FHandle, target, count, static_cast<off_t>(offset));
      if (read < 0 && errno == EINTR)
        continue;
      if (read <= 0)
        Fail(read < 0 ? "cannot read '" + FName + "': " + std::strerror(errno) : "file truncated while reading");
      target += read, offset += static_cast<std::uint64_t>(read), count -= static_cast<std::size_t>(read);
    }
  }

  std::vector<std::uint8_t> Read(std::uint64_t offset, std::size_t count) const {
    std::vector<std::uint8_t> bytes;
    try {
      bytes.resize(count);
    } catch (const std::bad_alloc &) {
      throw EOutOfMemory("BMP: no memory to read '" + FName + "'");
    }
    ReadAt(offset, bytes.data(), count);
    return bytes;
  }

private:
  std::string FName;
  int FHandle;
  std::uint64_t FSize = 0;
};

// Little-endian reads of the file's first bytes that see bytes past them as zeros; callers check
// sizes. FileSize is the whole file's.
struct TReader {
  const std::uint8_t *Data;
  std::size_t Size;
  std::uint64_t FileSize;
  std::uint32_t U8(std::size_t at) const { return at < Size ? Data[at] : 0; }
  std::uint32_t U16(std::size_t at) const { return U8(at) | U8(at + 1) << 8; }
  std::uint32_t U32(std::size_t at) const { return U16(at) | U16(at + 2) << 16; }
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
  TPixelSink(TPixelStore &pixels, const THeader &header) : FPixels(pixels), FHeader(header) {}
  // Row counted from the first row stored in the file.
  std::uint32_t *Row(int fileRow) const {
    const int y = FHeader.TopDown ? fileRow : FHeader.Height - 1 - fileRow;
    return FPixels.data() + static_cast<std::ptrdiff_t>(y) * FHeader.Width;
  }

private:
  TPixelStore &FPixels;
  const THeader &FHeader;
};

std::uint64_t RowStride(const THeader &header) {
  return ((std::uint64_t(header.Width) * header.BitCount + 31) / 32) * 4;
}

// Uncompressed rows, read a band at a time into a buffer that stays in the cache while its rows
// are converted.
void DecodeRows(const TBmpFile &file, const THeader &header, const std::vector<std::uint32_t> &palette,
                const TPixelSink &sink) {
  const auto stride = static_cast<std::size_t>(RowStride(header));
  const int rowsPerBand = static_cast<int>(std::clamp<std::size_t>(BandBytes / stride, 1, header.Height));
  // One byte more than the band: the converter may read a byte past a row's pixels.
  std::vector<std::uint8_t> band(static_cast<std::size_t>(rowsPerBand) * stride + 1);
  const TBmpRowConverter converter(header.BitCount, header.Masks, palette);
  for (int first = 0; first < header.Height; first += rowsPerBand) {
    const int rows = std::min(rowsPerBand, header.Height - first);
    file.ReadAt(header.DataOffset + static_cast<std::uint64_t>(first) * stride, band.data(),
                static_cast<std::size_t>(rows) * stride);
    for (int row = 0; row < rows; ++row)
      converter.Convert(band.data() + static_cast<std::size_t>(row) * stride, sink.Row(first + row), header.Width);
  }
}

// RLE data: runs, absolute runs, end-of-line, delta and end-of-bitmap. Runs past the row's end are
// clipped, data ending early leaves the rest white, and rows past the last end the decoding.
void DecodeRle(const std::vector<std::uint8_t> &data, const THeader &header, const std::vector<std::uint32_t> &palette,
               const TPixelSink &sink) {
  const TReader in{data.data(), data.size(), data.size()};
  const bool four = header.Compression == CompressRle4;
  std::size_t at = 0;
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

// The RLE data to read: the rest of the file, but no more than the most an encoder spends on the
// pixels (a run of one pixel in two bytes each, an end of line per row, the end of the bitmap).
std::size_t RleDataBytes(const TBmpFile &file, const THeader &header) {
  const std::uint64_t most = 2 * (std::uint64_t(header.Width) + 1) * std::uint64_t(header.Height) + 2;
  return static_cast<std::size_t>(std::min(file.Size() - header.DataOffset, most));
}

void CheckDataSize(const TReader &in, const THeader &header) {
  if (header.DataOffset >= in.FileSize)
    Fail("pixel data offset " + IntToStr(static_cast<std::int64_t>(header.DataOffset)) +
         " is past the end of the file");
  const std::uint64_t available = in.FileSize - header.DataOffset;
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
  const std::uint64_t stride = RowStride(header);
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
  const TBmpFile file(fileName);
  const std::vector<std::uint8_t> head =
      file.Read(0, static_cast<std::size_t>(std::min<std::uint64_t>(file.Size(), HeadBytes)));
  const TReader in{head.data(), head.size(), file.Size()};
  THeader header = ReadHeader(in);
  CheckFormat(header);
  ReadMasks(in, header);
  CheckDataSize(in, header);
  const std::vector<std::uint32_t> palette = ReadPalette(in, header);
  const bool rle = header.Compression == CompressRle4 || header.Compression == CompressRle8;
  const std::size_t count = static_cast<std::size_t>(header.Width) * static_cast<std::size_t>(header.Height);
  TPixelStore pixels;
  try {
    // Uncompressed rows set every pixel; RLE data may leave some, which stay white.
    if (rle)
      pixels.assign(count, WhitePixel);
    else
      pixels.resize(count);
  } catch (const std::bad_alloc &) {
    throw EOutOfMemory("BMP: no memory for " + IntToStr(header.Width) + " x " + IntToStr(header.Height) + " pixels");
  }
  const TPixelSink sink(pixels, header);
  if (rle)
    DecodeRle(file.Read(header.DataOffset, RleDataBytes(file, header)), header, palette, sink);
  else
    DecodeRows(file, header, palette, sink);
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
