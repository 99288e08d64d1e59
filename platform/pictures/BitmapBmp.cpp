// BMP files for TBitmap: every bit depth (1, 2, 4, 8, 16, 24, 32), RLE4 and RLE8, bit fields,
// top-down rows, and the core (12-byte), info (40-byte) and later (52 to 124-byte) headers.
// Sizes are checked against what the file holds before any pixel memory is taken, so a header
// claiming a huge image in a small file is refused rather than trusted; and only the bytes the
// header calls for are read, so a small image at the start of a huge file costs no more memory.

#include <platform/pictures/Bitmap.h>
#include <platform/pictures/DibReader.h>
#include <platform/pictures/PictureFile.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <platform/rtl/AtomicFile.h>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Rtl.h>

namespace Platform {

namespace {

constexpr int FileHeaderSize = 14, InfoHeaderSize = 40;
// The headers, bit fields and palette lie in the first 14 + 124 + 16 + 1024 bytes of a file.
constexpr std::size_t HeadBytes = 2048;

// Bytes read from a file: left unfilled until read into.
using TFileBytes = std::vector<std::uint8_t, TNoInitAllocator<std::uint8_t>>;

[[noreturn]] void Fail(const std::string &message) { throw EInvalidGraphic("BMP: " + message); }

TFileBytes Read(const TPictureFile &file, const std::string &fileName, std::uint64_t offset, std::size_t count) {
  TFileBytes bytes;
  try {
    bytes.resize(count);
  } catch (const std::bad_alloc &) {
    throw EOutOfMemory("BMP: no memory to read '" + fileName + "'");
  }
  file.ReadAt(offset, bytes.data(), count);
  return bytes;
}

// Where the pixel data of the BMP file starting with these bytes begins; raises for a file that is no BMP.
std::uint32_t PixelDataOffset(const std::uint8_t *head, std::size_t size) {
  if (size < FileHeaderSize + 4 || head[0] != 'B' || head[1] != 'M')
    Fail(size == 0 ? "file is empty" : "not a BMP file (bad signature)");
  return head[10] | head[11] << 8 | head[12] << 16 | std::uint32_t{head[13]} << 24;
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
  const TPictureFile file(fileName, "BMP");
  const TFileBytes head =
      Read(file, fileName, 0, static_cast<std::size_t>(std::min<std::uint64_t>(file.Size(), HeadBytes)));
  const std::uint32_t dataOffset = PixelDataOffset(head.data(), head.size());
  TDibLocation where{head.data(), head.size(), FileHeaderSize, dataOffset, dataOffset, file.Size()};
  where.MaxPixels = MaxPixels;
  // The pixel data in a buffer of its own: what the header calls for, as far as the file holds it.
  const std::uint64_t left = file.Size() > dataOffset ? file.Size() - dataOffset : 0;
  const TFileBytes bits =
      Read(file, fileName, dataOffset, static_cast<std::size_t>(std::min(left, DibBitsBound(where, "BMP"))));
  where.Bits = bits.data();
  where.BitsEnd = dataOffset + bits.size();
  TDibImage image = ReadDib(where, "BMP");
  FPixels = std::move(image.Pixels);
  FSurface = {FPixels.data(), image.Width, image.Height, static_cast<std::ptrdiff_t>(image.Width)};
  FDevice.SetSurface(FSurface);
}

void TBitmap::LoadFromBmpData(std::span<const std::uint8_t> bytes) {
  const std::uint32_t dataOffset = PixelDataOffset(bytes.data(), bytes.size());
  TDibLocation where{bytes.data(), bytes.size(), FileHeaderSize, dataOffset, dataOffset, bytes.size()};
  where.MaxPixels = MaxPixels;
  TDibImage image = ReadDib(where, "BMP");
  FPixels = std::move(image.Pixels);
  FSurface = {FPixels.data(), image.Width, image.Height, static_cast<std::ptrdiff_t>(image.Width)};
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
