#pragma once

// The two record players behind TMetafile. Reading a header checks the file's frame of records
// (every record's size against the bytes left) and raises EInvalidGraphic saying what is wrong.
// Playing checks every record's content against the record's size: a strict player raises
// EInvalidGraphic for a record it cannot use (loading plays strictly onto a canvas without
// pixels), the other skips it, so drawing never fails on data that loaded.

#include <cstddef>
#include <cstdint>
#include <platform/pictures/MetafileDC.h>
#include <platform/pictures/MetafileReader.h>

namespace Platform {

struct TEmfInfo {
  // The picture's frame in reference device pixels, inclusive, and the reference device.
  TRectF Frame;
  double PixelsPerMmX = 96 / 25.4, PixelsPerMmY = 96 / 25.4;
  std::size_t Handles = 0;
  std::size_t HeaderSize = 0;
};

struct TWmfInfo {
  bool Placeable = false;
  // The bounding box in logical units (placeable files) or the window the records set first.
  TRectF Box;
  bool HasBox = false;
  // What fills the target rectangle: the box, or where the drawing lies when the box cuts it off.
  TRectF Frame;
  // Logical units per inch of a placeable file.
  int Inch = 1440;
  std::size_t Objects = 0;
  std::size_t RecordsAt = 0;
};

TEmfInfo ReadEmfHeader(const TRecordReader &file);
void PlayEmf(const TRecordReader &file, const TEmfInfo &info, TMetafileDC &dc, bool strict);

TWmfInfo ReadWmfHeader(const TRecordReader &file);
void PlayWmf(const TRecordReader &file, const TWmfInfo &info, TMetafileDC &dc, bool strict);

} // namespace Platform
