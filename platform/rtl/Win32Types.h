#pragma once

// The Win32 types and constants the system's code uses, with their Win32 names and values.
// Handles are opaque tokens from a handle table, never addresses: a stale or unknown handle is
// recognised and refused instead of being dereferenced.

#include <cstdint>

namespace Platform {

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using LONG = std::int32_t;
// Some C libraries (libjpeg among them) define these as macros; theirs then stand.
#ifndef FALSE
constexpr BOOL FALSE = 0;
#endif
#ifndef TRUE
constexpr BOOL TRUE = 1;
#endif

using HANDLE = void *;
using HGDIOBJ = void *;
struct HFONT__;
using HFONT = HFONT__ *;
struct HDC__;
using HDC = HDC__ *;
struct HWND__;
using HWND = HWND__ *;

constexpr int LF_FACESIZE = 32;

// A font's logical description, as GetObjectA reads it and CreateFontIndirectA takes it.
struct LOGFONTA {
  LONG lfHeight = 0; // pixels: negative is the em height, positive the cell height, 0 the default
  LONG lfWidth = 0;
  LONG lfEscapement = 0; // tenths of a degree, counter-clockwise on the screen
  LONG lfOrientation = 0;
  LONG lfWeight = 0;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  char lfFaceName[LF_FACESIZE] = {};
};

constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_SEMIBOLD = 600;
constexpr LONG FW_BOLD = 700;

constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;

constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE OUT_TT_ONLY_PRECIS = 7;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE DEFAULT_PITCH = 0;

// GetStockObject indices of the stock fonts.
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;

// GetDeviceCaps indices.
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

} // namespace Platform
