#pragma once

// Device-independent bitmaps: a bitmap's pixels read out as a DIB (GetDIBSizes, GetDIB) and a
// DIB drawn scaled onto a device context (StretchDIBits), with Win32's header layouts.

#include <cstdint>
#include <platform/rtl/Export.h>
#include <platform/rtl/Win32Types.h>

namespace Platform {

#pragma pack(push, 2)
struct BITMAPINFOHEADER {
  DWORD biSize = sizeof(BITMAPINFOHEADER);
  LONG biWidth = 0;
  LONG biHeight = 0; // positive: rows bottom-up; negative: top-down
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPINFOHEADER) == 40, "the header is 40 bytes in every DIB");

struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
};

// The header, then the colour table of bitmaps of 8 bits per pixel or fewer.
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr UINT DIB_PAL_COLORS = 1;
constexpr DWORD SRCCOPY = 0x00CC0020;

// The bytes of one DIB row: rows are padded to whole 32-bit words.
constexpr std::int64_t DibRowBytes(std::int64_t width, int bitCount) { return (width * bitCount + 31) / 32 * 4; }

// The sizes of the two blocks GetDIB fills for the bitmap: the header (with no colour table, as
// bitmaps are true colour) and the image bits, 32 bits per pixel. Raises EInvalidGraphic for a
// handle that names no live bitmap.
VELGRAPH_API void GetDIBSizes(HBITMAP Bitmap, DWORD &InfoHeaderSize, DWORD &ImageSize);
// Fills blocks of the sizes GetDIBSizes gave with a bottom-up 32-bit BI_RGB DIB of the bitmap.
// The palette is not used (bitmaps are true colour). False, with nothing written, for a handle
// that names no live bitmap or a null block where bytes are due.
VELGRAPH_API bool GetDIB(HBITMAP Bitmap, HPALETTE Palette, void *BitmapInfo, void *Bits);

// Draws the source rectangle of the DIB (origin at the image's lower-left corner for bottom-up
// rows, upper-left for top-down) scaled into the destination rectangle; a negative destination
// width or height mirrors the image. Reads 1, 4, 8, 16 (5-5-5), 24 and 32 bits per pixel, BI_RGB,
// with an RGB colour table (DIB_RGB_COLORS); palette indexes past the table are black. Returns the
// number of source rows drawn, or 0 when nothing can be drawn: a handle that names no live device
// context, null blocks, a header of another kind, size or compression, palette colours, a raster
// operation other than SRCCOPY, or a source rectangle not inside the image.
VELGRAPH_API int StretchDIBits(HDC dc, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc,
                               int SrcWidth, int SrcHeight, const void *Bits, const BITMAPINFO *BitsInfo, UINT Usage,
                               DWORD Rop);

} // namespace Platform
