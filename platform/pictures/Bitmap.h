#pragma once

#include <cstdint>
#include <platform/graphics/Canvas.h>
#include <platform/graphics/Graphic.h>
#include <platform/graphics/raster/RasterDevice.h>
#include <platform/pictures/PixelStore.h>
#include <platform/rtl/Export.h>
#include <platform/rtl/Win32Types.h>
#include <span>
#include <string>
#include <vector>

namespace Platform {

// An off-screen raster picture with its own canvas. New pixels are white; a resize keeps the
// pixels the old and new sizes share. A zero-size bitmap is a valid, empty surface.
class VELGRAPH_API TBitmap : public TGraphic {
public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;
  TBitmap(const TBitmap &) = delete;
  TBitmap &operator=(const TBitmap &) = delete;

  int Width() const override { return FSurface.Width; }
  int Height() const override { return FSurface.Height; }
  void SetWidth(int value) override { SetSize(value, FSurface.Height); }
  void SetHeight(int value) override { SetSize(FSurface.Width, value); }
  // Negative sizes count as 0; raises EOutOfMemory for a size beyond MaxPixels.
  void SetSize(int width, int height);

  TCanvas *Canvas() { return &FCanvas; }
  // The resolution text on the canvas is laid out at: the screen's, read whenever text is drawn,
  // unless a positive value fixes it (a picture made for a printer). 0 follows the screen again.
  int PixelsPerInch() const { return FDevice.PixelsPerInch(); }
  void SetPixelsPerInch(int value) { FDevice.SetPixelsPerInch(value); }
  const TRasterSurface &Surface() const { return FSurface; }
  // The pixels of row y; raises EInvalidGraphicOperation unless 0 <= y < Height.
  std::uint32_t *ScanLine(int y);

  // The bitmap's GDI handle for the DIB calls, made on first use and released with the bitmap;
  // null only when the handle table is full.
  HBITMAP Handle();
  // Bitmaps hold true colour, so there is never a palette.
  HPALETTE Palette() const { return nullptr; }

  // The copy of another bitmap's size and pixels (not its canvas state).
  void Assign(const TBitmap &source);

  // PNG files. Both raise Exception for a name holding a NUL byte. Saving writes 8-bit RGB to a
  // temporary file beside the target and renames it over the target only when complete, so a
  // failed save raises Exception and leaves any old file as it was; an empty bitmap cannot be
  // saved (PNG has no empty images) and raises EInvalidGraphic before any file is touched.
  // Loading accepts any PNG libpng reads (palette, grey, 16-bit, interlaced), composites alpha on
  // white, applies no gamma correction, and skips every ancillary chunk but transparency. It
  // raises EInvalidGraphic ("PNG: ...") for a missing, truncated, corrupt or oversized file, and
  // for a header announcing more pixels than the rest of the file could deliver; EOutOfMemory only
  // when a file that could hold its pixels needs more memory than the heap gives. Either way the
  // bitmap stays as it was.
  void SaveToPngFile(const std::string &fileName) const;
  void LoadFromPngFile(const std::string &fileName);

  // BMP files. Loading reads 1, 2, 4, 8, 16, 24 and 32 bits per pixel, RLE4, RLE8, bit fields,
  // top-down rows and every header from the 12-byte core one to the 124-byte one; alpha is
  // ignored, pixels an RLE image leaves unset are white, and palette indexes past the palette
  // are black. Only the headers and the pixel data they call for are read, whatever follows. It
  // raises EInvalidGraphic ("BMP: ...") for a missing, truncated, corrupt or oversized file before
  // taking pixel memory, and the bitmap stays as it was. Saving writes an
  // uncompressed bottom-up file of 24 or 32 bits per pixel through a temporary file, like PNG.
  void LoadFromBmpFile(const std::string &fileName);
  // The same from a BMP file image held in memory (a resource), with the same checks.
  void LoadFromBmpData(std::span<const std::uint8_t> bytes);
  void SaveToBmpFile(const std::string &fileName, int bitsPerPixel = 24) const;
  // The format is chosen by the file's content (PNG or BMP), not its name; anything else raises
  // EInvalidGraphic naming what was found.
  void LoadFromFile(const std::string &fileName);
  // Saves a 24-bit BMP file.
  void SaveToFile(const std::string &fileName) const { SaveToBmpFile(fileName); }

  // Largest pixel count a bitmap may hold (1 GiB of pixels): larger sizes come from corrupt
  // input or arithmetic faults, not from drawings.
  static constexpr std::int64_t MaxPixels = std::int64_t{1} << 28;

protected:
  void Draw(TCanvas &canvas, const TRect &rect) const override;

private:
  TPixelStore FPixels;
  TRasterSurface FSurface;
  TRasterDevice FDevice;
  TCanvas FCanvas;
  HBITMAP FHandle = nullptr;
};

} // namespace Platform
