#include <platform/pictures/MetafileReader.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <iterator>
#include <platform/pictures/MetafileRecords.h>
#include <platform/rtl/Exceptions.h>

namespace Platform {

float TRecordReader::F32(std::size_t at) const { return std::bit_cast<float>(U32(at)); }

namespace {

void AppendUtf8(std::string &out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code >> 18);
    out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Code points of 0x80..0x9F in the Windows Western code page; the rest of the upper half is
// Latin-1. Unassigned places keep their byte value.
constexpr std::uint16_t Windows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                               0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

std::string Utf16ToUtf8(const TRecordReader &in, std::size_t at, std::size_t units, bool stopAtNul) {
  std::string out;
  for (std::size_t i = 0; i < units && in.Has(at + 2 * i, 2); ++i) {
    std::uint32_t code = in.U16(at + 2 * i);
    if (code == 0 && stopAtNul)
      break;
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < units) {
      const std::uint32_t low = in.U16(at + 2 * (i + 1));
      if (low >= 0xDC00 && low < 0xE000) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (code >= 0xD800 && code < 0xE000)
      code = 0xFFFD;
    AppendUtf8(out, code);
  }
  return out;
}

std::string AnsiToUtf8(const TRecordReader &in, std::size_t at, std::size_t bytes, bool stopAtNul) {
  std::string out;
  for (std::size_t i = 0; i < bytes && in.Has(at + i, 1); ++i) {
    const std::uint32_t byte = in.U8(at + i);
    if (byte == 0 && stopAtNul)
      break;
    AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? Windows1252High[byte - 0x80] : byte);
  }
  return out;
}

std::optional<TDibImage> RecordImage(const TRecordReader &record, std::uint64_t infoAt, std::uint64_t infoSize,
                                     std::uint64_t bitsAt, std::uint64_t bitsSize) {
  if (!record.Has(infoAt, infoSize) || !record.Has(bitsAt, bitsSize) || infoSize == 0 || bitsSize == 0)
    return std::nullopt;
  TDibLocation where{record.Data,
                     record.Size,
                     static_cast<std::size_t>(infoAt),
                     static_cast<std::size_t>(infoAt + infoSize),
                     static_cast<std::size_t>(bitsAt),
                     static_cast<std::size_t>(bitsAt + bitsSize)};
  where.MaxPixels = MaxMetafileImagePixels;
  try {
    return ReadDib(where, "metafile bitmap");
  } catch (const EInvalidGraphic &) {
    return std::nullopt;
  } catch (const EOutOfMemory &) {
    return std::nullopt;
  }
}

std::optional<TDibImage> PackedRecordImage(const TRecordReader &record, std::size_t at) {
  const std::size_t info = DibInfoSize(record.Data, record.Size, at);
  if (info == 0 || !record.Has(at, info))
    return std::nullopt;
  return RecordImage(record, at, info, at + info, record.Size - at - info);
}

int TopOfSource(const TDibImage &image, int y, int height) {
  if (image.TopDown)
    return y;
  return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{image.Height} - y - height, INT32_MIN, INT32_MAX));
}

TMetaPen PenOfStyle(std::uint32_t style, double width, bool cosmetic, std::uint32_t colorRef) {
  static constexpr TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame};
  const std::uint32_t dash = style & Gdi::PS_STYLE_MASK;
  TMetaPen pen;
  pen.Style = dash < std::size(styles) ? styles[dash] : dash == Gdi::PS_ALTERNATE ? psDot : psDash;
  pen.Width = width;
  pen.Cosmetic = cosmetic;
  pen.Color = TMetafileDC::ToColor(colorRef);
  return pen;
}

TMetaBrush BrushOfStyle(std::uint32_t style, std::uint32_t colorRef, std::uint32_t hatch) {
  static constexpr TBrushStyle hatches[] = {bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross};
  TMetaBrush brush{bsSolid, TMetafileDC::ToColor(colorRef)};
  if (style == Gdi::BS_NULL)
    brush.Style = bsClear;
  else if (style == Gdi::BS_HATCHED)
    brush.Style = hatch < std::size(hatches) ? hatches[hatch] : bsSolid;
  return brush;
}

TFontStyles FontStyles(int weight, bool italic, bool underline, bool strikeOut) {
  TFontStyles styles;
  // Semi-bold and heavier read as bold: the canvas's fonts have two weights.
  if (weight >= 600)
    styles.Include(fsBold);
  if (italic)
    styles.Include(fsItalic);
  if (underline)
    styles.Include(fsUnderline);
  if (strikeOut)
    styles.Include(fsStrikeOut);
  return styles;
}

TColor AverageColor(const TDibImage &image) {
  if (image.Pixels.empty())
    return clBlack;
  std::uint64_t sum[3] = {};
  for (std::uint32_t pixel : image.Pixels)
    for (int c = 0; c < 3; ++c)
      sum[c] += pixel >> (8 * c) & 0xFF;
  const std::uint64_t n = image.Pixels.size();
  // Pixels are 0x00RRGGBB and colours 0x00BBGGRR.
  return static_cast<TColor>((sum[0] + n / 2) / n << 16 | (sum[1] + n / 2) / n << 8 | (sum[2] + n / 2) / n);
}

} // namespace Platform
