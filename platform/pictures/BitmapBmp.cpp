// BMP files for TBitmap: every bit depth (1, 2, 4, 8, 16, 24, 32), RLE4 and RLE8, bit fields,
// top-down rows, and the core (12-byte), info (40-byte) and later (52 to 124-byte) headers.
// Sizes are checked against what the file holds before any pixel memory is taken, so a header
// claiming a huge image in a small file is refused rather than trusted.

#include <platform/pictures/Bitmap.h>
#include <platform/pictures/DibReader.h>
#include <platform/pictures/PictureFile.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <platform/rtl/AtomicFile.h>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Rtl.h>

namespace Platform {

namespace {

constexpr int FileHeaderSize = 14, InfoHeaderSize = 40;
// A file larger than this cannot be an image we would hold (MaxPixels at 32 bits plus headers).
constexpr std::uint64_t MaxFileBytes = std::uint64_t{4} * TBitmap::MaxPixels + (1u << 20);

[[noreturn]] void Fail(const std::string &message) { throw EInvalidGraphic("BMP: " + message); }

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
  const std::vector<std::uint8_t> bytes = ReadPictureFile(fileName, MaxFileBytes, "BMP");
  if (bytes.size() < FileHeaderSize + 4 || bytes[0] != 'B' || bytes[1] != 'M')
    Fail(bytes.empty() ? "file is empty" : "not a BMP file (bad signature)");
  const std::uint32_t dataOffset = bytes[10] | bytes[11] << 8 | bytes[12] << 16 | std::uint32_t{bytes[13]} << 24;
  const TDibLocation where{bytes.data(), bytes.size(), FileHeaderSize, dataOffset, dataOffset, bytes.size()};
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
