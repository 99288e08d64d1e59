#pragma once

#include <cstdint>
#include <platform/graphics/recording/RecordingDevice.h>
#include <platform/rtl/Export.h>
#include <span>
#include <string>
#include <vector>

namespace Platform {

// Writes recorded drawing calls as an enhanced metafile of Width x Height device pixels at
// PixelsPerInch. Coordinates are the calls' device pixels (canvas coordinates plus the canvas
// origin) in the text mapping mode; bounds are (0, 0)-(Width - 1, Height - 1), so the picture
// drawn into a rectangle of its own size at its origin is the recording replayed pixel for pixel.
//
// Each distinct pen, brush and font is created once and selected again while it stays in a small
// table; the least recently used is deleted when the table is full, so a file of any length needs
// a bounded number of handles. Clip rectangles are written as a saved device context with an
// intersected clip, restored when the clip changes.
//
// Limits of the format: a text's face name keeps its first 31 UTF-16 units; a dashed line that
// continues another figure's pattern after a jump of the pen starts its pattern again; device
// coordinates beyond the 32-bit range are held at its ends.
class VELGRAPH_API TEmfWriter {
public:
  // Raises EInvalidGraphic for a size that is not positive; a resolution that is not positive
  // counts as 96 pixels per inch.
  TEmfWriter(int width, int height, int pixelsPerInch = 96);

  // The file's bytes. Raises EInvalidGraphic when the picture would exceed the format's 4 GB.
  std::vector<std::uint8_t> Write(std::span<const TRecordedCall> calls) const;
  // Writes the file through a temporary file renamed over the target when complete; a failure
  // raises Exception and leaves an old file as it was.
  void SaveToFile(const std::string &fileName, std::span<const TRecordedCall> calls) const;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  int PixelsPerInch() const { return FPixelsPerInch; }

  // Distinct pens, brushes and fonts each kept selectable before the oldest is deleted.
  static constexpr int CachedObjectsPerKind = 8;

private:
  int FWidth;
  int FHeight;
  int FPixelsPerInch;
};

} // namespace Platform
