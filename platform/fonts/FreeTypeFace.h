#pragma once

// Internal to the font engine: FreeType's types stay out of the public headers, which the
// library's users compile without FreeType's include path.

#include <ft2build.h>
#include FT_FREETYPE_H
#include <string>

namespace Platform::Fonts {

// One opened font file (face index), shared by every strike cut from it.
struct TFreeTypeFace {
  FT_Face Face = nullptr;
  std::string File;
  std::string Family;
  std::string StyleName;
  TFreeTypeFace() = default;
  TFreeTypeFace(const TFreeTypeFace &) = delete;
  TFreeTypeFace &operator=(const TFreeTypeFace &) = delete;
  ~TFreeTypeFace() {
    if (Face)
      FT_Done_Face(Face);
  }
};

} // namespace Platform::Fonts
