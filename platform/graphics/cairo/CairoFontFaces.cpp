#include <platform/graphics/cairo/CairoFontFaces.h>

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <platform/fonts/FontEngine.h>

namespace Platform::CairoFontFaces {

namespace {

cairo_font_face_t *NewFace(const Fonts::TFaceInfo &info) {
  FcPattern *pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8 *>(info.File.c_str()));
  FcPatternAddInteger(pattern, FC_INDEX, info.Index);
  cairo_font_face_t *face = cairo_ft_font_face_create_for_pattern(pattern);
  FcPatternDestroy(pattern);
  unsigned int synthesize = 0;
  if (info.SyntheticBold)
    synthesize |= CAIRO_FT_SYNTHESIZE_BOLD;
  if (info.SyntheticItalic)
    synthesize |= CAIRO_FT_SYNTHESIZE_OBLIQUE;
  if (synthesize)
    cairo_ft_font_face_set_synthesize(face, synthesize);
  return face;
}

} // namespace

TCache::~TCache() { Clear(); }

void TCache::Clear() {
  for (TEntry &entry : FEntries)
    cairo_font_face_destroy(entry.Face);
  FEntries.clear();
  FLast = nullptr;
}

cairo_font_face_t *TCache::Face(const TFontSpec &font) {
  const TFontStyles style = TFontStyles::FromBits(font.Style.Bits() & 3); // bold and italic choose the face
  if (FLast && FLastStyle == style && FLastName == font.Name)
    return FLast;
  const Fonts::TFaceInfo info = Fonts::TFontEngine::Instance().Describe(font);
  std::string key = info.File + '#' + std::to_string(info.Index) + (info.SyntheticBold ? "b" : "") +
                    (info.SyntheticItalic ? "i" : "");
  cairo_font_face_t *face = nullptr;
  for (const TEntry &entry : FEntries)
    if (entry.Key == key)
      face = entry.Face;
  if (!face) {
    if (FEntries.size() >= MaxFaces)
      Clear();
    face = NewFace(info);
    FEntries.push_back({std::move(key), face});
  }
  FLast = face;
  FLastName = font.Name;
  FLastStyle = style;
  return face;
}

} // namespace Platform::CairoFontFaces
