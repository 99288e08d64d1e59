#pragma once

#include <platform/graphics/Font.h>
#include <string>
#include <vector>

typedef struct _cairo_font_face cairo_font_face_t;

namespace Platform::CairoFontFaces {

// cairo's font faces for the files the font engine resolves names to, so that a page shows the
// faces the screen shows. cairo opens each file itself: it sets sizes on the faces it holds,
// which must not disturb the engine's. Holds its faces until destroyed; bounded.
class TCache {
public:
  TCache() = default;
  ~TCache();
  TCache(const TCache &) = delete;
  TCache &operator=(const TCache &) = delete;

  // The face for the font's name and style (bold and italic the file lacks are synthesized).
  cairo_font_face_t *Face(const TFontSpec &font);

  static constexpr std::size_t MaxFaces = 64;

private:
  struct TEntry {
    std::string Key;
    cairo_font_face_t *Face = nullptr;
  };
  void Clear();

  std::vector<TEntry> FEntries;
  // The last request, so that a page of labels in one font skips the lookups.
  TFontName FLastName;
  TFontStyles FLastStyle;
  cairo_font_face_t *FLast = nullptr;
};

} // namespace Platform::CairoFontFaces
