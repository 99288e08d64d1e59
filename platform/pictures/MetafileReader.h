#pragma once

// Bounds-checked reading of metafile records, shared by the two players: little-endian values
// that read as zero past the end, text in the formats' encodings, and bitmaps embedded in records.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <platform/pictures/DibReader.h>
#include <platform/pictures/MetafileDC.h>
#include <string>

namespace Platform {

// One record, or the whole file: Size bytes from Data.
struct TRecordReader {
  const std::uint8_t *Data = nullptr;
  std::size_t Size = 0;

  // Whether `bytes` bytes from `at` lie inside, without overflow for any values.
  bool Has(std::uint64_t at, std::uint64_t bytes) const { return at <= Size && bytes <= Size - at; }
  std::uint32_t U8(std::size_t at) const { return at < Size ? Data[at] : 0; }
  std::uint32_t U16(std::size_t at) const { return U8(at) | U8(at + 1) << 8; }
  std::uint32_t U32(std::size_t at) const { return U16(at) | U16(at + 2) << 16; }
  std::int32_t I16(std::size_t at) const { return static_cast<std::int16_t>(U16(at)); }
  std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
  float F32(std::size_t at) const;
  // A RECTL of four i32, or a rectangle of four i16 in the given order of fields.
  TRectF Rect32(std::size_t at) const {
    return {double(I32(at)), double(I32(at + 4)), double(I32(at + 8)), double(I32(at + 12))};
  }
  TPointF Point32(std::size_t at) const { return {double(I32(at)), double(I32(at + 4))}; }
  TPointF Point16(std::size_t at) const { return {double(I16(at)), double(I16(at + 2))}; }
};

// UTF-16LE code units to UTF-8; unpaired surrogates become U+FFFD. Stops at a NUL when asked.
std::string Utf16ToUtf8(const TRecordReader &in, std::size_t at, std::size_t units, bool stopAtNul);
// Bytes of the Windows Western code page to UTF-8. Stops at a NUL when asked.
std::string AnsiToUtf8(const TRecordReader &in, std::size_t at, std::size_t bytes, bool stopAtNul);

// Bitmaps larger than this many pixels inside a metafile are skipped: a picture element of 64
// megapixels is already more than any drawing holds.
constexpr std::int64_t MaxMetafileImagePixels = std::int64_t{1} << 26;

// The bitmap of a record, or nothing when the record's bitmap cannot be read or the heap cannot
// hold it: one broken picture element is skipped rather than failing the whole picture.
std::optional<TDibImage> RecordImage(const TRecordReader &record, std::uint64_t infoAt, std::uint64_t infoSize,
                                     std::uint64_t bitsAt, std::uint64_t bitsSize);
// The same for a packed bitmap (header, colour table and rows in one run) from `at` to the end.
std::optional<TDibImage> PackedRecordImage(const TRecordReader &record, std::size_t at);

// The top row of a source rectangle given as the DIB calls give it: counted from the bottom of a
// bottom-up bitmap.
int TopOfSource(const TDibImage &image, int y, int height);

// Pens, brushes and font styles as the formats' logical objects describe them. Pen and brush
// styles the canvas does not have become the nearest it has.
TMetaPen PenOfStyle(std::uint32_t style, double width, bool cosmetic, std::uint32_t colorRef);
TMetaBrush BrushOfStyle(std::uint32_t style, std::uint32_t colorRef, std::uint32_t hatch);
TFontStyles FontStyles(int weight, bool italic, bool underline, bool strikeOut);

// The average colour of a pattern brush's bitmap, as the solid colour drawn in its place.
TColor AverageColor(const TDibImage &image);

} // namespace Platform
