#include <platform/graphics/Font.h>

#include <algorithm>
#include <cstring>
#include <platform/rtl/HandleTable.h>

namespace Platform {

namespace {

bool SameLogFont(const LOGFONTA &a, const LOGFONTA &b) {
  return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
         a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
         a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
         a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision && a.lfQuality == b.lfQuality &&
         a.lfPitchAndFamily == b.lfPitchAndFamily && std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

// Frees the font object unless a device context still has it selected, as DeleteObject does.
void ReleaseFont(HFONT font) {
  if (font && !HandleTable::IsSelected(font))
    HandleTable::FreeFont(font);
}

} // namespace

TFont::~TFont() { ReleaseFont(FHandle); }

LOGFONTA TFont::LogFont() const {
  LOGFONTA font;
  font.lfHeight = -PointsToPixels(FSize, FPixelsPerInch);
  font.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  font.lfItalic = FStyle.Contains(fsItalic);
  font.lfUnderline = FStyle.Contains(fsUnderline);
  font.lfStrikeOut = FStyle.Contains(fsStrikeOut);
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH;
  const std::size_t length = std::min(FName.size(), std::size_t{LF_FACESIZE - 1});
  std::memcpy(font.lfFaceName, FName.data(), length);
  return font;
}

HFONT TFont::Handle() const {
  const LOGFONTA wanted = LogFont();
  // The handle stays while it still describes this font; someone may also have deleted it.
  if (const LOGFONTA *current = HandleTable::FindFont(FHandle); current && SameLogFont(*current, wanted))
    return FHandle;
  ReleaseFont(FHandle);
  FHandle = HandleTable::NewFont(wanted);
  return FHandle;
}

} // namespace Platform
