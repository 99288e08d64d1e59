#include <platform/graphics/Font.h>

#include <algorithm>
#include <cstring>
#include <platform/win32/GdiObjects.h>
#include <platform/win32/HandleTable.h>

namespace Platform {

namespace {

constexpr int DefaultPoints = 8;
constexpr int DefaultPixelsPerInch = 96;

bool SameLogFont(const LOGFONTA &a, const LOGFONTA &b) {
  return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
         a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
         a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
         a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision && a.lfQuality == b.lfQuality &&
         a.lfPitchAndFamily == b.lfPitchAndFamily && std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

} // namespace

int PointsToPixels(int points, int pixelsPerInch) {
  std::int64_t size = points == 0 ? DefaultPoints : points;
  size = size < 0 ? -size : size;
  const std::int64_t ppi = pixelsPerInch > 0 ? pixelsPerInch : DefaultPixelsPerInch;
  // Rounded to nearest as the platform's MulDiv does.
  const std::int64_t pixels = (size * ppi + 36) / 72;
  return static_cast<int>(std::clamp<std::int64_t>(pixels, 1, TFontSpec::MaxPixelSize));
}

TFont::~TFont() {
  if (FHandle)
    DeleteObject(FHandle);
}

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
  if (FHandle)
    DeleteObject(FHandle);
  FHandle = CreateFontIndirectA(&wanted);
  return FHandle;
}

} // namespace Platform
