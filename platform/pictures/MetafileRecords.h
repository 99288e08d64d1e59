#pragma once

// Record numbers, header layouts and flag values of the two Windows metafile formats, shared by
// the player and the writer. All multi-byte values in both formats are little-endian. Offsets are
// in bytes from the start of the header or record they belong to; the formats are documented in
// the published descriptions of the two metafile formats.

#include <cstdint>

namespace Platform {

// ------------------------------------------------------------------------------------------------
// Enhanced metafiles. Every record starts with {u32 type, u32 size}; the size counts the whole
// record in bytes and is a multiple of 4.
namespace Emf {

enum RecordType : std::uint32_t {
  EMR_HEADER = 1,
  EMR_POLYBEZIER = 2,
  EMR_POLYGON = 3,
  EMR_POLYLINE = 4,
  EMR_POLYBEZIERTO = 5,
  EMR_POLYLINETO = 6,
  EMR_POLYPOLYLINE = 7,
  EMR_POLYPOLYGON = 8,
  EMR_SETWINDOWEXTEX = 9,
  EMR_SETWINDOWORGEX = 10,
  EMR_SETVIEWPORTEXTEX = 11,
  EMR_SETVIEWPORTORGEX = 12,
  EMR_SETBRUSHORGEX = 13,
  EMR_EOF = 14,
  EMR_SETPIXELV = 15,
  EMR_SETMAPPERFLAGS = 16,
  EMR_SETMAPMODE = 17,
  EMR_SETBKMODE = 18,
  EMR_SETPOLYFILLMODE = 19,
  EMR_SETROP2 = 20,
  EMR_SETSTRETCHBLTMODE = 21,
  EMR_SETTEXTALIGN = 22,
  EMR_SETCOLORADJUSTMENT = 23,
  EMR_SETTEXTCOLOR = 24,
  EMR_SETBKCOLOR = 25,
  EMR_OFFSETCLIPRGN = 26,
  EMR_MOVETOEX = 27,
  EMR_SETMETARGN = 28,
  EMR_EXCLUDECLIPRECT = 29,
  EMR_INTERSECTCLIPRECT = 30,
  EMR_SCALEVIEWPORTEXTEX = 31,
  EMR_SCALEWINDOWEXTEX = 32,
  EMR_SAVEDC = 33,
  EMR_RESTOREDC = 34,
  EMR_SETWORLDTRANSFORM = 35,
  EMR_MODIFYWORLDTRANSFORM = 36,
  EMR_SELECTOBJECT = 37,
  EMR_CREATEPEN = 38,
  EMR_CREATEBRUSHINDIRECT = 39,
  EMR_DELETEOBJECT = 40,
  EMR_ANGLEARC = 41,
  EMR_ELLIPSE = 42,
  EMR_RECTANGLE = 43,
  EMR_ROUNDRECT = 44,
  EMR_ARC = 45,
  EMR_CHORD = 46,
  EMR_PIE = 47,
  EMR_SELECTPALETTE = 48,
  EMR_CREATEPALETTE = 49,
  EMR_SETPALETTEENTRIES = 50,
  EMR_RESIZEPALETTE = 51,
  EMR_REALIZEPALETTE = 52,
  EMR_EXTFLOODFILL = 53,
  EMR_LINETO = 54,
  EMR_ARCTO = 55,
  EMR_POLYDRAW = 56,
  EMR_SETARCDIRECTION = 57,
  EMR_SETMITERLIMIT = 58,
  EMR_BEGINPATH = 59,
  EMR_ENDPATH = 60,
  EMR_CLOSEFIGURE = 61,
  EMR_FILLPATH = 62,
  EMR_STROKEANDFILLPATH = 63,
  EMR_STROKEPATH = 64,
  EMR_FLATTENPATH = 65,
  EMR_WIDENPATH = 66,
  EMR_SELECTCLIPPATH = 67,
  EMR_ABORTPATH = 68,
  EMR_GDICOMMENT = 70,
  EMR_FILLRGN = 71,
  EMR_FRAMERGN = 72,
  EMR_INVERTRGN = 73,
  EMR_PAINTRGN = 74,
  EMR_EXTSELECTCLIPRGN = 75,
  EMR_BITBLT = 76,
  EMR_STRETCHBLT = 77,
  EMR_MASKBLT = 78,
  EMR_PLGBLT = 79,
  EMR_SETDIBITSTODEVICE = 80,
  EMR_STRETCHDIBITS = 81,
  EMR_EXTCREATEFONTINDIRECTW = 82,
  EMR_EXTTEXTOUTA = 83,
  EMR_EXTTEXTOUTW = 84,
  EMR_POLYBEZIER16 = 85,
  EMR_POLYGON16 = 86,
  EMR_POLYLINE16 = 87,
  EMR_POLYBEZIERTO16 = 88,
  EMR_POLYLINETO16 = 89,
  EMR_POLYPOLYLINE16 = 90,
  EMR_POLYPOLYGON16 = 91,
  EMR_POLYDRAW16 = 92,
  EMR_CREATEMONOBRUSH = 93,
  EMR_CREATEDIBPATTERNBRUSHPT = 94,
  EMR_EXTCREATEPEN = 95,
  EMR_POLYTEXTOUTA = 96,
  EMR_POLYTEXTOUTW = 97,
  EMR_SETICMMODE = 98,
  EMR_CREATECOLORSPACE = 99,
  EMR_SETCOLORSPACE = 100,
  EMR_DELETECOLORSPACE = 101,
  EMR_GLSRECORD = 102,
  EMR_GLSBOUNDEDRECORD = 103,
  EMR_PIXELFORMAT = 104,
  EMR_DRAWESCAPE = 105,
  EMR_EXTESCAPE = 106,
  EMR_SMALLTEXTOUT = 108,
  EMR_FORCEUFIMAPPING = 109,
  EMR_NAMEDESCAPE = 110,
  EMR_COLORCORRECTPALETTE = 111,
  EMR_SETICMPROFILEA = 112,
  EMR_SETICMPROFILEW = 113,
  EMR_ALPHABLEND = 114,
  EMR_SETLAYOUT = 115,
  EMR_TRANSPARENTBLT = 116,
  EMR_GRADIENTFILL = 118,
  EMR_SETLINKEDUFIS = 119,
  EMR_SETTEXTJUSTIFICATION = 120,
  EMR_COLORMATCHTOTARGETW = 121,
  EMR_CREATECOLORSPACEW = 122,
};

// Every record: {u32 type, u32 size}.
constexpr std::uint32_t RecordHeaderSize = 8;
constexpr std::uint32_t RecordTypeOffset = 0;
constexpr std::uint32_t RecordSizeOffset = 4;

// The header record (EMR_HEADER) that opens every file. The base layout is 88 bytes; later
// versions append a pixel-format extension (to 100 bytes) and a micrometre size (to 108).
namespace Header {
constexpr std::uint32_t Bounds = 8;             // RECTL, inclusive, device units of the drawing
constexpr std::uint32_t Frame = 24;             // RECTL, inclusive, in 0.01 mm
constexpr std::uint32_t Signature = 40;         // u32, SignatureValue
constexpr std::uint32_t Version = 44;           // u32, VersionValue
constexpr std::uint32_t Bytes = 48;             // u32, size of the whole file
constexpr std::uint32_t Records = 52;           // u32, record count including the header and EOF
constexpr std::uint32_t Handles = 56;           // u16, object table size + 1 (index 0 is reserved)
constexpr std::uint32_t Reserved = 58;          // u16, 0
constexpr std::uint32_t DescriptionChars = 60;  // u32, UTF-16 units of the description
constexpr std::uint32_t DescriptionOffset = 64; // u32, from the start of the record
constexpr std::uint32_t PaletteEntries = 68;    // u32
constexpr std::uint32_t DevicePixels = 72;      // SIZEL, reference device size in pixels
constexpr std::uint32_t DeviceMillimeters = 80; // SIZEL, reference device size in mm
constexpr std::uint32_t BaseSize = 88;
constexpr std::uint32_t PixelFormatSize = 88;   // u32 (extension 1)
constexpr std::uint32_t PixelFormatOffset = 92; // u32 (extension 1)
constexpr std::uint32_t OpenGL = 96;            // u32 (extension 1)
constexpr std::uint32_t Extension1Size = 100;
constexpr std::uint32_t Micrometers = 100; // SIZEL (extension 2)
constexpr std::uint32_t Extension2Size = 108;
constexpr std::uint32_t SignatureValue = 0x464D4520; // " EMF"
constexpr std::uint32_t VersionValue = 0x00010000;
} // namespace Header

// Records of points with bounds: EMR_POLYLINE, EMR_POLYGON, EMR_POLYBEZIER(TO), EMR_POLYLINETO
// and their 16-bit forms. Points are {i32 x, i32 y} (8 bytes) or {i16 x, i16 y} (4 bytes).
namespace Poly {
constexpr std::uint32_t Bounds = 8; // RECTL
constexpr std::uint32_t Count = 24; // u32
constexpr std::uint32_t Points = 28;
} // namespace Poly

// EMR_POLYPOLYLINE, EMR_POLYPOLYGON and their 16-bit forms: counts per polygon, then all points.
namespace PolyPoly {
constexpr std::uint32_t Bounds = 8;       // RECTL
constexpr std::uint32_t Polygons = 24;    // u32, number of polygons
constexpr std::uint32_t TotalPoints = 28; // u32
constexpr std::uint32_t Counts = 32;      // u32[Polygons], then the points
} // namespace PolyPoly

// Records with one parameter block at offset 8: a point or size (EMR_SETWINDOWEXTEX,
// EMR_SETWINDOWORGEX, EMR_SETVIEWPORTEXTEX, EMR_SETVIEWPORTORGEX, EMR_SETBRUSHORGEX,
// EMR_MOVETOEX, EMR_LINETO: {i32, i32}), a u32 (EMR_SETMAPMODE, EMR_SETBKMODE,
// EMR_SETPOLYFILLMODE, EMR_SETROP2, EMR_SETSTRETCHBLTMODE, EMR_SETTEXTALIGN, EMR_SETTEXTCOLOR,
// EMR_SETBKCOLOR, EMR_SELECTOBJECT, EMR_DELETEOBJECT, EMR_RESTOREDC (i32, relative, negative)),
// a RECTL (EMR_ELLIPSE, EMR_RECTANGLE, EMR_EXCLUDECLIPRECT, EMR_INTERSECTCLIPRECT).
constexpr std::uint32_t ParamOffset = 8;

// EMR_ROUNDRECT: RECTL box at 8, SIZEL corner at 24; 32 bytes.
namespace RoundRect {
constexpr std::uint32_t Box = 8;
constexpr std::uint32_t Corner = 24;
constexpr std::uint32_t Size = 32;
} // namespace RoundRect

// EMR_ARC, EMR_CHORD, EMR_PIE, EMR_ARCTO: RECTL box at 8, start point at 24, end point at 32.
namespace Arc {
constexpr std::uint32_t Box = 8;
constexpr std::uint32_t Start = 24;
constexpr std::uint32_t End = 32;
constexpr std::uint32_t Size = 40;
} // namespace Arc

// EMR_ANGLEARC: centre, radius, start and sweep angles in degrees (floats).
namespace AngleArc {
constexpr std::uint32_t Center = 8;
constexpr std::uint32_t Radius = 16;
constexpr std::uint32_t StartAngle = 20;
constexpr std::uint32_t SweepAngle = 24;
constexpr std::uint32_t Size = 28;
} // namespace AngleArc

// EMR_SETPIXELV: point at 8, COLORREF at 16.
namespace SetPixel {
constexpr std::uint32_t Point = 8;
constexpr std::uint32_t Color = 16;
constexpr std::uint32_t Size = 20;
} // namespace SetPixel

// EMR_SCALEVIEWPORTEXTEX, EMR_SCALEWINDOWEXTEX: four i32.
namespace ScaleExt {
constexpr std::uint32_t XNum = 8;
constexpr std::uint32_t XDenom = 12;
constexpr std::uint32_t YNum = 16;
constexpr std::uint32_t YDenom = 20;
constexpr std::uint32_t Size = 24;
} // namespace ScaleExt

// EMR_SETWORLDTRANSFORM: XFORM {eM11, eM12, eM21, eM22, eDx, eDy} floats at 8.
// EMR_MODIFYWORLDTRANSFORM: XFORM at 8, u32 mode at 32.
namespace Transform {
constexpr std::uint32_t Xform = 8;
constexpr std::uint32_t XformSize = 24;
constexpr std::uint32_t Mode = 32;
constexpr std::uint32_t SetSize = 32;
constexpr std::uint32_t ModifySize = 36;
} // namespace Transform

// EMR_CREATEPEN: object index, then LOGPEN {u32 style, POINTL width (x used), COLORREF}.
namespace CreatePen {
constexpr std::uint32_t Index = 8;
constexpr std::uint32_t Style = 12;
constexpr std::uint32_t Width = 16;
constexpr std::uint32_t Color = 24;
constexpr std::uint32_t Size = 28;
} // namespace CreatePen

// EMR_EXTCREATEPEN: object index, optional DIB for pattern pens, then LOGPEN_EX.
namespace ExtCreatePen {
constexpr std::uint32_t Index = 8;
constexpr std::uint32_t BmiOffset = 12;
constexpr std::uint32_t BmiSize = 16;
constexpr std::uint32_t BitsOffset = 20;
constexpr std::uint32_t BitsSize = 24;
constexpr std::uint32_t Style = 28;        // u32, pen style with type, cap and join bits
constexpr std::uint32_t Width = 32;        // u32
constexpr std::uint32_t BrushStyle = 36;   // u32
constexpr std::uint32_t Color = 40;        // COLORREF
constexpr std::uint32_t Hatch = 44;        // u32
constexpr std::uint32_t StyleEntries = 48; // u32, count of dash entries that follow
constexpr std::uint32_t StyleEntry = 52;   // u32[StyleEntries]
constexpr std::uint32_t Size = 52;         // without style entries
} // namespace ExtCreatePen

// EMR_CREATEBRUSHINDIRECT: object index, then LOGBRUSH32 {u32 style, COLORREF, u32 hatch}.
namespace CreateBrush {
constexpr std::uint32_t Index = 8;
constexpr std::uint32_t Style = 12;
constexpr std::uint32_t Color = 16;
constexpr std::uint32_t Hatch = 20;
constexpr std::uint32_t Size = 24;
} // namespace CreateBrush

// EMR_CREATEDIBPATTERNBRUSHPT and EMR_CREATEMONOBRUSH: object index, usage, DIB header and bits.
namespace PatternBrush {
constexpr std::uint32_t Index = 8;
constexpr std::uint32_t Usage = 12;
constexpr std::uint32_t BmiOffset = 16;
constexpr std::uint32_t BmiSize = 20;
constexpr std::uint32_t BitsOffset = 24;
constexpr std::uint32_t BitsSize = 28;
constexpr std::uint32_t Size = 32;
} // namespace PatternBrush

// LOGFONTW, 92 bytes: the face name is 32 UTF-16 units, NUL-terminated when shorter.
namespace LogFont {
constexpr std::uint32_t Height = 0;          // i32, negative: character height, positive: cell
constexpr std::uint32_t Width = 4;           // i32
constexpr std::uint32_t Escapement = 8;      // i32, tenths of a degree, anticlockwise
constexpr std::uint32_t Orientation = 12;    // i32
constexpr std::uint32_t Weight = 16;         // i32, 400 normal, 700 bold
constexpr std::uint32_t Italic = 20;         // u8
constexpr std::uint32_t Underline = 21;      // u8
constexpr std::uint32_t StrikeOut = 22;      // u8
constexpr std::uint32_t CharSet = 23;        // u8
constexpr std::uint32_t OutPrecision = 24;   // u8
constexpr std::uint32_t ClipPrecision = 25;  // u8
constexpr std::uint32_t Quality = 26;        // u8
constexpr std::uint32_t PitchAndFamily = 27; // u8
constexpr std::uint32_t FaceName = 28;       // u16[32]
constexpr std::uint32_t FaceNameChars = 32;
constexpr std::uint32_t Size = 92;
} // namespace LogFont

// EMR_EXTCREATEFONTINDIRECTW: object index, then a LOGFONTW (and, in longer records, the rest of
// an ENUMLOGFONTEXDV, which a player may ignore).
namespace CreateFont {
constexpr std::uint32_t Index = 8;
constexpr std::uint32_t LogFont = 12;
constexpr std::uint32_t Size = 12 + LogFont::Size; // 104
} // namespace CreateFont

// EMR_EXTTEXTOUTW and EMR_EXTTEXTOUTA: bounds, graphics mode, scales, then an EMRTEXT. String
// and advance offsets count from the start of the record; the string is UTF-16 (W) or 8-bit (A),
// the advances are one i32 per character (two with ETO_PDY).
namespace ExtTextOut {
constexpr std::uint32_t Bounds = 8;        // RECTL
constexpr std::uint32_t GraphicsMode = 24; // u32, GM_COMPATIBLE or GM_ADVANCED
constexpr std::uint32_t XScale = 28;       // float
constexpr std::uint32_t YScale = 32;       // float
constexpr std::uint32_t Reference = 36;    // POINTL
constexpr std::uint32_t Chars = 44;        // u32
constexpr std::uint32_t StringOffset = 48; // u32
constexpr std::uint32_t Options = 52;      // u32, ETO_ flags
constexpr std::uint32_t Rect = 56;         // RECTL, opaque/clip rectangle
constexpr std::uint32_t DxOffset = 72;     // u32
constexpr std::uint32_t Size = 76;         // without string and advances
} // namespace ExtTextOut

// EMR_BITBLT (100 bytes) and EMR_STRETCHBLT (108 bytes). A record without a source bitmap
// (cbBmiSrc == 0) is a pattern blit with the selected brush.
namespace BitBlt {
constexpr std::uint32_t Bounds = 8;
constexpr std::uint32_t XDest = 24;
constexpr std::uint32_t YDest = 28;
constexpr std::uint32_t CxDest = 32;
constexpr std::uint32_t CyDest = 36;
constexpr std::uint32_t Rop = 40;
constexpr std::uint32_t XSrc = 44;
constexpr std::uint32_t YSrc = 48;
constexpr std::uint32_t XformSrc = 52; // XFORM, 24 bytes
constexpr std::uint32_t BkColorSrc = 76;
constexpr std::uint32_t UsageSrc = 80;
constexpr std::uint32_t BmiOffset = 84;
constexpr std::uint32_t BmiSize = 88;
constexpr std::uint32_t BitsOffset = 92;
constexpr std::uint32_t BitsSize = 96;
constexpr std::uint32_t Size = 100;
constexpr std::uint32_t CxSrc = 100; // EMR_STRETCHBLT only
constexpr std::uint32_t CySrc = 104; // EMR_STRETCHBLT only
constexpr std::uint32_t StretchSize = 108;
} // namespace BitBlt

// EMR_STRETCHDIBITS, 80 bytes before the DIB header and bits.
namespace StretchDIBits {
constexpr std::uint32_t Bounds = 8;
constexpr std::uint32_t XDest = 24;
constexpr std::uint32_t YDest = 28;
constexpr std::uint32_t XSrc = 32;
constexpr std::uint32_t YSrc = 36;
constexpr std::uint32_t CxSrc = 40;
constexpr std::uint32_t CySrc = 44;
constexpr std::uint32_t BmiOffset = 48;
constexpr std::uint32_t BmiSize = 52;
constexpr std::uint32_t BitsOffset = 56;
constexpr std::uint32_t BitsSize = 60;
constexpr std::uint32_t Usage = 64;
constexpr std::uint32_t Rop = 68;
constexpr std::uint32_t CxDest = 72;
constexpr std::uint32_t CyDest = 76;
constexpr std::uint32_t Size = 80;
} // namespace StretchDIBits

// EMR_SETDIBITSTODEVICE, 76 bytes before the DIB header and bits.
namespace SetDIBitsToDevice {
constexpr std::uint32_t Bounds = 8;
constexpr std::uint32_t XDest = 24;
constexpr std::uint32_t YDest = 28;
constexpr std::uint32_t XSrc = 32;
constexpr std::uint32_t YSrc = 36;
constexpr std::uint32_t CxSrc = 40;
constexpr std::uint32_t CySrc = 44;
constexpr std::uint32_t BmiOffset = 48;
constexpr std::uint32_t BmiSize = 52;
constexpr std::uint32_t BitsOffset = 56;
constexpr std::uint32_t BitsSize = 60;
constexpr std::uint32_t Usage = 64;
constexpr std::uint32_t StartScan = 68;
constexpr std::uint32_t Scans = 72;
constexpr std::uint32_t Size = 76;
} // namespace SetDIBitsToDevice

// EMR_EXTSELECTCLIPRGN: region data size, mode, RGNDATA.
namespace ExtSelectClipRgn {
constexpr std::uint32_t DataSize = 8;
constexpr std::uint32_t Mode = 12;
constexpr std::uint32_t Data = 16;
} // namespace ExtSelectClipRgn

// EMR_FILLRGN: bounds, region data size, brush index, RGNDATA. EMR_FRAMERGN adds a SIZEL after
// the brush index; EMR_INVERTRGN and EMR_PAINTRGN have bounds, size and data only.
namespace FillRgn {
constexpr std::uint32_t Bounds = 8;
constexpr std::uint32_t DataSize = 24;
constexpr std::uint32_t Brush = 28;
constexpr std::uint32_t Data = 32;
} // namespace FillRgn

// RGNDATAHEADER (32 bytes) followed by Count RECTLs.
namespace RgnData {
constexpr std::uint32_t HeaderSizeField = 0; // u32, 32
constexpr std::uint32_t Type = 4;            // u32, RDH_RECTANGLES (1)
constexpr std::uint32_t Count = 8;           // u32
constexpr std::uint32_t RgnSize = 12;        // u32
constexpr std::uint32_t Bound = 16;          // RECTL
constexpr std::uint32_t HeaderSize = 32;
constexpr std::uint32_t RectanglesType = 1;
} // namespace RgnData

// EMR_GDICOMMENT: data size then data.
namespace GdiComment {
constexpr std::uint32_t DataSize = 8;
constexpr std::uint32_t Data = 12;
} // namespace GdiComment

// EMR_EOF: palette entry count and offset, then the record size repeated as the last u32.
namespace Eof {
constexpr std::uint32_t PaletteEntries = 8;
constexpr std::uint32_t PaletteOffset = 12;
constexpr std::uint32_t SizeLast = 16;
constexpr std::uint32_t Size = 20;
} // namespace Eof

// Stock objects are selected by index with the high bit set.
constexpr std::uint32_t StockObjectFlag = 0x80000000u;

// ModifyWorldTransform modes.
enum WorldTransformMode : std::uint32_t {
  MWT_IDENTITY = 1,
  MWT_LEFTMULTIPLY = 2,
  MWT_RIGHTMULTIPLY = 3,
  MWT_SET = 4,
};

enum GraphicsMode : std::uint32_t { GM_COMPATIBLE = 1, GM_ADVANCED = 2 };

} // namespace Emf

// ------------------------------------------------------------------------------------------------
// Windows metafiles. A file may start with a 22-byte placeable header, then the 18-byte metafile
// header, then records of {u32 size in 16-bit words, u16 function, u16 parameters...}. Most
// records list their parameters in reverse order (the last argument of the call comes first).
namespace Wmf {

enum RecordFunction : std::uint16_t {
  META_EOF = 0x0000,
  META_SAVEDC = 0x001E,
  META_REALIZEPALETTE = 0x0035,
  META_SETPALENTRIES = 0x0037,
  META_CREATEPALETTE = 0x00F7,
  META_SETBKMODE = 0x0102,
  META_SETMAPMODE = 0x0103,
  META_SETROP2 = 0x0104,
  META_SETRELABS = 0x0105,
  META_SETPOLYFILLMODE = 0x0106,
  META_SETSTRETCHBLTMODE = 0x0107,
  META_SETTEXTCHAREXTRA = 0x0108,
  META_RESTOREDC = 0x0127,
  META_INVERTREGION = 0x012A,
  META_PAINTREGION = 0x012B,
  META_SELECTCLIPREGION = 0x012C,
  META_SELECTOBJECT = 0x012D,
  META_SETTEXTALIGN = 0x012E,
  META_RESIZEPALETTE = 0x0139,
  META_DIBCREATEPATTERNBRUSH = 0x0142,
  META_SETLAYOUT = 0x0149,
  META_DELETEOBJECT = 0x01F0,
  META_CREATEPATTERNBRUSH = 0x01F9,
  META_SETBKCOLOR = 0x0201,
  META_SETTEXTCOLOR = 0x0209,
  META_SETTEXTJUSTIFICATION = 0x020A,
  META_SETWINDOWORG = 0x020B,
  META_SETWINDOWEXT = 0x020C,
  META_SETVIEWPORTORG = 0x020D,
  META_SETVIEWPORTEXT = 0x020E,
  META_OFFSETWINDOWORG = 0x020F,
  META_OFFSETVIEWPORTORG = 0x0211,
  META_LINETO = 0x0213,
  META_MOVETO = 0x0214,
  META_OFFSETCLIPRGN = 0x0220,
  META_FILLREGION = 0x0228,
  META_SETMAPPERFLAGS = 0x0231,
  META_SELECTPALETTE = 0x0234,
  META_CREATEPENINDIRECT = 0x02FA,
  META_CREATEFONTINDIRECT = 0x02FB,
  META_CREATEBRUSHINDIRECT = 0x02FC,
  META_POLYGON = 0x0324,
  META_POLYLINE = 0x0325,
  META_SCALEWINDOWEXT = 0x0410,
  META_SCALEVIEWPORTEXT = 0x0412,
  META_EXCLUDECLIPRECT = 0x0415,
  META_INTERSECTCLIPRECT = 0x0416,
  META_ELLIPSE = 0x0418,
  META_FLOODFILL = 0x0419,
  META_RECTANGLE = 0x041B,
  META_SETPIXEL = 0x041F,
  META_FRAMEREGION = 0x0429,
  META_ANIMATEPALETTE = 0x0436,
  META_TEXTOUT = 0x0521,
  META_POLYPOLYGON = 0x0538,
  META_EXTFLOODFILL = 0x0548,
  META_ROUNDRECT = 0x061C,
  META_PATBLT = 0x061D,
  META_ESCAPE = 0x0626,
  META_CREATEREGION = 0x06FF,
  META_ARC = 0x0817,
  META_PIE = 0x081A,
  META_CHORD = 0x0830,
  META_BITBLT = 0x0922,
  META_DIBBITBLT = 0x0940,
  META_EXTTEXTOUT = 0x0A32,
  META_STRETCHBLT = 0x0B23,
  META_DIBSTRETCHBLT = 0x0B41,
  META_SETDIBTODEV = 0x0D33,
  META_STRETCHDIB = 0x0F43,
};

// The optional placeable header (22 bytes) before the metafile header.
namespace Placeable {
constexpr std::uint32_t Key = 0;       // u32, KeyValue
constexpr std::uint32_t Handle = 4;    // u16, 0
constexpr std::uint32_t Left = 6;      // i16, bounding box in logical units
constexpr std::uint32_t Top = 8;       // i16
constexpr std::uint32_t Right = 10;    // i16
constexpr std::uint32_t Bottom = 12;   // i16
constexpr std::uint32_t Inch = 14;     // u16, logical units per inch
constexpr std::uint32_t Reserved = 16; // u32, 0
constexpr std::uint32_t Checksum = 20; // u16, XOR of the ten words before it
constexpr std::uint32_t Size = 22;
constexpr std::uint32_t KeyValue = 0x9AC6CDD7u;
} // namespace Placeable

// The metafile header (18 bytes, 9 words).
namespace Header {
constexpr std::uint32_t Type = 0;            // u16, 1 memory, 2 disk
constexpr std::uint32_t HeaderWords = 2;     // u16, 9
constexpr std::uint32_t Version = 4;         // u16, 0x0100 or 0x0300
constexpr std::uint32_t FileWords = 6;       // u32, size of the file in words (unaligned)
constexpr std::uint32_t Objects = 10;        // u16, object table size
constexpr std::uint32_t MaxRecordWords = 12; // u32, largest record in words (unaligned)
constexpr std::uint32_t Parameters = 16;     // u16, 0
constexpr std::uint32_t Size = 18;
constexpr std::uint16_t HeaderWordsValue = 9;
constexpr std::uint16_t Version1 = 0x0100;
constexpr std::uint16_t Version3 = 0x0300;
} // namespace Header

// Every record: {u32 size in words, u16 function}, parameters from byte 6.
constexpr std::uint32_t RecordHeaderSize = 6;
constexpr std::uint32_t RecordSizeOffset = 0;
constexpr std::uint32_t RecordFunctionOffset = 4;
constexpr std::uint32_t ParamOffset = 6;

// LOGPEN16 in META_CREATEPENINDIRECT: {u16 style, POINTS width (x used), COLORREF}, 10 bytes.
namespace LogPen {
constexpr std::uint32_t Style = 0;
constexpr std::uint32_t Width = 2;
constexpr std::uint32_t Color = 6;
constexpr std::uint32_t Size = 10;
} // namespace LogPen

// LOGBRUSH16 in META_CREATEBRUSHINDIRECT: {u16 style, COLORREF, u16 hatch}, 8 bytes.
namespace LogBrush {
constexpr std::uint32_t Style = 0;
constexpr std::uint32_t Color = 2;
constexpr std::uint32_t Hatch = 6;
constexpr std::uint32_t Size = 8;
} // namespace LogBrush

// LOGFONT16 in META_CREATEFONTINDIRECT: 18 bytes then an 8-bit face name of up to 32 bytes.
namespace LogFont {
constexpr std::uint32_t Height = 0;      // i16
constexpr std::uint32_t Width = 2;       // i16
constexpr std::uint32_t Escapement = 4;  // i16
constexpr std::uint32_t Orientation = 6; // i16
constexpr std::uint32_t Weight = 8;      // i16
constexpr std::uint32_t Italic = 10;     // u8
constexpr std::uint32_t Underline = 11;  // u8
constexpr std::uint32_t StrikeOut = 12;  // u8
constexpr std::uint32_t CharSet = 13;    // u8
constexpr std::uint32_t OutPrecision = 14;
constexpr std::uint32_t ClipPrecision = 15;
constexpr std::uint32_t Quality = 16;
constexpr std::uint32_t PitchAndFamily = 17;
constexpr std::uint32_t FaceName = 18;
constexpr std::uint32_t FaceNameBytes = 32;
constexpr std::uint32_t FixedSize = 18;
} // namespace LogFont

// META_EXTTEXTOUT parameters: y, x, count, options, [rect if ETO_OPAQUE|ETO_CLIPPED], string
// (padded to a word), [i16 advances].
namespace ExtTextOut {
constexpr std::uint32_t Y = 0;
constexpr std::uint32_t X = 2;
constexpr std::uint32_t Count = 4;
constexpr std::uint32_t Options = 6;
constexpr std::uint32_t Rect = 8; // i16 left, top, right, bottom
constexpr std::uint32_t FixedSize = 8;
constexpr std::uint32_t RectSize = 8;
} // namespace ExtTextOut

// Raster-operation blits: META_DIBBITBLT parameters in words are rop (u32), ySrc, xSrc,
// [reserved when there is no bitmap], height, width, yDest, xDest, then a DIB;
// META_DIBSTRETCHBLT adds srcHeight, srcWidth before ySrc; META_STRETCHDIB is rop (u32),
// usage, srcHeight, srcWidth, ySrc, xSrc, destHeight, destWidth, yDest, xDest, then a DIB.
constexpr std::uint32_t DibHeaderMinSize = 12;

} // namespace Wmf

// ------------------------------------------------------------------------------------------------
// Values shared by both formats.
namespace Gdi {

enum MapMode : std::uint32_t {
  MM_TEXT = 1,
  MM_LOMETRIC = 2,
  MM_HIMETRIC = 3,
  MM_LOENGLISH = 4,
  MM_HIENGLISH = 5,
  MM_TWIPS = 6,
  MM_ISOTROPIC = 7,
  MM_ANISOTROPIC = 8,
};

enum BkMode : std::uint32_t { TRANSPARENT = 1, OPAQUE = 2 };

enum PolyFillMode : std::uint32_t { ALTERNATE = 1, WINDING = 2 };

// Text alignment flags.
constexpr std::uint32_t TA_NOUPDATECP = 0;
constexpr std::uint32_t TA_UPDATECP = 1;
constexpr std::uint32_t TA_LEFT = 0;
constexpr std::uint32_t TA_RIGHT = 2;
constexpr std::uint32_t TA_CENTER = 6;
constexpr std::uint32_t TA_HORZMASK = 6;
constexpr std::uint32_t TA_TOP = 0;
constexpr std::uint32_t TA_BOTTOM = 8;
constexpr std::uint32_t TA_BASELINE = 24;
constexpr std::uint32_t TA_VERTMASK = 24;
constexpr std::uint32_t TA_RTLREADING = 256;

// ExtTextOut options.
constexpr std::uint32_t ETO_OPAQUE = 0x0002;
constexpr std::uint32_t ETO_CLIPPED = 0x0004;
constexpr std::uint32_t ETO_GLYPH_INDEX = 0x0010;
constexpr std::uint32_t ETO_RTLREADING = 0x0080;
constexpr std::uint32_t ETO_PDY = 0x2000;

// Pen styles: the low nibble is the dash style; geometric pens add cap, join and type bits.
enum PenStyle : std::uint32_t {
  PS_SOLID = 0,
  PS_DASH = 1,
  PS_DOT = 2,
  PS_DASHDOT = 3,
  PS_DASHDOTDOT = 4,
  PS_NULL = 5,
  PS_INSIDEFRAME = 6,
  PS_USERSTYLE = 7,
  PS_ALTERNATE = 8,
};
constexpr std::uint32_t PS_STYLE_MASK = 0x0000000F;
constexpr std::uint32_t PS_ENDCAP_ROUND = 0x00000000;
constexpr std::uint32_t PS_ENDCAP_SQUARE = 0x00000100;
constexpr std::uint32_t PS_ENDCAP_FLAT = 0x00000200;
constexpr std::uint32_t PS_ENDCAP_MASK = 0x00000F00;
constexpr std::uint32_t PS_JOIN_ROUND = 0x00000000;
constexpr std::uint32_t PS_JOIN_BEVEL = 0x00001000;
constexpr std::uint32_t PS_JOIN_MITER = 0x00002000;
constexpr std::uint32_t PS_JOIN_MASK = 0x0000F000;
constexpr std::uint32_t PS_COSMETIC = 0x00000000;
constexpr std::uint32_t PS_GEOMETRIC = 0x00010000;
constexpr std::uint32_t PS_TYPE_MASK = 0x000F0000;

enum BrushStyle : std::uint32_t {
  BS_SOLID = 0,
  BS_NULL = 1,
  BS_HATCHED = 2,
  BS_PATTERN = 3,
  BS_INDEXED = 4,
  BS_DIBPATTERN = 5,
  BS_DIBPATTERNPT = 6,
};

enum HatchStyle : std::uint32_t {
  HS_HORIZONTAL = 0,
  HS_VERTICAL = 1,
  HS_FDIAGONAL = 2,
  HS_BDIAGONAL = 3,
  HS_CROSS = 4,
  HS_DIAGCROSS = 5,
};

// Stock object numbers (EMF selects them as StockObjectFlag | number).
enum StockObject : std::uint32_t {
  WHITE_BRUSH = 0,
  LTGRAY_BRUSH = 1,
  GRAY_BRUSH = 2,
  DKGRAY_BRUSH = 3,
  BLACK_BRUSH = 4,
  NULL_BRUSH = 5,
  WHITE_PEN = 6,
  BLACK_PEN = 7,
  NULL_PEN = 8,
  OEM_FIXED_FONT = 10,
  ANSI_FIXED_FONT = 11,
  ANSI_VAR_FONT = 12,
  SYSTEM_FONT = 13,
  DEVICE_DEFAULT_FONT = 14,
  DEFAULT_PALETTE = 15,
  SYSTEM_FIXED_FONT = 16,
  DEFAULT_GUI_FONT = 17,
  DC_BRUSH = 18,
  DC_PEN = 19,
};

// Binary raster operations (SetROP2).
enum Rop2 : std::uint32_t {
  R2_BLACK = 1,
  R2_NOTMERGEPEN = 2,
  R2_MASKNOTPEN = 3,
  R2_NOTCOPYPEN = 4,
  R2_MASKPENNOT = 5,
  R2_NOT = 6,
  R2_XORPEN = 7,
  R2_NOTMASKPEN = 8,
  R2_MASKPEN = 9,
  R2_NOTXORPEN = 10,
  R2_NOP = 11,
  R2_MERGENOTPEN = 12,
  R2_COPYPEN = 13,
  R2_MERGEPENNOT = 14,
  R2_MERGEPEN = 15,
  R2_WHITE = 16,
};

// Ternary raster operations used by blits.
constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint32_t SRCPAINT = 0x00EE0086;
constexpr std::uint32_t SRCAND = 0x008800C6;
constexpr std::uint32_t SRCINVERT = 0x00660046;
constexpr std::uint32_t SRCERASE = 0x00440328;
constexpr std::uint32_t NOTSRCCOPY = 0x00330008;
constexpr std::uint32_t NOTSRCERASE = 0x001100A6;
constexpr std::uint32_t MERGECOPY = 0x00C000CA;
constexpr std::uint32_t MERGEPAINT = 0x00BB0226;
constexpr std::uint32_t PATCOPY = 0x00F00021;
constexpr std::uint32_t PATPAINT = 0x00FB0A09;
constexpr std::uint32_t PATINVERT = 0x005A0049;
constexpr std::uint32_t DSTINVERT = 0x00550009;
constexpr std::uint32_t BLACKNESS = 0x00000042;
constexpr std::uint32_t WHITENESS = 0x00FF0062;

// Arc drawing directions (SetArcDirection).
enum ArcDirection : std::uint32_t { AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2 };

// DIB colour table usage.
enum DibUsage : std::uint32_t { DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1 };

// Clipping region combination modes.
enum RegionMode : std::uint32_t { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

// A COLORREF is 0x00BBGGRR; the high byte selects palette forms the player treats as RGB.
constexpr std::uint32_t ColorRefRgbMask = 0x00FFFFFFu;

// The size of a DIB header that BITMAPINFO starts with.
constexpr std::uint32_t BitmapInfoHeaderSize = 40;
constexpr std::uint32_t BitmapCoreHeaderSize = 12;

} // namespace Gdi

} // namespace Platform
