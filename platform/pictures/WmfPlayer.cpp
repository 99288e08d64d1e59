// Windows metafiles, placeable or not: the headers and the records a drawing uses, as the public
// WMF format documents them. Parameters mostly come in reverse order of the call's arguments.
// Records a canvas has no counterpart for (palettes, escapes, regions but for their table slot)
// are skipped, as are records too short for what they claim to hold.

#include <platform/pictures/MetafilePlayers.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <platform/pictures/MetafileRecords.h>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Rtl.h>
#include <vector>

namespace Platform {

namespace {

using namespace Wmf;

[[noreturn]] void Fail(const std::string &message) { throw EInvalidGraphic("WMF: " + message); }

std::string Number(std::uint64_t value) { return IntToStr(static_cast<std::int64_t>(value)); }

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", value);
  return text;
}

class TWmfPlayer {
public:
  // A strict player raises EInvalidGraphic for the first record it cannot use; the other skips it.
  TWmfPlayer(const TRecordReader &file, TMetafileDC &dc, bool strict) : FFile(file), FDC(dc), FStrict(strict) {}

  void Play(std::size_t at) {
    while (FFile.Has(at, RecordHeaderSize)) {
      const std::uint64_t size = std::uint64_t{FFile.U32(at)} * 2;
      const std::uint32_t function = FFile.U16(at + RecordFunctionOffset);
      if (size < RecordHeaderSize || !FFile.Has(at, size) || function == META_EOF)
        return;
      R = {FFile.Data + at, static_cast<std::size_t>(size)};
      FAt = at;
      FFunction = function;
      Record(function);
      at += static_cast<std::size_t>(size);
    }
  }

private:
  const TRecordReader &FFile;
  TMetafileDC &FDC;
  const bool FStrict;
  TRecordReader R;
  std::size_t FAt = 0;
  std::uint32_t FFunction = 0;
  std::vector<TPointF> FPoints;
  std::vector<std::uint32_t> FCounts;

  // Parameter i (16-bit words after the function) and whether the record holds n of them.
  std::int32_t P(std::size_t i) const { return R.I16(ParamOffset + 2 * i); }
  std::uint32_t UP(std::size_t i) const { return R.U16(ParamOffset + 2 * i); }
  bool HasParams(std::uint64_t n) const { return Fits(ParamOffset, 2 * n); }
  bool Usable(bool usable, const char *fault = "its parameters run past its end") const {
    if (!usable && FStrict)
      Fail("record at offset " + Number(FAt) + " (function " + Hex(FFunction) + ") of " + Number(R.Size) +
           " bytes: " + fault);
    return usable;
  }
  bool Fits(std::uint64_t at, std::uint64_t bytes) const { return Usable(R.Has(at, bytes)); }
  std::optional<TDibImage> Image(std::size_t at) const {
    auto image = PackedRecordImage(R, at);
    Usable(image.has_value(), "its bitmap cannot be read");
    return image;
  }
  // Four parameters from i on as bottom, right, top, left.
  TRectF Box(std::size_t i) const { return {double(P(i + 3)), double(P(i + 2)), double(P(i + 1)), double(P(i))}; }
  // Two parameters from i on as y, x.
  TPointF YX(std::size_t i) const { return {double(P(i + 1)), double(P(i))}; }

  void Record(std::uint32_t function) {
    if (Drawing(function) || StateRecord(function) || MappingRecord(function) || Objects(function))
      return;
    switch (function) {
    case META_TEXTOUT: TextOut(); break;
    case META_EXTTEXTOUT: ExtTextOut(); break;
    case META_PATBLT:
      if (HasParams(6))
        FDC.PatBlt(SizedBox(5, 4, 3, 2), R.U32(ParamOffset));
      break;
    case META_DIBBITBLT:
    case META_DIBSTRETCHBLT: DibBlit(function == META_DIBSTRETCHBLT); break;
    case META_STRETCHDIB: StretchDib(); break;
    case META_SETDIBTODEV: SetDibToDev(); break;
    default: break;
    }
  }

  // A box from x, y, width and height parameters.
  TRectF SizedBox(std::size_t x, std::size_t y, std::size_t width, std::size_t height) const {
    return {double(P(x)), double(P(y)), double(P(x)) + P(width), double(P(y)) + P(height)};
  }

  bool ReadPoints(std::size_t firstParam, std::uint64_t count) {
    if (!HasParams(firstParam + 2 * count))
      return false;
    FPoints.resize(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < FPoints.size(); ++i)
      FPoints[i] = {double(P(firstParam + 2 * i)), double(P(firstParam + 2 * i + 1))};
    return true;
  }

  bool Drawing(std::uint32_t function) {
    switch (function) {
    case META_LINETO:
      if (HasParams(2))
        FDC.LineTo(YX(0));
      return true;
    case META_MOVETO: FDC.MoveTo(YX(0)); return true;
    case META_POLYLINE:
    case META_POLYGON:
      if (HasParams(1) && ReadPoints(1, UP(0))) {
        if (function == META_POLYGON)
          FDC.Polygon(FPoints);
        else
          FDC.Polyline(FPoints);
      }
      return true;
    case META_POLYPOLYGON: PolyPolygon(); return true;
    case META_RECTANGLE:
      if (HasParams(4))
        FDC.Rectangle(Box(0));
      return true;
    case META_ELLIPSE:
      if (HasParams(4))
        FDC.Ellipse(Box(0));
      return true;
    case META_ROUNDRECT:
      if (HasParams(6))
        FDC.RoundRect(Box(2), P(1), P(0));
      return true;
    case META_ARC:
    case META_PIE:
    case META_CHORD:
      if (HasParams(8))
        FDC.ArcFamily(function == META_ARC   ? TArcKind::Arc
                      : function == META_PIE ? TArcKind::Pie
                                             : TArcKind::Chord,
                      Box(4), YX(2), YX(0));
      return true;
    case META_SETPIXEL:
      if (HasParams(4))
        FDC.SetPixel(YX(2), R.U32(ParamOffset));
      return true;
    default: return false;
    }
  }

  void PolyPolygon() {
    const std::uint64_t polygons = UP(0);
    if (!HasParams(1 + polygons))
      return;
    FCounts.resize(static_cast<std::size_t>(polygons));
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < FCounts.size(); ++i)
      total += FCounts[i] = UP(1 + i);
    if (ReadPoints(1 + static_cast<std::size_t>(polygons), total))
      FDC.PolyPolygon(FPoints, FCounts);
  }

  bool StateRecord(std::uint32_t function) {
    switch (function) {
    case META_SETBKMODE: FDC.SetBkMode(UP(0)); return true;
    case META_SETROP2: FDC.SetRop2(UP(0)); return true;
    case META_SETMAPMODE: FDC.SetMapMode(UP(0)); return true;
    case META_SETTEXTALIGN: FDC.SetTextAlign(UP(0)); return true;
    case META_SETTEXTCOLOR: FDC.SetTextColor(R.U32(ParamOffset)); return true;
    case META_SETBKCOLOR: FDC.SetBkColor(R.U32(ParamOffset)); return true;
    case META_SAVEDC: FDC.SaveDC(); return true;
    case META_RESTOREDC: Usable(FDC.RestoreDC(P(0)), "it restores a state never saved"); return true;
    case META_INTERSECTCLIPRECT:
      if (HasParams(4))
        FDC.IntersectClipRect(Box(0));
      return true;
    case META_EXCLUDECLIPRECT:
      if (HasParams(4))
        FDC.ExcludeClipRect(Box(0));
      return true;
    default: return false;
    }
  }

  bool MappingRecord(std::uint32_t function) {
    using TSetter = void (TMetafileDC::*)(double, double);
    TSetter setter = nullptr;
    switch (function) {
    case META_SETWINDOWORG: setter = &TMetafileDC::SetWindowOrg; break;
    case META_SETWINDOWEXT: setter = &TMetafileDC::SetWindowExt; break;
    case META_SETVIEWPORTORG: setter = &TMetafileDC::SetViewportOrg; break;
    case META_SETVIEWPORTEXT: setter = &TMetafileDC::SetViewportExt; break;
    case META_OFFSETWINDOWORG: setter = &TMetafileDC::OffsetWindowOrg; break;
    case META_OFFSETVIEWPORTORG: setter = &TMetafileDC::OffsetViewportOrg; break;
    default: break;
    }
    if (setter) {
      // Parameters y, x.
      if (HasParams(2))
        (FDC.*setter)(P(1), P(0));
      return true;
    }
    switch (function) {
    case META_SCALEWINDOWEXT:
    case META_SCALEVIEWPORTEXT:
      if (!HasParams(4))
        return true;
      if (function == META_SCALEWINDOWEXT)
        FDC.ScaleWindowExt(P(3), P(2), P(1), P(0));
      else
        FDC.ScaleViewportExt(P(3), P(2), P(1), P(0));
      return true;
    default: return false;
    }
  }

  // Objects take the lowest free slot of the table; a full table drops them, as the format's own
  // player does.
  void Create(const TMetaObject &object) {
    const std::size_t index = FDC.FreeObjectIndex();
    if (Usable(index < FDC.ObjectCount(), "the object table is full"))
      FDC.CreateObject(index, object);
  }

  bool Objects(std::uint32_t function) {
    TMetaObject object;
    switch (function) {
    case META_SELECTOBJECT: FDC.SelectObject(UP(0)); return true;
    case META_DELETEOBJECT: FDC.DeleteObject(UP(0)); return true;
    case META_CREATEPENINDIRECT:
      object.Kind = TMetaObjectKind::Pen;
      if (HasParams(5))
        object.Pen = Pen();
      Create(object);
      return true;
    case META_CREATEBRUSHINDIRECT:
      object.Kind = TMetaObjectKind::Brush;
      if (HasParams(4))
        object.Brush = Brush();
      Create(object);
      return true;
    case META_CREATEFONTINDIRECT:
      object.Kind = TMetaObjectKind::Font;
      if (HasParams(LogFont::FixedSize / 2))
        object.Font = Font();
      Create(object);
      return true;
    case META_DIBCREATEPATTERNBRUSH: {
      object.Kind = TMetaObjectKind::Brush;
      const auto image = Image(ParamOffset + 4);
      object.Brush = {bsSolid, image ? AverageColor(*image) : clGray};
      Create(object);
      return true;
    }
    case META_CREATEPATTERNBRUSH:
      object.Kind = TMetaObjectKind::Brush;
      object.Brush = {bsSolid, clGray};
      Create(object);
      return true;
    case META_CREATEPALETTE:
    case META_CREATEREGION:
      object.Kind = TMetaObjectKind::Other;
      Create(object);
      return true;
    default: return false;
    }
  }

  TMetaPen Pen() const {
    // Windows metafile pens are all measured in logical units.
    return PenOfStyle(UP(0), std::abs(P(1)), false, R.U32(ParamOffset + LogPen::Color));
  }

  TMetaBrush Brush() const {
    return BrushOfStyle(UP(0), R.U32(ParamOffset + LogBrush::Color), R.U16(ParamOffset + LogBrush::Hatch));
  }

  TMetaFont Font() const {
    constexpr std::size_t at = ParamOffset;
    TMetaFont font;
    font.Height = R.I16(at + LogFont::Height);
    font.Escapement = R.I16(at + LogFont::Escapement);
    font.Style = FontStyles(R.I16(at + LogFont::Weight), R.U8(at + LogFont::Italic), R.U8(at + LogFont::Underline),
                            R.U8(at + LogFont::StrikeOut));
    font.Name = AnsiToUtf8(R, at + LogFont::FaceName, LogFont::FaceNameBytes, true);
    if (font.Name.empty())
      font.Name = "Sans";
    return font;
  }

  void TextOut() {
    const std::uint32_t count = UP(0);
    const std::size_t stringAt = ParamOffset + 2, after = stringAt + ((count + 1) & ~1u);
    if (!Fits(after, 4))
      return;
    FDC.TextOut({double(R.I16(after + 2)), double(R.I16(after))}, AnsiToUtf8(R, stringAt, count, false), nullptr, false,
                false);
  }

  void ExtTextOut() {
    using namespace Wmf::ExtTextOut;
    if (!Fits(ParamOffset, FixedSize))
      return;
    const std::uint32_t count = UP(2), options = UP(3);
    const bool hasRect = (options & (Gdi::ETO_OPAQUE | Gdi::ETO_CLIPPED)) != 0;
    const std::size_t stringAt = ParamOffset + FixedSize + (hasRect ? RectSize : 0);
    const TRectF rect{double(P(4)), double(P(5)), double(P(6)), double(P(7))};
    if (hasRect && !HasParams(8))
      return;
    const std::string text = Fits(stringAt, count) ? AnsiToUtf8(R, stringAt, count, false) : std::string();
    FDC.TextOut(YX(0), text, hasRect ? &rect : nullptr, (options & Gdi::ETO_OPAQUE) != 0,
                (options & Gdi::ETO_CLIPPED) != 0);
  }

  // A record without a bitmap is one word longer than its function's parameter count says
  // (a reserved word) and blits the brush.
  bool WithoutBitmap(std::uint32_t function) const { return R.Size / 2 == (function >> 8) + 3; }

  void DibBlit(bool stretch) {
    const std::uint32_t function = stretch ? META_DIBSTRETCHBLT : META_DIBBITBLT;
    const std::size_t source = stretch ? 4 : 2; // ySrc, xSrc
    const std::size_t dest = source + 2;        // [reserved,] height, width, yDest, xDest
    if (WithoutBitmap(function)) {
      if (HasParams(dest + 5))
        FDC.PatBlt(SizedBox(dest + 4, dest + 3, dest + 2, dest + 1), R.U32(ParamOffset));
      return;
    }
    if (!HasParams(dest + 4))
      return;
    auto image = Image(ParamOffset + 2 * (dest + 4));
    if (!image)
      return;
    const TRectF box = SizedBox(dest + 3, dest + 2, dest + 1, dest);
    const int sw = stretch ? P(3) : P(dest + 1), sh = stretch ? P(2) : P(dest);
    FDC.DrawImage(box, *image, P(source + 1), P(source), sw, sh);
  }

  void StretchDib() {
    if (!HasParams(11))
      return;
    auto image = Image(ParamOffset + 22);
    if (!image)
      return;
    const int sh = P(3);
    FDC.DrawImage(SizedBox(10, 9, 8, 7), *image, P(6), TopOfSource(*image, P(5), sh), P(4), sh);
  }

  void SetDibToDev() {
    if (!HasParams(9))
      return;
    auto image = Image(ParamOffset + 18);
    if (!image)
      return;
    const int sw = P(6), sh = P(5);
    FDC.DrawImage(SizedBox(8, 7, 6, 5), *image, P(4), TopOfSource(*image, P(3), sh), sw, sh);
  }
};

// Walks the records once: each must be at least a header long and end inside the file. Notes the
// first window the records set, the size of a file that has no placeable header.
void CheckRecords(const TRecordReader &file, TWmfInfo &info) {
  std::size_t at = info.RecordsAt;
  TPointF origin;
  bool hasOrigin = false;
  while (file.Has(at, RecordHeaderSize)) {
    const std::uint64_t words = file.U32(at);
    const std::uint32_t function = file.U16(at + RecordFunctionOffset);
    if (words < RecordHeaderSize / 2)
      Fail("record at offset " + Number(at) + " has a size of " + Number(words) + " words");
    if (!file.Has(at, words * 2))
      Fail("record at offset " + Number(at) + " of " + Number(words * 2) + " bytes runs past the end of the file (" +
           Number(file.Size) + " bytes)");
    if (function == META_EOF)
      return;
    if (words >= 5 && function == META_SETWINDOWORG && !hasOrigin) {
      origin = {double(file.I16(at + ParamOffset + 2)), double(file.I16(at + ParamOffset))};
      hasOrigin = true;
    }
    if (words >= 5 && function == META_SETWINDOWEXT && !info.HasBox && !info.Placeable) {
      const double cx = file.I16(at + ParamOffset + 2), cy = file.I16(at + ParamOffset);
      info.Box = {origin.X, origin.Y, origin.X + cx, origin.Y + cy};
      info.HasBox = cx != 0 && cy != 0;
    }
    at += static_cast<std::size_t>(words * 2);
  }
}

} // namespace

TWmfInfo ReadWmfHeader(const TRecordReader &file) {
  if (file.Size == 0)
    Fail("file is empty");
  TWmfInfo info;
  std::size_t at = 0;
  if (file.Has(0, 4) && file.U32(Placeable::Key) == Placeable::KeyValue) {
    if (!file.Has(0, Placeable::Size))
      Fail("file truncated in the placeable header");
    info.Placeable = true;
    info.Box = {double(file.I16(Placeable::Left)), double(file.I16(Placeable::Top)), double(file.I16(Placeable::Right)),
                double(file.I16(Placeable::Bottom))};
    info.HasBox = info.Box.Right != info.Box.Left && info.Box.Bottom != info.Box.Top;
    if (!info.HasBox)
      Fail("the placeable header's bounding box is empty");
    // No unit count means none was written; the usual twips are assumed.
    info.Inch = file.U16(Placeable::Inch) == 0 ? 1440 : static_cast<int>(file.U16(Placeable::Inch));
    at = Placeable::Size;
  }
  if (!file.Has(at, Header::Size))
    Fail("file truncated in the header");
  const std::uint32_t type = file.U16(at + Header::Type), words = file.U16(at + Header::HeaderWords);
  if ((type != 1 && type != 2) || words != Header::HeaderWordsValue)
    Fail("not a Windows metafile (bad header: type " + Number(type) + ", " + Number(words) + " header words)");
  info.Objects = file.U16(at + Header::Objects);
  info.RecordsAt = at + Header::Size;
  CheckRecords(file, info);
  info.Frame = info.Box;
  return info;
}

void PlayWmf(const TRecordReader &file, const TWmfInfo &info, TMetafileDC &dc, bool strict) {
  TWmfPlayer(file, dc, strict).Play(info.RecordsAt);
}

} // namespace Platform
