#include "DemoImages.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <platform/pictures/Bitmap.h>

namespace E2e {
namespace {

std::uint32_t BigEndian32(const unsigned char *p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// The value of a channel, scaled to 8 bits, from its mask.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask) {
  if (mask == 0)
    return 0;
  const int shift = __builtin_ctz(mask);
  const std::uint32_t max = mask >> shift;
  return ((pixel & mask) >> shift) * 255 / max;
}

bool Coloured(std::uint32_t p) {
  const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
  return std::max({r, g, b}) - std::min({r, g, b}) > 60;
}

} // namespace

TImage LoadPng(const std::string &fileName) {
  TImage image;
  try {
    Platform::TBitmap bitmap;
    bitmap.LoadFromPngFile(fileName);
    image.Width = bitmap.Width();
    image.Height = bitmap.Height();
    for (int y = 0; y < image.Height; ++y)
      for (int x = 0; x < image.Width; ++x)
        image.Pixels.push_back(bitmap.Surface().Row(y)[x] & 0xFFFFFF);
  } catch (const std::exception &) {
    return {};
  }
  return image;
}

// The format of X window dumps: a header of 25 big-endian 32-bit fields and the window's name,
// a colour table of 12-byte entries, then the rows of pixels.
TImage LoadXwd(const std::string &fileName) {
  std::ifstream in(fileName, std::ios::binary);
  const std::vector<unsigned char> bytes(std::istreambuf_iterator<char>(in), {});
  if (bytes.size() < 100)
    return {};
  const auto field = [&](int i) { return BigEndian32(&bytes[static_cast<std::size_t>(i) * 4]); };
  const std::uint32_t headerSize = field(0), format = field(2), width = field(4), height = field(5),
                      byteOrder = field(7), bitsPerPixel = field(11), bytesPerLine = field(12), redMask = field(14),
                      greenMask = field(15), blueMask = field(16), colours = field(19);
  const std::size_t start = headerSize + std::size_t{colours} * 12;
  if (format != 2 || (bitsPerPixel != 32 && bitsPerPixel != 24) || width > 16384 || height > 16384 ||
      bytes.size() < start + std::size_t{bytesPerLine} * height || bytesPerLine < width * (bitsPerPixel / 8))
    return {};
  TImage image{static_cast<int>(width), static_cast<int>(height), {}};
  image.Pixels.reserve(std::size_t{width} * height);
  const std::size_t step = bitsPerPixel / 8;
  for (std::uint32_t y = 0; y < height; ++y)
    for (std::uint32_t x = 0; x < width; ++x) {
      const unsigned char *p = &bytes[start + std::size_t{y} * bytesPerLine + x * step];
      std::uint32_t pixel = 0;
      for (std::size_t i = 0; i < step; ++i)
        pixel |= std::uint32_t{p[byteOrder == 0 ? i : step - 1 - i]} << (8 * i);
      image.Pixels.push_back(Channel(pixel, redMask) << 16 | Channel(pixel, greenMask) << 8 | Channel(pixel, blueMask));
    }
  return image;
}

int ColouredPixels(const TImage &image, const TArea &area) {
  int count = 0;
  for (int y = area.Top; y < area.Top + area.Height; ++y)
    for (int x = area.Left; x < area.Left + area.Width; ++x)
      count += Coloured(image.At(x, y));
  return count;
}

int InkedPixels(const TImage &image, const TArea &area) {
  int count = 0;
  for (int y = area.Top; y < area.Top + area.Height; ++y)
    for (int x = area.Left; x < area.Left + area.Width; ++x)
      count += image.At(x, y) != 0xFFFFFF;
  return count;
}

int DifferentPixels(const TImage &a, const TArea &at, const TImage &b, int left2, int top2) {
  int count = 0;
  for (int y = 0; y < at.Height; ++y)
    for (int x = 0; x < at.Width; ++x)
      count += a.At(at.Left + x, at.Top + y) != b.At(left2 + x, top2 + y);
  return count;
}

} // namespace E2e
