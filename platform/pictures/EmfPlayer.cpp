// Enhanced metafiles: the header and the records a drawing uses, as the public EMF format
// documents them. Records a canvas has no counterpart for (palettes, colour management, OpenGL,
// escapes, comments) are skipped, as are records too short for what they claim to hold.

#include <platform/pictures/MetafilePlayers.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <numbers>
#include <optional>
#include <platform/pictures/MetafileRecords.h>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Rtl.h>
#include <vector>

namespace Platform {

namespace {

using namespace Emf;

[[noreturn]] void Fail(const std::string &message) { throw EInvalidGraphic("EMF: " + message); }

std::string Offset(std::size_t at) { return IntToStr(static_cast<std::int64_t>(at)); }

// The records of one file played in order onto a context.
class TEmfPlayer {
public:
  // A strict player raises EInvalidGraphic for the first record it cannot use; the other skips it.
  TEmfPlayer(const TRecordReader &file, TMetafileDC &dc, bool strict) : FFile(file), FDC(dc), FStrict(strict) {}

  void Play(std::size_t at) {
    while (FFile.Has(at, RecordHeaderSize)) {
      const std::uint32_t type = FFile.U32(at), size = FFile.U32(at + RecordSizeOffset);
      if (size < RecordHeaderSize || !FFile.Has(at, size) || type == EMR_EOF)
        return;
      R = {FFile.Data + at, size};
      FAt = at;
      FType = type;
      ++FIndex;
      Record(type);
      at += size;
    }
  }

private:
  const TRecordReader &FFile;
  TMetafileDC &FDC;
  const bool FStrict;
  TRecordReader R;
  std::size_t FAt = 0, FIndex = 1;
  std::uint32_t FType = 0;
  std::vector<TPointF> FPoints;
  std::vector<std::uint32_t> FCounts;

  void Record(std::uint32_t type) {
    if (Shapes(type) || Lines(type) || StateRecord(type) || MappingRecord(type) || Objects(type) || PathRecord(type))
      return;
    switch (type) {
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW: Text(type == EMR_EXTTEXTOUTW); break;
    case EMR_BITBLT:
    case EMR_STRETCHBLT: Blit(type == EMR_STRETCHBLT); break;
    // Blending needs the pixels below, which a canvas does not give: the source is drawn over.
    case EMR_ALPHABLEND: Blit(true); break;
    case EMR_FILLRGN:
    case EMR_PAINTRGN:
    case EMR_FRAMERGN: Region(type); break;
    case EMR_GRADIENTFILL: Gradient(); break;
    case EMR_STRETCHDIBITS: StretchDIBits(); break;
    case EMR_SETDIBITSTODEVICE: SetDIBitsToDevice(); break;
    default: break;
    }
  }

  bool Usable(bool usable, const char *fault = "its parameters run past its end") const {
    if (!usable && FStrict)
      Fail("record " + Offset(FIndex) + " (type " + Offset(FType) + ") at offset " + Offset(FAt) + " of " +
           Offset(R.Size) + " bytes: " + fault);
    return usable;
  }
  void Create(std::uint32_t index, const TMetaObject &object) {
    // Index 0 stands for the metafile itself.
    if (Usable(index > 0 && index < FDC.ObjectCount(), "its object index is outside the object table"))
      FDC.CreateObject(index, object);
  }
  bool Fits(std::uint64_t at, std::uint64_t bytes) const { return Usable(R.Has(at, bytes)); }
  std::optional<TDibImage> Image(std::uint32_t infoAt, std::uint32_t infoSize, std::uint32_t bitsAt,
                                 std::uint32_t bitsSize) const {
    auto image = RecordImage(R, infoAt, infoSize, bitsAt, bitsSize);
    Usable(image.has_value(), "its bitmap cannot be read");
    return image;
  }

  // Points of 32 or 16 bits from `at`; false when the record holds fewer.
  bool ReadPoints(std::size_t at, std::uint64_t count, bool small) {
    const std::uint64_t size = small ? 4 : 8;
    if (!Fits(at, count * size))
      return false;
    FPoints.resize(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < FPoints.size(); ++i)
      FPoints[i] = small ? R.Point16(at + 4 * i) : R.Point32(at + 8 * i);
    return true;
  }

  bool Lines(std::uint32_t type) {
    switch (type) {
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO: Poly(type, false); return true;
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16: Poly(type - (EMR_POLYBEZIER16 - EMR_POLYBEZIER), true); return true;
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON: PolyPoly(type == EMR_POLYPOLYGON, false); return true;
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16: PolyPoly(type == EMR_POLYPOLYGON16, true); return true;
    case EMR_POLYDRAW:
    case EMR_POLYDRAW16: PolyDraw(type == EMR_POLYDRAW16); return true;
    case EMR_MOVETOEX: FDC.MoveTo(R.Point32(ParamOffset)); return true;
    case EMR_LINETO:
      if (Fits(ParamOffset, 8))
        FDC.LineTo(R.Point32(ParamOffset));
      return true;
    default: return false;
    }
  }

  void Poly(std::uint32_t type, bool small) {
    if (!Fits(Poly::Count, 4) || !ReadPoints(Poly::Points, R.U32(Poly::Count), small))
      return;
    switch (type) {
    case EMR_POLYBEZIER: FDC.PolyBezier(FPoints); break;
    case EMR_POLYGON: FDC.Polygon(FPoints); break;
    case EMR_POLYLINE: FDC.Polyline(FPoints); break;
    case EMR_POLYBEZIERTO: FDC.PolyBezierTo(FPoints); break;
    default: FDC.PolylineTo(FPoints); break;
    }
  }

  void PolyPoly(bool polygon, bool small) {
    const std::uint64_t polygons = R.U32(PolyPoly::Polygons), total = R.U32(PolyPoly::TotalPoints);
    if (!Fits(PolyPoly::Counts, polygons * 4))
      return;
    const std::size_t pointsAt = PolyPoly::Counts + static_cast<std::size_t>(polygons) * 4;
    if (!ReadPoints(pointsAt, total, small))
      return;
    FCounts.resize(static_cast<std::size_t>(polygons));
    for (std::size_t i = 0; i < FCounts.size(); ++i)
      FCounts[i] = R.U32(PolyPoly::Counts + 4 * i);
    if (polygon)
      FDC.PolyPolygon(FPoints, FCounts);
    else
      FDC.PolyPolyline(FPoints, FCounts);
  }

  // Points each with a kind: move, line or Bezier, possibly closing the figure.
  void PolyDraw(bool small) {
    constexpr std::uint32_t CloseFigure = 1, LineTo = 2, BezierTo = 4, MoveTo = 6;
    const std::uint64_t count = R.U32(Poly::Count);
    if (!ReadPoints(Poly::Points, count, small))
      return;
    const std::size_t kindsAt = Poly::Points + static_cast<std::size_t>(count) * (small ? 4 : 8);
    if (!Fits(kindsAt, count))
      return;
    const std::vector<TPointF> points = FPoints;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const std::uint32_t kind = R.U8(kindsAt + i);
      if ((kind & ~CloseFigure) == MoveTo) {
        FDC.MoveTo(points[i]);
      } else if ((kind & ~CloseFigure) == LineTo) {
        FDC.LineTo(points[i]);
      } else if ((kind & ~CloseFigure) == BezierTo && i + 2 < points.size()) {
        FDC.PolyBezierTo(std::span(points).subspan(i, 3));
        i += 2;
      }
      if (kind & CloseFigure)
        FDC.CloseFigure();
    }
  }

  bool Shapes(std::uint32_t type) {
    switch (type) {
    case EMR_RECTANGLE:
      if (Fits(ParamOffset, 16))
        FDC.Rectangle(R.Rect32(ParamOffset));
      return true;
    case EMR_ELLIPSE:
      if (Fits(ParamOffset, 16))
        FDC.Ellipse(R.Rect32(ParamOffset));
      return true;
    case EMR_ROUNDRECT:
      if (Fits(0, RoundRect::Size))
        FDC.RoundRect(R.Rect32(RoundRect::Box), R.I32(RoundRect::Corner), R.I32(RoundRect::Corner + 4));
      return true;
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE:
    case EMR_ARCTO: {
      static constexpr TArcKind kinds[] = {TArcKind::Arc, TArcKind::Chord, TArcKind::Pie};
      if (Fits(0, Arc::Size))
        FDC.ArcFamily(type == EMR_ARCTO ? TArcKind::ArcTo : kinds[type - EMR_ARC], R.Rect32(Arc::Box),
                      R.Point32(Arc::Start), R.Point32(Arc::End));
      return true;
    }
    case EMR_ANGLEARC: AngleArc(); return true;
    case EMR_SETPIXELV:
      if (Fits(0, SetPixel::Size))
        FDC.SetPixel(R.Point32(SetPixel::Point), R.U32(SetPixel::Color));
      return true;
    default: return false;
    }
  }

  // A line to the arc's start, then the arc anticlockwise through the sweep.
  void AngleArc() {
    if (!Fits(0, AngleArc::Size))
      return;
    const TPointF c = R.Point32(AngleArc::Center);
    const double radius = R.U32(AngleArc::Radius), start = R.F32(AngleArc::StartAngle);
    const double sweep = R.F32(AngleArc::SweepAngle);
    if (!std::isfinite(start) || !std::isfinite(sweep) || sweep == 0)
      return;
    const double a = start * std::numbers::pi / 180, b = (start + sweep) * std::numbers::pi / 180;
    const TRectF box{c.X - radius, c.Y - radius, c.X + radius, c.Y + radius};
    const TPointF from{c.X + radius * std::cos(a), c.Y - radius * std::sin(a)};
    const TPointF to{c.X + radius * std::cos(b), c.Y - radius * std::sin(b)};
    const bool clockwise = FDC.ArcClockwise();
    FDC.LineTo(from);
    FDC.SetArcDirection(sweep < 0 ? Gdi::AD_CLOCKWISE : Gdi::AD_COUNTERCLOCKWISE);
    FDC.ArcFamily(TArcKind::ArcTo, box, from, to);
    FDC.SetArcDirection(clockwise ? Gdi::AD_CLOCKWISE : Gdi::AD_COUNTERCLOCKWISE);
  }

  bool StateRecord(std::uint32_t type) {
    const std::uint32_t value = R.U32(ParamOffset);
    switch (type) {
    case EMR_SETBKMODE: FDC.SetBkMode(value); return true;
    case EMR_SETROP2: FDC.SetRop2(value); return true;
    case EMR_SETTEXTALIGN: FDC.SetTextAlign(value); return true;
    case EMR_SETTEXTCOLOR: FDC.SetTextColor(value); return true;
    case EMR_SETBKCOLOR: FDC.SetBkColor(value); return true;
    case EMR_SETARCDIRECTION: FDC.SetArcDirection(value); return true;
    case EMR_SAVEDC: FDC.SaveDC(); return true;
    case EMR_RESTOREDC: Usable(FDC.RestoreDC(R.I32(ParamOffset)), "it restores a state never saved"); return true;
    case EMR_INTERSECTCLIPRECT: FDC.IntersectClipRect(R.Rect32(ParamOffset)); return true;
    case EMR_EXCLUDECLIPRECT: FDC.ExcludeClipRect(R.Rect32(ParamOffset)); return true;
    case EMR_EXTSELECTCLIPRGN: ClipRegion(); return true;
    default: return false;
    }
  }

  // Regions are reduced to their bounding box: the canvas clips to one rectangle.
  void ClipRegion() {
    const std::uint32_t dataSize = R.U32(ExtSelectClipRgn::DataSize), mode = R.U32(ExtSelectClipRgn::Mode);
    if (dataSize == 0 || !Usable(dataSize >= RgnData::HeaderSize && R.Has(ExtSelectClipRgn::Data, dataSize))) {
      FDC.SelectClipBox(nullptr, mode);
      return;
    }
    const TRectF bound = R.Rect32(ExtSelectClipRgn::Data + RgnData::Bound);
    FDC.SelectClipBox(&bound, mode);
  }

  bool MappingRecord(std::uint32_t type) {
    const double x = R.I32(ParamOffset), y = R.I32(ParamOffset + 4);
    switch (type) {
    case EMR_SETMAPMODE: FDC.SetMapMode(R.U32(ParamOffset)); return true;
    case EMR_SETWINDOWEXTEX: FDC.SetWindowExt(x, y); return true;
    case EMR_SETWINDOWORGEX: FDC.SetWindowOrg(x, y); return true;
    case EMR_SETVIEWPORTEXTEX: FDC.SetViewportExt(x, y); return true;
    case EMR_SETVIEWPORTORGEX: FDC.SetViewportOrg(x, y); return true;
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX: {
      const double xn = R.I32(ScaleExt::XNum), xd = R.I32(ScaleExt::XDenom);
      const double yn = R.I32(ScaleExt::YNum), yd = R.I32(ScaleExt::YDenom);
      if (type == EMR_SCALEWINDOWEXTEX)
        FDC.ScaleWindowExt(xn, xd, yn, yd);
      else
        FDC.ScaleViewportExt(xn, xd, yn, yd);
      return true;
    }
    case EMR_SETWORLDTRANSFORM:
      if (Fits(0, Transform::SetSize))
        FDC.SetWorldTransform(Xform(Transform::Xform));
      return true;
    case EMR_MODIFYWORLDTRANSFORM:
      if (Fits(0, Transform::ModifySize))
        FDC.ModifyWorldTransform(Xform(Transform::Xform), R.U32(Transform::Mode));
      return true;
    default: return false;
    }
  }

  TAffine Xform(std::size_t at) const {
    return {R.F32(at), R.F32(at + 4), R.F32(at + 8), R.F32(at + 12), R.F32(at + 16), R.F32(at + 20)};
  }

  bool Objects(std::uint32_t type) {
    switch (type) {
    case EMR_SELECTOBJECT: {
      const std::uint32_t index = R.U32(ParamOffset);
      if (index & StockObjectFlag)
        FDC.SelectStockObject(index & ~StockObjectFlag);
      else
        FDC.SelectObject(index);
      return true;
    }
    case EMR_DELETEOBJECT: FDC.DeleteObject(R.U32(ParamOffset)); return true;
    case EMR_CREATEPEN: CreatePen(); return true;
    case EMR_EXTCREATEPEN: ExtCreatePen(); return true;
    case EMR_CREATEBRUSHINDIRECT: CreateBrush(); return true;
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT: PatternBrush(); return true;
    case EMR_EXTCREATEFONTINDIRECTW: CreateFont(); return true;
    case EMR_CREATEPALETTE:
    case EMR_CREATECOLORSPACE:
    case EMR_CREATECOLORSPACEW: {
      TMetaObject other;
      other.Kind = TMetaObjectKind::Other;
      if (Fits(ParamOffset, 4))
        Create(R.U32(ParamOffset), other);
      return true;
    }
    default: return false;
    }
  }

  void CreatePen() {
    if (!Fits(0, CreatePen::Size))
      return;
    TMetaObject object;
    object.Kind = TMetaObjectKind::Pen;
    const std::int32_t width = R.I32(CreatePen::Width);
    object.Pen = PenOfStyle(R.U32(CreatePen::Style), width, false, R.U32(CreatePen::Color));
    Create(R.U32(CreatePen::Index), object);
  }

  void ExtCreatePen() {
    if (!Fits(0, ExtCreatePen::Size))
      return;
    const std::uint32_t style = R.U32(ExtCreatePen::Style);
    const bool geometric = (style & Gdi::PS_TYPE_MASK) == Gdi::PS_GEOMETRIC;
    TMetaObject object;
    object.Kind = TMetaObjectKind::Pen;
    object.Pen = PenOfStyle(style, R.U32(ExtCreatePen::Width), !geometric, R.U32(ExtCreatePen::Color));
    if (R.U32(ExtCreatePen::BrushStyle) == Gdi::BS_NULL)
      object.Pen.Style = psClear;
    Create(R.U32(ExtCreatePen::Index), object);
  }

  void CreateBrush() {
    if (!Fits(0, CreateBrush::Size))
      return;
    TMetaObject object;
    object.Kind = TMetaObjectKind::Brush;
    object.Brush = BrushOfStyle(R.U32(CreateBrush::Style), R.U32(CreateBrush::Color), R.U32(CreateBrush::Hatch));
    Create(R.U32(CreateBrush::Index), object);
  }

  // A bitmap brush paints as the bitmap's average colour: the canvas's brushes are solid or hatched.
  void PatternBrush() {
    if (!Fits(0, PatternBrush::Size))
      return;
    TMetaObject object;
    object.Kind = TMetaObjectKind::Brush;
    const auto image = Image(R.U32(PatternBrush::BmiOffset), R.U32(PatternBrush::BmiSize),
                             R.U32(PatternBrush::BitsOffset), R.U32(PatternBrush::BitsSize));
    object.Brush = {bsSolid, image ? AverageColor(*image) : clGray};
    Create(R.U32(PatternBrush::Index), object);
  }

  void CreateFont() {
    constexpr std::size_t at = CreateFont::LogFont;
    if (!Fits(0, CreateFont::Size))
      return;
    TMetaObject object;
    object.Kind = TMetaObjectKind::Font;
    TMetaFont &font = object.Font;
    font.Height = R.I32(at + LogFont::Height);
    font.Escapement = R.I32(at + LogFont::Escapement);
    font.Style = FontStyles(R.I32(at + LogFont::Weight), R.U8(at + LogFont::Italic), R.U8(at + LogFont::Underline),
                            R.U8(at + LogFont::StrikeOut));
    font.Name = Utf16ToUtf8(R, at + LogFont::FaceName, LogFont::FaceNameChars, true);
    if (font.Name.empty())
      font.Name = "Sans";
    Create(R.U32(CreateFont::Index), object);
  }

  bool PathRecord(std::uint32_t type) {
    switch (type) {
    case EMR_BEGINPATH: FDC.BeginPath(); return true;
    case EMR_ENDPATH: FDC.EndPath(); return true;
    case EMR_CLOSEFIGURE: FDC.CloseFigure(); return true;
    case EMR_FILLPATH: FDC.FillPath(); return true;
    case EMR_STROKEPATH: FDC.StrokePath(); return true;
    case EMR_STROKEANDFILLPATH: FDC.StrokeAndFillPath(); return true;
    case EMR_ABORTPATH: FDC.AbortPath(); return true;
    default: return false;
    }
  }

  void Text(bool wide) {
    if (!Fits(0, ExtTextOut::Size))
      return;
    const std::uint32_t options = R.U32(ExtTextOut::Options), chars = R.U32(ExtTextOut::Chars);
    const std::uint32_t stringAt = R.U32(ExtTextOut::StringOffset);
    const TRectF rect = R.Rect32(ExtTextOut::Rect);
    const bool hasRect = (options & (Gdi::ETO_OPAQUE | Gdi::ETO_CLIPPED)) != 0;
    std::string text;
    // Glyph indexes name shapes of one particular font file, which no other font shares.
    if (!(options & Gdi::ETO_GLYPH_INDEX) && Fits(stringAt, std::uint64_t{chars} * (wide ? 2 : 1)))
      text = wide ? Utf16ToUtf8(R, stringAt, chars, false) : AnsiToUtf8(R, stringAt, chars, false);
    FDC.TextOut(R.Point32(ExtTextOut::Reference), text, hasRect ? &rect : nullptr, (options & Gdi::ETO_OPAQUE) != 0,
                (options & Gdi::ETO_CLIPPED) != 0);
  }

  void Blit(bool stretch) {
    if (!Fits(0, stretch ? BitBlt::StretchSize : BitBlt::Size))
      return;
    const double x = R.I32(BitBlt::XDest), y = R.I32(BitBlt::YDest);
    const TRectF box{x, y, x + R.I32(BitBlt::CxDest), y + R.I32(BitBlt::CyDest)};
    if (R.U32(BitBlt::BmiSize) == 0) {
      FDC.PatBlt(box, R.U32(BitBlt::Rop));
      return;
    }
    auto image =
        Image(R.U32(BitBlt::BmiOffset), R.U32(BitBlt::BmiSize), R.U32(BitBlt::BitsOffset), R.U32(BitBlt::BitsSize));
    if (!image)
      return;
    const int sw = stretch ? R.I32(BitBlt::CxSrc) : R.I32(BitBlt::CxDest);
    const int sh = stretch ? R.I32(BitBlt::CySrc) : R.I32(BitBlt::CyDest);
    FDC.DrawImage(box, *image, R.I32(BitBlt::XSrc), R.I32(BitBlt::YSrc), sw, sh);
  }

  // Regions as their rectangles, in logical units: filled with a brush of the table (FILLRGN,
  // FRAMERGN) or the selected one (PAINTRGN); a frame is the rectangles' edges.
  void Region(std::uint32_t type) {
    const bool paint = type == EMR_PAINTRGN;
    const std::size_t dataAt = paint ? FillRgn::Brush : type == EMR_FRAMERGN ? FillRgn::Data + 8 : FillRgn::Data;
    const std::uint32_t dataSize = R.U32(FillRgn::DataSize);
    if (!Fits(dataAt, dataSize) || !Usable(dataSize >= RgnData::HeaderSize, "its region has no header"))
      return;
    const std::uint64_t count = R.U32(dataAt + RgnData::Count);
    if (!Usable(count <= (dataSize - RgnData::HeaderSize) / 16, "its region holds fewer rectangles than it counts"))
      return;
    const std::uint32_t index = R.U32(FillRgn::Brush);
    const TMetaBrush *brush =
        paint ? nullptr : FDC.BrushObject(index & ~StockObjectFlag, (index & StockObjectFlag) != 0);
    if (!paint && !brush)
      return;
    const double frameX = type == EMR_FRAMERGN ? R.I32(FillRgn::Data) : 0;
    const double frameY = type == EMR_FRAMERGN ? R.I32(FillRgn::Data + 4) : 0;
    for (std::size_t i = 0; i < count; ++i) {
      const TRectF r = R.Rect32(dataAt + RgnData::HeaderSize + 16 * i);
      if (type != EMR_FRAMERGN) {
        FDC.FillBox(r, brush);
        continue;
      }
      FDC.FillBox({r.Left, r.Top, r.Right, r.Top + frameY}, brush);
      FDC.FillBox({r.Left, r.Bottom - frameY, r.Right, r.Bottom}, brush);
      FDC.FillBox({r.Left, r.Top, r.Left + frameX, r.Bottom}, brush);
      FDC.FillBox({r.Right - frameX, r.Top, r.Right, r.Bottom}, brush);
    }
  }

  // Rectangle gradients in strips of a logical unit; triangles in the average of their corners.
  void Gradient() {
    constexpr std::size_t VertexSize = 16, Vertices = 24, Count = 28, Mode = 32, First = 36;
    constexpr std::uint32_t Horizontal = 0, Vertical = 1, Triangle = 2;
    // Strips a record may draw in all; past them shapes fill in their average colour.
    std::uint64_t budget = 65536;
    const std::uint64_t vertices = R.U32(Vertices), count = R.U32(Count);
    const std::uint32_t mode = R.U32(Mode);
    const std::size_t shapesAt =
        First + static_cast<std::size_t>(std::min<std::uint64_t>(vertices, R.Size)) * VertexSize;
    if (!Fits(First, vertices * VertexSize) || !Fits(shapesAt, count * (mode == Triangle ? 12 : 8)))
      return;
    auto color = [&](std::uint64_t v, double weight) {
      const std::size_t at = First + static_cast<std::size_t>(v) * VertexSize + 8;
      return std::array<double, 3>{R.U16(at) / 256.0 * weight, R.U16(at + 2) / 256.0 * weight,
                                   R.U16(at + 4) / 256.0 * weight};
    };
    auto toColor = [](const std::array<double, 3> &c) {
      auto channel = [](double v) { return static_cast<TColor>(std::clamp(v, 0.0, 255.0) + 0.5); };
      return channel(c[0]) | channel(c[1]) << 8 | channel(c[2]) << 16;
    };
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t at = shapesAt + i * (mode == Triangle ? 12 : 8);
      const std::uint32_t a = R.U32(at), b = R.U32(at + 4), c = mode == Triangle ? R.U32(at + 8) : 0;
      if (!Usable(a < vertices && b < vertices && c < vertices, "its shape names a vertex it does not have"))
        return;
      const TPointF pa = R.Point32(First + a * VertexSize), pb = R.Point32(First + b * VertexSize);
      if (mode == Triangle) {
        const TPointF pc = R.Point32(First + c * VertexSize);
        std::array<double, 3> sum = color(a, 1.0 / 3);
        for (std::uint32_t v : {b, c})
          for (int k = 0; k < 3; ++k)
            sum[k] += color(v, 1.0 / 3)[k];
        const TMetaBrush brush{bsSolid, toColor(sum)};
        FDC.FillPolygon(std::array{pa, pb, pc}, brush);
        continue;
      }
      if (mode != Horizontal && mode != Vertical)
        return;
      const double from = mode == Horizontal ? pa.X : pa.Y, to = mode == Horizontal ? pb.X : pb.Y;
      const auto strips = static_cast<std::uint64_t>(std::clamp(std::abs(to - from), 1.0, double(budget)));
      budget -= strips - 1;
      for (std::uint64_t s = 0; s < strips; ++s) {
        const double t = (s + 0.5) / strips;
        std::array<double, 3> mix = color(a, 1 - t);
        for (int k = 0; k < 3; ++k)
          mix[k] += color(b, t)[k];
        const double lo = from + (to - from) * s / strips, hi = from + (to - from) * (s + 1) / strips;
        const TMetaBrush brush{bsSolid, toColor(mix)};
        FDC.FillBox(mode == Horizontal ? TRectF{lo, pa.Y, hi, pb.Y} : TRectF{pa.X, lo, pb.X, hi}, &brush);
      }
    }
  }

  void StretchDIBits() {
    using namespace Emf::StretchDIBits;
    if (!Fits(0, Size))
      return;
    auto image = Image(R.U32(BmiOffset), R.U32(BmiSize), R.U32(BitsOffset), R.U32(BitsSize));
    const double x = R.I32(XDest), y = R.I32(YDest);
    const TRectF box{x, y, x + R.I32(CxDest), y + R.I32(CyDest)};
    if (!image) {
      FDC.PatBlt(box, R.U32(Rop));
      return;
    }
    const int sh = R.I32(CySrc);
    FDC.DrawImage(box, *image, R.I32(XSrc), TopOfSource(*image, R.I32(YSrc), sh), R.I32(CxSrc), sh);
  }

  void SetDIBitsToDevice() {
    using namespace Emf::SetDIBitsToDevice;
    if (!Fits(0, Size))
      return;
    auto image = Image(R.U32(BmiOffset), R.U32(BmiSize), R.U32(BitsOffset), R.U32(BitsSize));
    if (!image)
      return;
    const double x = R.I32(XDest), y = R.I32(YDest);
    const int sw = R.I32(CxSrc), sh = R.I32(CySrc);
    const TRectF box{x, y, x + sw, y + sh};
    FDC.DrawImage(box, *image, R.I32(XSrc), TopOfSource(*image, R.I32(YSrc), sh), sw, sh);
  }
};

// Reference devices claiming no size at all are taken as a 96-pixels-per-inch screen.
double PixelsPerMm(std::int32_t pixels, std::int32_t millimeters) {
  return pixels > 0 && millimeters > 0 ? double(pixels) / millimeters : 96 / 25.4;
}

void CheckRecords(const TRecordReader &file, std::size_t at) {
  std::size_t index = 1;
  while (file.Has(at, RecordHeaderSize)) {
    const std::uint32_t type = file.U32(at), size = file.U32(at + RecordSizeOffset);
    if (size < RecordHeaderSize)
      Fail("record " + Offset(index) + " (type " + Offset(type) + ") at offset " + Offset(at) + " has a size of " +
           Offset(size) + " bytes");
    if (!file.Has(at, size))
      Fail("record " + Offset(index) + " (type " + Offset(type) + ") at offset " + Offset(at) + " of " + Offset(size) +
           " bytes runs past the end of the file (" + Offset(file.Size) + " bytes)");
    if (type == EMR_HEADER)
      Fail("a second header at offset " + Offset(at));
    if (type == EMR_EOF)
      return;
    at += size;
    ++index;
  }
}

} // namespace

TEmfInfo ReadEmfHeader(const TRecordReader &file) {
  if (file.Size < Header::BaseSize)
    Fail(file.Size == 0 ? "file is empty" : "file of " + Offset(file.Size) + " bytes is too short for a header");
  if (file.U32(RecordTypeOffset) != EMR_HEADER || file.U32(Header::Signature) != Header::SignatureValue)
    Fail("not an enhanced metafile (no header record)");
  const std::uint32_t headerSize = file.U32(RecordSizeOffset);
  if (headerSize < Header::BaseSize || !file.Has(0, headerSize))
    Fail("bad header size " + Offset(headerSize));
  TEmfInfo info;
  info.HeaderSize = headerSize;
  info.Handles = file.U16(Header::Handles);
  info.PixelsPerMmX = PixelsPerMm(file.I32(Header::DevicePixels), file.I32(Header::DeviceMillimeters));
  info.PixelsPerMmY = PixelsPerMm(file.I32(Header::DevicePixels + 4), file.I32(Header::DeviceMillimeters + 4));
  // The frame (0.01 mm) in reference pixels, rounded so that a frame written from whole pixels
  // reads back as those pixels.
  const TRectF frame = file.Rect32(Header::Frame);
  info.Frame = {double(Round(frame.Left * info.PixelsPerMmX / 100)), double(Round(frame.Top * info.PixelsPerMmY / 100)),
                double(Round(frame.Right * info.PixelsPerMmX / 100)),
                double(Round(frame.Bottom * info.PixelsPerMmY / 100))};
  if (info.Frame.Right < info.Frame.Left || info.Frame.Bottom < info.Frame.Top) {
    // Some writers leave the frame empty; the bounds then say where the drawing is.
    const TRectF bounds = file.Rect32(Header::Bounds);
    if (bounds.Right < bounds.Left || bounds.Bottom < bounds.Top)
      Fail("the frame and the bounds are both empty");
    info.Frame = bounds;
  }
  CheckRecords(file, headerSize);
  return info;
}

void PlayEmf(const TRecordReader &file, const TEmfInfo &info, TMetafileDC &dc, bool strict) {
  TEmfPlayer(file, dc, strict).Play(info.HeaderSize);
}

} // namespace Platform
