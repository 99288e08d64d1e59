#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <platform/graphics/Graphic.h>
#include <platform/graphics/RasterSurface.h>
#include <platform/rtl/Export.h>
#include <string>

namespace Platform {

// A JPEG picture, decoded once into 32-bit pixels that canvases draw like a bitmap's. Baseline,
// extended, progressive and arithmetic-coded files load, in greyscale, YCbCr, RGB, CMYK or YCCK
// (CMYK from the Adobe applications, stored inverted, is recognised by its Adobe marker).
class VELGRAPH_API TJPEGImage : public TGraphic {
public:
  TJPEGImage();
  ~TJPEGImage() override;
  TJPEGImage(const TJPEGImage &) = delete;
  TJPEGImage &operator=(const TJPEGImage &) = delete;

  int Width() const override { return FSurface.Width; }
  int Height() const override { return FSurface.Height; }
  // A JPEG image takes its size from its file: both raise EInvalidGraphicOperation.
  void SetWidth(int value) override;
  void SetHeight(int value) override;

  // True when the file held one colour component.
  bool Grayscale() const { return FGrayscale; }
  // The first warning the decoder gave about the last file loaded (corrupt or missing data it
  // worked around), empty for a clean file.
  const std::string &Warning() const { return FWarning; }
  const TRasterSurface &Surface() const { return FSurface; }

  // Both raise EInvalidGraphic ("JPEG: ...") for a missing, empty, corrupt or oversized file, for
  // one announcing more pixels than its data could deliver, for more than MaxScans scans, and for
  // a file whose data ends before the first row of blocks is complete; EOutOfMemory only when a
  // file that could hold its pixels needs more memory than the heap gives. Damage after that is
  // worked around as the decoder can (missing rows come out grey) and reported by Warning(). On
  // any failure the image stays as it was. LoadFromFile reads the whole file first (up to
  // MaxFileBytes) and raises Exception for a name holding a NUL byte.
  void LoadFromFile(const std::string &fileName);
  void LoadFromMemory(const void *data, std::size_t size);

  static constexpr std::int64_t MaxPixels = std::int64_t{1} << 28;
  // Real encoders write a few dozen scans at most; every scan of a progressive file costs a
  // pass over the whole image, so thousands of them would be a way to hang the reader. They are
  // counted before anything is allocated.
  static constexpr int MaxScans = 256;
  // Files beyond this size are refused before reading.
  static constexpr std::int64_t MaxFileBytes = std::int64_t{1} << 30;

protected:
  void Draw(TCanvas &canvas, const TRect &rect) const override;

private:
  void Take(std::unique_ptr<std::uint32_t[]> pixels, int width, int height, bool grayscale, std::string warning);

  std::unique_ptr<std::uint32_t[]> FPixels;
  TRasterSurface FSurface;
  bool FGrayscale = false;
  std::string FWarning;
};

} // namespace Platform
