#pragma once

// Device-independent bitmaps as BMP files and metafile records hold them: a BITMAPINFO (core,
// info or later header, bit masks, colour table) and the pixel rows, somewhere in one buffer.

#include <cstddef>
#include <cstdint>
#include <platform/graphics/RasterSurface.h>
#include <vector>

namespace Platform {

// Where the parts of one bitmap lie in a buffer of Size bytes. The colour table ends at PaletteEnd
// at the latest; the pixel rows lie between BitsAt and BitsEnd.
struct TDibLocation {
  const std::uint8_t *Data = nullptr;
  std::size_t Size = 0;
  std::size_t InfoAt = 0;
  std::size_t PaletteEnd = 0;
  std::size_t BitsAt = 0;
  std::size_t BitsEnd = 0;
  // Larger images are refused before any pixel memory is taken (TBitmap::MaxPixels by default).
  std::int64_t MaxPixels = std::int64_t{1} << 28;
};

// Decoded pixels, 0x00RRGGBB, top row first.
struct TDibImage {
  int Width = 0;
  int Height = 0;
  // The rows were stored top row first (a negative height in the header).
  bool TopDown = false;
  std::vector<std::uint32_t> Pixels;
  TRasterSurface Surface() { return {Pixels.data(), Width, Height, Width}; }
};

// Decodes the bitmap, checking every size against the buffer before taking pixel memory. Raises
// EInvalidGraphic ("<format>: ...") for anything it cannot read and EOutOfMemory when the heap
// cannot hold pixels the data can.
TDibImage ReadDib(const TDibLocation &where, const char *format);

// The bytes of header, bit masks and colour table of the BITMAPINFO at `at`: where the rows of a
// packed bitmap begin. 0 when the header cannot be read.
std::size_t DibInfoSize(const std::uint8_t *data, std::size_t size, std::size_t at);

} // namespace Platform
