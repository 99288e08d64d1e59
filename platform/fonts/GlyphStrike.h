#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace Platform::Fonts {

// One rendered glyph: a grey-scale coverage bitmap (Width x Height bytes, rows packed) placed
// relative to the pen position on the baseline. In a rotated strike the bitmap is already rotated.
struct TGlyph {
  std::int32_t Left = 0; // bitmap's left column, pixels right of the pen position
  std::int32_t Top = 0;  // bitmap's top row, pixels above the baseline
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  // Whole pixels along the text's direction (the same at every angle).
  std::int32_t Advance = 0;
  std::uint32_t Offset = 0;
  // The glyph's index in its face (0: the face has no glyph for the character).
  std::uint32_t Index = 0;
};

// Lines of the text cell in pixels, measured down from its top.
struct TStrikeMetrics {
  int PixelSize = 0; // the em height
  int Ascent = 0;
  int Descent = 0;
  int UnderlineTop = 0;
  int UnderlineThickness = 1;
  int StrikeOutTop = 0;
  int StrikeOutThickness = 1;
  int Height() const { return Ascent + Descent; }
};

struct TFreeTypeFace;

// One glyph of a run: its index in the face and the whole pixels the pen moves after it.
struct TGlyphPlacement {
  std::uint32_t Index = 0;
  std::int32_t Advance = 0;
  friend bool operator==(const TGlyphPlacement &, const TGlyphPlacement &) = default;
};

// The glyphs a text is drawn with and the face they come from, so that a vector backend places
// the very glyphs the raster backend draws, at the same integer advances: it loads the face from
// File (face FaceIndex) at PixelSize, applies the synthetic styles and the angle (tenths of a
// degree, counter-clockwise) as noted, and puts glyph i at the sum of the advances before it.
struct TGlyphRun {
  std::string File;
  int FaceIndex = 0;
  int PixelSize = 0;
  bool SyntheticBold = false;
  bool SyntheticItalic = false;
  int Angle = 0;
  TStrikeMetrics Metrics;
  std::vector<TGlyphPlacement> Glyphs;
};

// What the font engine counts, so that tests can tell a cache hit from repeated work.
struct TEngineStats {
  std::size_t FaceLoads = 0;
  std::size_t Resolutions = 0;
  std::size_t StrikesCreated = 0;
  std::size_t GlyphsRendered = 0;
};

// The glyphs of one face at one pixel size, synthetic style and angle, rendered once and kept.
// Latin-1 characters are found by a direct table, others by a hash map. A strike holds at most
// about MaxBytes of bitmaps: past that it drops its glyphs and starts again.
class TGlyphStrike {
public:
  struct TKey {
    const TFreeTypeFace *Face = nullptr;
    int PixelSize = 0;
    bool Embolden = false;
    bool Oblique = false;
    int Angle = 0; // tenths of a degree, 0..3599
    friend bool operator==(const TKey &, const TKey &) = default;
  };

  TGlyphStrike(std::shared_ptr<TFreeTypeFace> face, const TKey &key, TEngineStats &stats);
  ~TGlyphStrike();
  TGlyphStrike(const TGlyphStrike &) = delete;
  TGlyphStrike &operator=(const TGlyphStrike &) = delete;

  // The glyph of a character; the reference is valid until the next call of Glyph.
  const TGlyph &Glyph(char32_t c) {
    if (c < 256) {
      if (const std::int32_t i = FLatin[c]; i >= 0)
        return FGlyphs[static_cast<std::size_t>(i)];
    } else if (auto found = FOthers.find(c); found != FOthers.end()) {
      return FGlyphs[static_cast<std::size_t>(found->second)];
    }
    return Load(c);
  }
  const std::uint8_t *Bits(const TGlyph &glyph) const { return FBits.data() + glyph.Offset; }

  const TKey &Key() const { return FKey; }
  const TStrikeMetrics &Metrics() const { return FMetrics; }
  // The sum of the advances of the text's characters.
  std::int64_t TextWidth(std::string_view text);
  // The text's glyphs (UTF-8, stray bytes as Latin-1) and this strike's face.
  TGlyphRun Run(std::string_view text);
  // The text's glyphs added to the end of glyphs, whose storage a caller drawing many texts keeps.
  void AppendGlyphs(std::string_view text, std::vector<TGlyphPlacement> &glyphs);
  // Bytes of glyph bitmaps held.
  std::size_t Bytes() const { return FBits.size(); }

  static constexpr std::size_t MaxBytes = std::size_t{16} << 20;

private:
  const TGlyph &Load(char32_t c);
  void Clear();

  std::int32_t FLatin[256];
  std::vector<TGlyph> FGlyphs;
  std::unordered_map<char32_t, std::int32_t> FOthers;
  std::vector<std::uint8_t> FBits;
  TKey FKey;
  TStrikeMetrics FMetrics;
  std::shared_ptr<TFreeTypeFace> FFace;
  // The face's size object for this strike (an FT_Size), so strikes of one face share the file.
  void *FSize = nullptr;
  TEngineStats &FStats;
};

} // namespace Platform::Fonts
