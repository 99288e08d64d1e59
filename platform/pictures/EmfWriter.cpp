#include <platform/pictures/EmfWriter.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <platform/fonts/FontEngine.h>
#include <platform/fonts/Utf8.h>
#include <platform/pictures/MetafileRecords.h>
#include <platform/rtl/AtomicFile.h>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Rtl.h>

// The layouts follow the published enhanced metafile format; MetafileRecords.h names
// the offsets the player reads.

namespace Platform {

namespace {

using namespace Gdi;

constexpr std::uint32_t COLORONCOLOR = 3;
constexpr std::uint8_t DEFAULT_CHARSET = 1;
constexpr std::int32_t FW_NORMAL = 400;
constexpr std::int32_t FW_BOLD = 700;
constexpr std::uint32_t FormatLimit = UINT32_MAX;

[[noreturn]] void TooLarge() { throw EInvalidGraphic("EMF: the picture needs more than the format's 4 GB"); }

void StoreU32(std::uint8_t *at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

int Saturate(std::int64_t value) { return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX)); }

std::uint32_t ColorRef(TColor color) { return static_cast<std::uint32_t>(ColorToRGB(color)) & ColorRefRgbMask; }

// Little-endian records, each padded to a multiple of four bytes and sized when it ends.
class TRecordBuffer {
public:
  void Begin(std::uint32_t type) {
    FStart = FBytes.size();
    U32(type);
    U32(0);
  }
  void End() {
    FBytes.resize((FBytes.size() + 3) & ~std::size_t{3}, 0);
    if (FBytes.size() > FormatLimit)
      TooLarge();
    Patch(FStart + Emf::RecordSizeOffset, static_cast<std::uint32_t>(FBytes.size() - FStart));
    ++FRecords;
  }
  // Bytes written since the current record began.
  std::uint32_t InRecord() const { return static_cast<std::uint32_t>(FBytes.size() - FStart); }

  std::uint8_t *Grow(std::size_t count) {
    const std::size_t at = FBytes.size();
    if (count > FormatLimit - std::min<std::size_t>(at, FormatLimit))
      TooLarge();
    FBytes.resize(at + count);
    return FBytes.data() + at;
  }
  void U8(std::uint8_t value) { FBytes.push_back(value); }
  void U16(std::uint16_t value) {
    U8(static_cast<std::uint8_t>(value));
    U8(static_cast<std::uint8_t>(value >> 8));
  }
  void U32(std::uint32_t value) { StoreU32(Grow(4), value); }
  void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
  void Float(float value) { U32(std::bit_cast<std::uint32_t>(value)); }
  void Point(TPoint p) {
    I32(p.X);
    I32(p.Y);
  }
  void Rect(const TRect &r) {
    I32(r.Left);
    I32(r.Top);
    I32(r.Right);
    I32(r.Bottom);
  }
  void Bytes(const std::uint8_t *data, std::size_t count) {
    if (count > 0)
      std::memcpy(Grow(count), data, count);
  }
  void Patch(std::size_t at, std::uint32_t value) { StoreU32(FBytes.data() + at, value); }

  std::uint32_t Records() const { return FRecords; }
  std::vector<std::uint8_t> Take() { return std::move(FBytes); }

private:
  std::vector<std::uint8_t> FBytes;
  std::size_t FStart = 0;
  std::uint32_t FRecords = 0;
};

// The inclusive bounds of a figure, as records carry them.
TRect InclusiveBounds(std::span<const TPoint> points) {
  TRect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (const TPoint p : points) {
    r.Left = std::min(r.Left, p.X);
    r.Top = std::min(r.Top, p.Y);
    r.Right = std::max(r.Right, p.X);
    r.Bottom = std::max(r.Bottom, p.Y);
  }
  return r;
}

TRect InclusiveBox(const TRect &box) {
  return {box.Left, box.Top, Saturate(std::int64_t{box.Right} - 1), Saturate(std::int64_t{box.Bottom} - 1)};
}

bool Fits16(std::span<const TPoint> points) {
  return std::all_of(points.begin(), points.end(), [](TPoint p) {
    return p.X >= INT16_MIN && p.X <= INT16_MAX && p.Y >= INT16_MIN && p.Y <= INT16_MAX;
  });
}

constexpr std::array<std::uint32_t, 16> Rop2OfPenMode = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                                                         R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                                                         R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                                                         R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};

// Wide pens draw solid whatever their style, as our canvas and the platform's CreatePen agree.
std::uint32_t PenStyleOf(const TPenState &pen) {
  switch (pen.Style) {
  case psSolid: return PS_SOLID;
  case psDash: return pen.Width > 1 ? PS_SOLID : PS_DASH;
  case psDot: return pen.Width > 1 ? PS_SOLID : PS_DOT;
  case psDashDot: return pen.Width > 1 ? PS_SOLID : PS_DASHDOT;
  case psDashDotDot: return pen.Width > 1 ? PS_SOLID : PS_DASHDOTDOT;
  case psClear: return PS_NULL;
  case psInsideFrame: return PS_INSIDEFRAME;
  }
  return PS_SOLID;
}

// Only the pattern of a cosmetic dashed pen depends on where a line starts in it.
bool Patterned(const TPenState &pen) {
  const std::uint32_t style = PenStyleOf(pen);
  return style >= PS_DASH && style <= PS_DASHDOTDOT;
}

std::uint32_t HatchOf(TBrushStyle style) {
  switch (style) {
  case bsHorizontal: return HS_HORIZONTAL;
  case bsVertical: return HS_VERTICAL;
  case bsFDiagonal: return HS_FDIAGONAL;
  case bsBDiagonal: return HS_BDIAGONAL;
  case bsCross: return HS_CROSS;
  case bsDiagCross: return HS_DIAGCROSS;
  default: return 0;
  }
}

// The UTF-16 form of UTF-8 text whose stray bytes are Latin-1, as the font engine reads it.
std::u16string Utf16(std::string_view text) {
  std::u16string units;
  units.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const char32_t c = Fonts::NextCodePoint(text, pos);
    if (c >= 0x10000) {
      units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(c));
    }
  }
  return units;
}

enum class TObjectKind : std::uint8_t { Pen, Brush, Font };

// What creates an object: its record type and the bytes after the handle. Two states needing the
// same bytes share the object.
struct TObjectBody {
  TObjectKind Kind = TObjectKind::Pen;
  std::uint32_t RecordType = 0;
  std::uint32_t Length = 0;
  std::array<std::uint8_t, Emf::LogFont::Size> Bytes{};
  friend bool operator==(const TObjectBody &, const TObjectBody &) = default;

  void Put32(std::uint32_t value) {
    StoreU32(Bytes.data() + Length, value);
    Length += 4;
  }
};

TObjectBody PenBody(const TPenState &pen) {
  TObjectBody body{TObjectKind::Pen, Emf::EMR_CREATEPEN};
  body.Put32(PenStyleOf(pen));
  body.Put32(static_cast<std::uint32_t>(std::max(pen.Width, 0)));
  body.Put32(0);
  body.Put32(ColorRef(pen.Color));
  return body;
}

TObjectBody BrushBody(const TBrushState &brush) {
  TObjectBody body{TObjectKind::Brush, Emf::EMR_CREATEBRUSHINDIRECT};
  body.Put32(brush.Style == bsSolid ? BS_SOLID : BS_HATCHED);
  body.Put32(ColorRef(brush.Color));
  body.Put32(HatchOf(brush.Style));
  return body;
}

// The logical font: a height in pixels (negative: the em height the size in points gives at the
// picture's resolution), the styles, the escapement as the angle of both baseline and glyphs.
TObjectBody FontBody(const TFontSpec &font, int pixelsPerInch) {
  namespace L = Emf::LogFont;
  TObjectBody body{TObjectKind::Font, Emf::EMR_EXTCREATEFONTINDIRECTW};
  std::uint8_t *const f = body.Bytes.data();
  body.Length = L::Size;
  const int height = font.Height != 0 ? font.Height : -PointsToPixels(font.Size, pixelsPerInch);
  StoreU32(f + L::Height, static_cast<std::uint32_t>(height));
  StoreU32(f + L::Escapement, static_cast<std::uint32_t>(font.Escapement));
  StoreU32(f + L::Orientation, static_cast<std::uint32_t>(font.Escapement));
  StoreU32(f + L::Weight, static_cast<std::uint32_t>(font.Style.Contains(fsBold) ? FW_BOLD : FW_NORMAL));
  f[L::Italic] = font.Style.Contains(fsItalic);
  f[L::Underline] = font.Style.Contains(fsUnderline);
  f[L::StrikeOut] = font.Style.Contains(fsStrikeOut);
  f[L::CharSet] = DEFAULT_CHARSET;
  const std::u16string name = Utf16(font.Name);
  // The last unit stays the terminating NUL.
  const std::size_t kept = std::min<std::size_t>(name.size(), L::FaceNameChars - 1);
  for (std::size_t i = 0; i < kept; ++i) {
    f[L::FaceName + 2 * i] = static_cast<std::uint8_t>(name[i]);
    f[L::FaceName + 2 * i + 1] = static_cast<std::uint8_t>(name[i] >> 8);
  }
  return body;
}

// What the player's device context holds, as far as the writer has set it.
struct TDcState {
  std::uint32_t Pen = Emf::StockObjectFlag | BLACK_PEN;
  std::uint32_t Brush = Emf::StockObjectFlag | WHITE_BRUSH;
  std::uint32_t Font = Emf::StockObjectFlag | SYSTEM_FONT;
  std::uint32_t Rop2 = R2_COPYPEN;
  std::uint32_t BkMode = OPAQUE;
  std::uint32_t BkColor = 0xFFFFFF;
  std::uint32_t TextColor = 0;
  // The pen position and the dash phase a line drawn from it continues, when known.
  std::optional<TPoint> Position;
  int Phase = 0;

  std::uint32_t &Selected(TObjectKind kind) {
    return kind == TObjectKind::Pen ? Pen : kind == TObjectKind::Brush ? Brush : Font;
  }
};

struct TCachedObject {
  TObjectBody Body;
  std::uint32_t Handle = 0;
  std::uint64_t LastUse = 0;
};

class TEmfEncoder {
public:
  TEmfEncoder(int width, int height, int pixelsPerInch) : FPicture{0, 0, width, height}, FPixelsPerInch(pixelsPerInch) {
    WriteHeader();
    Param(Emf::EMR_SETMAPMODE, MM_TEXT);
    Param(Emf::EMR_SETSTRETCHBLTMODE, COLORONCOLOR);
  }

  void Add(const TRecordedCall &call);
  std::vector<std::uint8_t> Finish();

private:
  void WriteHeader();
  void Param(std::uint32_t type, std::uint32_t value) {
    FOut.Begin(type);
    FOut.U32(value);
    FOut.End();
  }
  void PointRecord(std::uint32_t type, TPoint p) {
    FOut.Begin(type);
    FOut.Point(p);
    FOut.End();
  }
  void BoxRecord(std::uint32_t type, const TRect &box) {
    FOut.Begin(type);
    FOut.Rect(box);
    FOut.End();
  }

  // The state's pieces, each written only when it changes.
  bool UseClip(const TRect &clip);
  void UsePen(const TPenState &pen);
  void UseBrush(const TBrushState &brush);
  void UseFont(const TFontSpec &font);
  void UseRop2(TPenMode mode) { Set(FDc.Rop2, Emf::EMR_SETROP2, Rop2OfPenMode[static_cast<std::size_t>(mode) & 15]); }
  void UseBkMode(std::uint32_t mode) { Set(FDc.BkMode, Emf::EMR_SETBKMODE, mode); }
  void Set(std::uint32_t &field, std::uint32_t type, std::uint32_t value) {
    if (field != value) {
      Param(type, value);
      field = value;
    }
  }
  void Select(TObjectKind kind, std::uint32_t handle) { Set(FDc.Selected(kind), Emf::EMR_SELECTOBJECT, handle); }
  std::uint32_t Acquire(const TObjectBody &body);
  void Evict(TObjectKind kind);
  std::uint32_t NewHandle();
  void Delete(std::size_t cacheIndex);
  bool Pinned(const TCachedObject &object);

  // Pen, brush, mode and clip for a figure; false when the clip leaves nothing to draw.
  bool PrepareOutline(const TDrawState &state);
  bool PrepareFigure(const TDrawState &state);

  TPoint Device(TPoint p) const {
    return {Saturate(std::int64_t{p.X} + FOrigin.X), Saturate(std::int64_t{p.Y} + FOrigin.Y)};
  }
  TRect Device(const TRect &r) const {
    const TPoint a = Device(TPoint{r.Left, r.Top}), b = Device(TPoint{r.Right, r.Bottom});
    return {a.X, a.Y, b.X, b.Y};
  }
  void DevicePoints(std::span<const TPoint> points);

  void Line(const TRecordedCall &call);
  void Poly(std::uint32_t type16, std::uint32_t type32);
  void Polyline(const TRecordedCall &call);
  void Box(std::uint32_t type, const TRecordedCall &call);
  void Arc(const TRecordedCall &call);
  void FillRect(const TRecordedCall &call);
  void SetPixel(const TRecordedCall &call);
  void Image(const TRecordedCall &call);
  void Text(const TRecordedCall &call);

  TRecordBuffer FOut;
  TRect FPicture;
  int FPixelsPerInch;
  TPoint FOrigin;
  TDcState FDc;
  // The state saved before the clip rectangle in force was intersected.
  std::optional<TDcState> FSaved;
  std::optional<TRect> FClip;
  std::vector<TCachedObject> FCache;
  std::vector<bool> FHandleUsed{true}; // handle 0 is the metafile's own
  std::uint64_t FClock = 0;
  std::vector<TPoint> FPoints;
};

void TEmfEncoder::WriteHeader() {
  namespace H = Emf::Header;
  const int w = FPicture.Right, h = FPicture.Bottom;
  // A reference device whose pixels per millimetre are exactly the picture's, large enough to
  // hold it, so that readers converting between the frame and pixels find no rounding.
  const std::int64_t tenInches = std::int64_t{10} * FPixelsPerInch;
  const std::int64_t blocks = std::max<std::int64_t>(1, (std::max(w, h) + tenInches - 1) / tenInches);
  const auto hundredths = [&](int pixels) { return static_cast<int>(Round((pixels - 1) * 2540.0 / FPixelsPerInch)); };
  static constexpr char16_t Description[] = u"velgraph\0picture\0";
  constexpr std::uint32_t descriptionChars = sizeof Description / sizeof Description[0];

  FOut.Begin(Emf::EMR_HEADER);
  FOut.Rect({0, 0, w - 1, h - 1});
  FOut.Rect({0, 0, hundredths(w), hundredths(h)});
  FOut.U32(H::SignatureValue);
  FOut.U32(H::VersionValue);
  FOut.U32(0); // bytes, known at the end
  FOut.U32(0); // records
  FOut.U16(0); // handles
  FOut.U16(0);
  FOut.U32(descriptionChars);
  FOut.U32(H::Extension2Size);
  FOut.U32(0); // palette entries
  FOut.I32(Saturate(tenInches * blocks));
  FOut.I32(Saturate(tenInches * blocks));
  FOut.I32(Saturate(254 * blocks));
  FOut.I32(Saturate(254 * blocks));
  FOut.U32(0); // no pixel format
  FOut.U32(0);
  FOut.U32(0); // no OpenGL records
  FOut.I32(Saturate(254000 * blocks));
  FOut.I32(Saturate(254000 * blocks));
  for (const char16_t unit : Description)
    FOut.U16(unit);
  FOut.End();
}

std::uint32_t TEmfEncoder::NewHandle() {
  const auto free = std::find(FHandleUsed.begin(), FHandleUsed.end(), false);
  const auto handle = static_cast<std::uint32_t>(free - FHandleUsed.begin());
  if (free == FHandleUsed.end())
    FHandleUsed.push_back(true);
  else
    *free = true;
  return handle;
}

bool TEmfEncoder::Pinned(const TCachedObject &object) {
  const TObjectKind kind = object.Body.Kind;
  return FDc.Selected(kind) == object.Handle || (FSaved && FSaved->Selected(kind) == object.Handle);
}

void TEmfEncoder::Delete(std::size_t cacheIndex) {
  const std::uint32_t handle = FCache[cacheIndex].Handle;
  Param(Emf::EMR_DELETEOBJECT, handle);
  FHandleUsed[handle] = false;
  FCache.erase(FCache.begin() + static_cast<std::ptrdiff_t>(cacheIndex));
}

// Makes room for one more object of the kind by deleting its least recently used one that no
// device context state (current or saved) has selected.
void TEmfEncoder::Evict(TObjectKind kind) {
  std::size_t count = 0, oldest = FCache.size();
  for (std::size_t i = 0; i < FCache.size(); ++i) {
    if (FCache[i].Body.Kind != kind)
      continue;
    ++count;
    if (!Pinned(FCache[i]) && (oldest == FCache.size() || FCache[i].LastUse < FCache[oldest].LastUse))
      oldest = i;
  }
  if (count >= static_cast<std::size_t>(TEmfWriter::CachedObjectsPerKind) && oldest < FCache.size())
    Delete(oldest);
}

std::uint32_t TEmfEncoder::Acquire(const TObjectBody &body) {
  for (TCachedObject &object : FCache)
    if (object.Body == body) {
      object.LastUse = ++FClock;
      return object.Handle;
    }
  Evict(body.Kind);
  const std::uint32_t handle = NewHandle();
  FOut.Begin(body.RecordType);
  FOut.U32(handle);
  FOut.Bytes(body.Bytes.data(), body.Length);
  FOut.End();
  FCache.push_back({body, handle, ++FClock});
  return handle;
}

void TEmfEncoder::UsePen(const TPenState &pen) {
  Select(TObjectKind::Pen, pen.Style == psClear ? Emf::StockObjectFlag | NULL_PEN : Acquire(PenBody(pen)));
}

void TEmfEncoder::UseBrush(const TBrushState &brush) {
  Select(TObjectKind::Brush, brush.Style == bsClear ? Emf::StockObjectFlag | NULL_BRUSH : Acquire(BrushBody(brush)));
}

void TEmfEncoder::UseFont(const TFontSpec &font) { Select(TObjectKind::Font, Acquire(FontBody(font, FPixelsPerInch))); }

// The clip in force is a saved device context with the rectangle intersected; a new rectangle
// restores the saved context first, which also restores the objects and modes it held.
bool TEmfEncoder::UseClip(const TRect &clip) {
  const TRect visible = IntersectRect(clip, FPicture);
  if (visible.IsEmpty())
    return false;
  const std::optional<TRect> wanted = visible == FPicture ? std::nullopt : std::optional<TRect>(visible);
  if (wanted == FClip)
    return true;
  if (FClip) {
    Param(Emf::EMR_RESTOREDC, static_cast<std::uint32_t>(-1));
    FDc = *FSaved;
    FSaved.reset();
    // A player need not restore the pen position with the context.
    FDc.Position.reset();
  }
  if (wanted) {
    FOut.Begin(Emf::EMR_SAVEDC);
    FOut.End();
    FSaved = FDc;
    BoxRecord(Emf::EMR_INTERSECTCLIPRECT, *wanted);
  }
  FClip = wanted;
  return true;
}

bool TEmfEncoder::PrepareOutline(const TDrawState &state) {
  if (!UseClip(state.Clip))
    return false;
  UsePen(state.Pen);
  UseRop2(state.Pen.Mode);
  // Gaps in dashes and between hatch lines show what is under them.
  UseBkMode(TRANSPARENT);
  return true;
}

bool TEmfEncoder::PrepareFigure(const TDrawState &state) {
  if (!PrepareOutline(state))
    return false;
  UseBrush(state.Brush);
  return true;
}

void TEmfEncoder::DevicePoints(std::span<const TPoint> points) {
  FPoints.clear();
  for (const TPoint p : points)
    FPoints.push_back(Device(p));
}

void TEmfEncoder::Line(const TRecordedCall &call) {
  if (!PrepareOutline(call.State)) {
    FDc.Position.reset();
    return;
  }
  const TPoint a = Device(call.Points[0]), b = Device(call.Points[1]);
  const int phase = (call.DashPhase % DashPhaseModulus + DashPhaseModulus) % DashPhaseModulus;
  const bool continues = FDc.Position == a && (!Patterned(call.State.Pen) || FDc.Phase == phase);
  if (!continues) {
    PointRecord(Emf::EMR_MOVETOEX, a);
    FDc.Phase = 0;
  }
  PointRecord(Emf::EMR_LINETO, b);
  FDc.Position = b;
  FDc.Phase = DashPhaseAfter(FDc.Phase, a, b);
}

// The points in FPoints, in 16-bit form when they all fit.
void TEmfEncoder::Poly(std::uint32_t type16, std::uint32_t type32) {
  const bool narrow = Fits16(FPoints);
  FOut.Begin(narrow ? type16 : type32);
  FOut.Rect(InclusiveBounds(FPoints));
  FOut.U32(static_cast<std::uint32_t>(FPoints.size()));
  for (const TPoint p : FPoints) {
    if (narrow) {
      FOut.U16(static_cast<std::uint16_t>(p.X));
      FOut.U16(static_cast<std::uint16_t>(p.Y));
    } else {
      FOut.Point(p);
    }
  }
  FOut.End();
}

// A polyline from the pen position, which it leaves on its last point, so that a line drawn on
// from there continues its dash pattern as it did on the canvas.
void TEmfEncoder::Polyline(const TRecordedCall &call) {
  if (!PrepareOutline(call.State)) {
    FDc.Position.reset();
    return;
  }
  DevicePoints(call.Points);
  if (FDc.Position != FPoints.front())
    PointRecord(Emf::EMR_MOVETOEX, FPoints.front());
  int phase = 0;
  for (std::size_t i = 1; i < FPoints.size(); ++i)
    phase = DashPhaseAfter(phase, FPoints[i - 1], FPoints[i]);
  FDc.Position = FPoints.back();
  FDc.Phase = phase;
  FPoints.erase(FPoints.begin());
  Poly(Emf::EMR_POLYLINETO16, Emf::EMR_POLYLINETO);
}

void TEmfEncoder::Box(std::uint32_t type, const TRecordedCall &call) {
  if (PrepareFigure(call.State))
    BoxRecord(type, Device(call.Box));
}

void TEmfEncoder::Arc(const TRecordedCall &call) {
  if (!PrepareOutline(call.State))
    return;
  FOut.Begin(Emf::EMR_ARC);
  FOut.Rect(Device(call.Box));
  FOut.Point(Device(call.Points[0]));
  FOut.Point(Device(call.Points[1]));
  FOut.End();
}

// A pattern blit with the brush: the brush alone, whatever the pen's mode.
void TEmfEncoder::FillRect(const TRecordedCall &call) {
  const TRect r = Device(call.Box);
  if (r.IsEmpty() || !UseClip(call.State.Clip))
    return;
  UseBrush(call.State.Brush);
  UseBkMode(TRANSPARENT);
  namespace B = Emf::BitBlt;
  FOut.Begin(Emf::EMR_BITBLT);
  FOut.Rect(InclusiveBox(r));
  FOut.I32(r.Left);
  FOut.I32(r.Top);
  FOut.I32(Saturate(std::int64_t{r.Right} - r.Left));
  FOut.I32(Saturate(std::int64_t{r.Bottom} - r.Top));
  FOut.U32(PATCOPY);
  FOut.I32(0); // source origin
  FOut.I32(0);
  for (const float m : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f})
    FOut.Float(m);
  FOut.U32(0); // source background
  FOut.U32(DIB_RGB_COLORS);
  while (FOut.InRecord() < B::Size)
    FOut.U32(0); // no source bitmap
  FOut.End();
}

void TEmfEncoder::SetPixel(const TRecordedCall &call) {
  if (!UseClip(call.State.Clip))
    return;
  FOut.Begin(Emf::EMR_SETPIXELV);
  FOut.Point(Device(call.Points[0]));
  FOut.U32(ColorRef(call.Color));
  FOut.End();
}

// A 32-bit bottom-up DIB stretched onto the destination, one pixel for its nearest source.
void TEmfEncoder::Image(const TRecordedCall &call) {
  if (!UseClip(call.State.Clip))
    return;
  const TRect dest = Device(call.Box);
  const auto w = static_cast<std::uint32_t>(call.ImageWidth), h = static_cast<std::uint32_t>(call.ImageHeight);
  if (std::uint64_t{w} * h * 4 > FormatLimit - Emf::StretchDIBits::Size - BitmapInfoHeaderSize)
    TooLarge();
  const std::uint32_t bitsSize = w * h * 4;
  const auto pixelsPerMeter = static_cast<std::uint32_t>(Round(FPixelsPerInch * 10000.0 / 254));
  FOut.Begin(Emf::EMR_STRETCHDIBITS);
  FOut.Rect(InclusiveBox(dest));
  FOut.I32(dest.Left);
  FOut.I32(dest.Top);
  FOut.I32(0);
  FOut.I32(0);
  FOut.U32(w);
  FOut.U32(h);
  FOut.U32(Emf::StretchDIBits::Size);
  FOut.U32(BitmapInfoHeaderSize);
  FOut.U32(Emf::StretchDIBits::Size + BitmapInfoHeaderSize);
  FOut.U32(bitsSize);
  FOut.U32(DIB_RGB_COLORS);
  FOut.U32(SRCCOPY);
  FOut.I32(Saturate(std::int64_t{dest.Right} - dest.Left));
  FOut.I32(Saturate(std::int64_t{dest.Bottom} - dest.Top));
  FOut.U32(BitmapInfoHeaderSize);
  FOut.U32(w);
  FOut.U32(h); // positive: rows from the bottom up
  FOut.U16(1); // planes
  FOut.U16(32);
  FOut.U32(0); // uncompressed
  FOut.U32(bitsSize);
  FOut.U32(pixelsPerMeter);
  FOut.U32(pixelsPerMeter);
  FOut.U32(0); // no colour table
  FOut.U32(0);
  std::uint8_t *bits = FOut.Grow(bitsSize);
  for (std::uint32_t y = h; y-- > 0;) {
    const std::uint32_t *row = call.ImagePixels.data() + std::size_t{y} * w;
    for (std::uint32_t x = 0; x < w; ++x, bits += 4)
      StoreU32(bits, row[x] & 0x00FFFFFFu);
  }
  FOut.End();
}

// ExtTextOutW at the top-left of the text cell, with each character's advance so that readers
// with other fonts keep the layout; the background is the brush's unless the brush is clear.
void TEmfEncoder::Text(const TRecordedCall &call) {
  if (!UseClip(call.State.Clip))
    return;
  UseFont(call.Font);
  Set(FDc.TextColor, Emf::EMR_SETTEXTCOLOR, ColorRef(call.Font.Color));
  if (call.State.Brush.Style == bsClear) {
    UseBkMode(TRANSPARENT);
  } else {
    UseBkMode(OPAQUE);
    Set(FDc.BkColor, Emf::EMR_SETBKCOLOR, ColorRef(call.State.Brush.Color));
  }
  TFontSpec level = call.Font;
  level.Escapement = 0;
  const Fonts::TGlyphRun run = Fonts::TFontEngine::Instance().GlyphRun(level, FPixelsPerInch, call.Text);
  const std::u16string units = Utf16(call.Text);
  const auto chars = static_cast<std::uint32_t>(units.size());
  if (std::uint64_t{chars} * 6 > FormatLimit / 2)
    TooLarge();
  const std::uint32_t stringBytes = (chars * 2 + 3) & ~3u;
  std::int64_t width = 0;
  for (const Fonts::TGlyphPlacement &glyph : run.Glyphs)
    width += glyph.Advance;
  const TPoint at = Device(call.Points[0]);
  namespace X = Emf::ExtTextOut;
  FOut.Begin(Emf::EMR_EXTTEXTOUTW);
  FOut.Rect({at.X, at.Y, Saturate(at.X + width - 1),
             Saturate(std::int64_t{at.Y} + run.Metrics.Ascent + run.Metrics.Descent - 1)});
  FOut.U32(Emf::GM_COMPATIBLE);
  const float hundredthsPerPixel = 2540.0f / static_cast<float>(FPixelsPerInch);
  FOut.Float(hundredthsPerPixel);
  FOut.Float(hundredthsPerPixel);
  FOut.Point(at);
  FOut.U32(chars);
  FOut.U32(X::Size);
  FOut.U32(0); // no options: the background mode paints the cell
  FOut.Rect({0, 0, -1, -1});
  FOut.U32(X::Size + stringBytes);
  for (const char16_t unit : units)
    FOut.U16(unit);
  while (FOut.InRecord() < X::Size + stringBytes)
    FOut.U8(0);
  // One advance per UTF-16 unit: a character outside the basic plane has its advance on the
  // first unit of its pair.
  std::size_t glyph = 0;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const bool trailing =
        units[i] >= 0xDC00 && units[i] <= 0xDFFF && i > 0 && units[i - 1] >= 0xD800 && units[i - 1] <= 0xDBFF;
    FOut.I32(!trailing && glyph < run.Glyphs.size() ? run.Glyphs[glyph++].Advance : 0);
  }
  FOut.End();
}

void TEmfEncoder::Add(const TRecordedCall &call) {
  if (!TRecordingDevice::IsComplete(call))
    return;
  FOrigin = call.State.Origin;
  switch (call.Kind) {
  case dcMoveTo: return; // a line that needs the pen moved moves it itself
  case dcLine: Line(call); return;
  case dcPolyline: Polyline(call); return;
  case dcPolygon:
    if (PrepareFigure(call.State)) {
      DevicePoints(call.Points);
      Poly(Emf::EMR_POLYGON16, Emf::EMR_POLYGON);
    }
    return;
  case dcRectangle: Box(Emf::EMR_RECTANGLE, call); return;
  case dcFillRect: FillRect(call); return;
  case dcEllipse: Box(Emf::EMR_ELLIPSE, call); return;
  case dcArc: Arc(call); return;
  case dcSetPixel: SetPixel(call); return;
  case dcDrawImage: Image(call); return;
  case dcTextOut: Text(call); return;
  }
}

std::vector<std::uint8_t> TEmfEncoder::Finish() {
  if (FClip)
    UseClip(TRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX});
  Select(TObjectKind::Pen, Emf::StockObjectFlag | BLACK_PEN);
  Select(TObjectKind::Brush, Emf::StockObjectFlag | WHITE_BRUSH);
  Select(TObjectKind::Font, Emf::StockObjectFlag | SYSTEM_FONT);
  while (!FCache.empty())
    Delete(FCache.size() - 1);
  FOut.Begin(Emf::EMR_EOF);
  FOut.U32(0);                  // palette entries
  FOut.U32(Emf::Eof::SizeLast); // where a palette would start
  FOut.U32(Emf::Eof::Size);
  FOut.End();
  const std::uint32_t records = FOut.Records();
  std::vector<std::uint8_t> bytes = FOut.Take();
  StoreU32(bytes.data() + Emf::Header::Bytes, static_cast<std::uint32_t>(bytes.size()));
  StoreU32(bytes.data() + Emf::Header::Records, records);
  const auto handles = static_cast<std::uint16_t>(FHandleUsed.size());
  bytes[Emf::Header::Handles] = static_cast<std::uint8_t>(handles);
  bytes[Emf::Header::Handles + 1] = static_cast<std::uint8_t>(handles >> 8);
  return bytes;
}

} // namespace

TEmfWriter::TEmfWriter(int width, int height, int pixelsPerInch)
    : FWidth(width), FHeight(height), FPixelsPerInch(pixelsPerInch > 0 ? pixelsPerInch : 96) {
  if (width <= 0 || height <= 0)
    throw EInvalidGraphic("EMF: a picture of " + std::to_string(width) + " x " + std::to_string(height) +
                          " pixels cannot be written");
}

std::vector<std::uint8_t> TEmfWriter::Write(std::span<const TRecordedCall> calls) const {
  TEmfEncoder encoder(FWidth, FHeight, FPixelsPerInch);
  for (const TRecordedCall &call : calls)
    encoder.Add(call);
  return encoder.Finish();
}

void TEmfWriter::SaveToFile(const std::string &fileName, std::span<const TRecordedCall> calls) const {
  const std::vector<std::uint8_t> bytes = Write(calls);
  TAtomicFile target(fileName);
  if (std::fwrite(bytes.data(), 1, bytes.size(), target.Handle()) != bytes.size())
    throw Exception("EMF: cannot write '" + fileName + "': " + std::strerror(errno));
  target.Commit();
}

} // namespace Platform
