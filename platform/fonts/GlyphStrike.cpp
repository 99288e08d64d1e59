#include <platform/fonts/GlyphStrike.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <platform/fonts/FreeTypeFace.h>
#include <platform/fonts/Utf8.h>
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

namespace Platform::Fonts {

namespace {

FT_Size SizeOf(void *size) { return static_cast<FT_Size>(size); }

int RoundPixels(double value) { return static_cast<int>(std::lround(value)); }

// The oblique shear of synthetic italics, about 12 degrees as faces without an italic usually get.
constexpr FT_Matrix ObliqueShear{0x10000, 0x0366A, 0, 0x10000};

// Counter-clockwise on the screen is counter-clockwise in FreeType's y-up space too.
FT_Matrix Rotation(int tenths) {
  const double radians = tenths * std::numbers::pi / 1800.0;
  const auto c = static_cast<FT_Fixed>(std::lround(std::cos(radians) * 65536.0));
  const auto s = static_cast<FT_Fixed>(std::lround(std::sin(radians) * 65536.0));
  return {c, -s, s, c};
}

} // namespace

TGlyphStrike::TGlyphStrike(std::shared_ptr<TFreeTypeFace> face, const TKey &key, TEngineStats &stats)
    : FKey(key), FFace(std::move(face)), FStats(stats) {
  std::fill(std::begin(FLatin), std::end(FLatin), -1);
  const FT_Face ft = FFace->Face;
  FT_Size size = nullptr;
  if (FT_New_Size(ft, &size) == 0) {
    FSize = size;
    FT_Activate_Size(size);
    if (FT_Set_Pixel_Sizes(ft, 0, static_cast<FT_UInt>(key.PixelSize)) != 0 && ft->num_fixed_sizes > 0)
      FT_Select_Size(ft, 0);
  }
  FMetrics.PixelSize = key.PixelSize;
  const FT_Size_Metrics &m = ft->size->metrics;
  FMetrics.Ascent = static_cast<int>((m.ascender + 63) >> 6);
  FMetrics.Descent = static_cast<int>((-m.descender + 63) >> 6);
  if (FMetrics.Ascent + FMetrics.Descent <= 0)
    FMetrics.Ascent = key.PixelSize;
  const double scale = FT_IS_SCALABLE(ft) ? double(key.PixelSize) / ft->units_per_EM : 0.0;
  const int underlineThickness = std::max(1, RoundPixels(ft->underline_thickness * scale));
  const int underlineCentre = FMetrics.Ascent + RoundPixels(-ft->underline_position * scale);
  FMetrics.UnderlineThickness = underlineThickness;
  FMetrics.UnderlineTop = std::min(underlineCentre - underlineThickness / 2, FMetrics.Height() - underlineThickness);
  // The OS/2 table gives the stroke's top above the baseline; faces without one get a quarter em.
  const auto *os2 = static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
    FMetrics.StrikeOutThickness = std::max(1, RoundPixels(os2->yStrikeoutSize * scale));
    FMetrics.StrikeOutTop = FMetrics.Ascent - RoundPixels(os2->yStrikeoutPosition * scale);
  } else {
    FMetrics.StrikeOutThickness = underlineThickness;
    FMetrics.StrikeOutTop = FMetrics.Ascent - key.PixelSize / 4;
  }
}

TGlyphStrike::~TGlyphStrike() {
  if (FSize)
    FT_Done_Size(SizeOf(FSize));
}

void TGlyphStrike::Clear() {
  std::fill(std::begin(FLatin), std::end(FLatin), -1);
  FGlyphs.clear();
  FOthers.clear();
  FBits.clear();
}

std::int64_t TGlyphStrike::TextWidth(std::string_view text) {
  std::int64_t width = 0;
  for (std::size_t pos = 0; pos < text.size();)
    width += Glyph(NextCodePoint(text, pos)).Advance;
  return width;
}

TGlyphRun TGlyphStrike::Run(std::string_view text) {
  TGlyphRun run{FFace->File,    static_cast<int>(FFace->Face->face_index),
                FKey.PixelSize, FKey.Embolden,
                FKey.Oblique,   FKey.Angle,
                FMetrics,       {}};
  AppendGlyphs(text, run.Glyphs);
  return run;
}

void TGlyphStrike::AppendGlyphs(std::string_view text, std::vector<TGlyphPlacement> &glyphs) {
  for (std::size_t pos = 0; pos < text.size();) {
    const TGlyph &glyph = Glyph(NextCodePoint(text, pos));
    glyphs.push_back({glyph.Index, glyph.Advance});
  }
}

const TGlyph &TGlyphStrike::Load(char32_t c) {
  if (FBits.size() > MaxBytes)
    Clear();
  ++FStats.GlyphsRendered;
  const FT_Face ft = FFace->Face;
  if (FSize)
    FT_Activate_Size(SizeOf(FSize));
  TGlyph glyph;
  glyph.Offset = static_cast<std::uint32_t>(FBits.size());
  const FT_UInt index = FT_Get_Char_Index(ft, c);
  glyph.Index = index;
  // Outlines first, so that rotation and synthesis apply; bitmap-only faces fall back to their
  // bitmaps, drawn unrotated.
  FT_Error error = FT_Load_Glyph(ft, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL);
  if (error)
    error = FT_Load_Glyph(ft, index, FT_LOAD_DEFAULT);
  if (!error) {
    const FT_GlyphSlot slot = ft->glyph;
    FT_Pos advance = slot->advance.x;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      if (FKey.Embolden) {
        const FT_Pos strength = FT_MulFix(ft->units_per_EM, ft->size->metrics.y_scale) / 24;
        FT_Outline_Embolden(&slot->outline, strength);
        advance += strength;
      }
      if (FKey.Oblique)
        FT_Outline_Transform(&slot->outline, &ObliqueShear);
      if (FKey.Angle != 0) {
        const FT_Matrix rotation = Rotation(FKey.Angle);
        FT_Outline_Transform(&slot->outline, &rotation);
      }
    }
    glyph.Advance = static_cast<std::int32_t>((advance + 32) >> 6);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
      const FT_Bitmap &bitmap = slot->bitmap;
      glyph.Left = slot->bitmap_left;
      glyph.Top = slot->bitmap_top;
      glyph.Width = static_cast<std::int32_t>(bitmap.width);
      glyph.Height = static_cast<std::int32_t>(bitmap.rows);
      FBits.resize(FBits.size() + std::size_t(glyph.Width) * std::size_t(glyph.Height));
      std::uint8_t *out = FBits.data() + glyph.Offset;
      for (int y = 0; y < glyph.Height; ++y, out += glyph.Width) {
        const unsigned char *row = bitmap.buffer + std::ptrdiff_t{y} * bitmap.pitch;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
          std::memcpy(out, row, static_cast<std::size_t>(glyph.Width));
        } else if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
          for (int x = 0; x < glyph.Width; ++x)
            out[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        } else {
          // Colour bitmaps (emoji faces) have no coverage to blend in the text colour.
          std::memset(out, 0, static_cast<std::size_t>(glyph.Width));
        }
      }
    }
  }
  const auto slotIndex = static_cast<std::int32_t>(FGlyphs.size());
  FGlyphs.push_back(glyph);
  if (c < 256)
    FLatin[c] = slotIndex;
  else
    FOthers.emplace(c, slotIndex);
  return FGlyphs.back();
}

} // namespace Platform::Fonts
