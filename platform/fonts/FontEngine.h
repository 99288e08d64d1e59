#pragma once

#include <memory>
#include <platform/fonts/GlyphStrike.h>
#include <platform/graphics/Font.h>
#include <platform/rtl/Exceptions.h>
#include <string>
#include <string_view>

namespace Platform {

// No font could be loaded at all (no font files, or none that FreeType reads).
class EFontError : public Exception {
public:
  using Exception::Exception;
};

namespace Fonts {

// The face a font description resolves to.
struct TFaceInfo {
  std::string Family;
  std::string StyleName;
  std::string File;
  // The face's index in File (collections hold several).
  int Index = 0;
  // Styles asked for that the face lacks and the engine draws itself.
  bool SyntheticBold = false;
  bool SyntheticItalic = false;
};

// Resolves font names with fontconfig ("arial" gives its metric-compatible Liberation Sans; an
// unknown name gives a sans face), opens them with FreeType and keeps what it made: resolved
// names, open faces and glyph strikes, each in a bounded cache. User-interface thread only.
class TFontEngine {
public:
  // The engine of the process, on the system's font configuration.
  static TFontEngine &Instance();
  // An engine on the given fontconfig configuration file (empty: the system's). Nothing is
  // loaded before the first call, which raises EFontError when no font can be used. A name
  // holding a NUL byte raises Exception at once.
  explicit TFontEngine(std::string configFile = {});
  ~TFontEngine();
  TFontEngine(const TFontEngine &) = delete;
  TFontEngine &operator=(const TFontEngine &) = delete;

  // The glyphs of the font at the resolution (escapement and bold/italic included; underline
  // and strike-out are drawn by the caller from the metrics). Valid until the next call.
  TGlyphStrike &Strike(const TFontSpec &font, int pixelsPerInch);
  // Width (sum of advances) and height (ascent + descent) of the text, unrotated.
  TSize TextExtent(const TFontSpec &font, int pixelsPerInch, std::string_view text);
  // The lines of the font's text cell: ascent, descent, underline and strike-out.
  const TStrikeMetrics &Metrics(const TFontSpec &font, int pixelsPerInch);
  // The glyphs the text is drawn with, their advances and their face, for backends that place
  // glyphs themselves.
  TGlyphRun GlyphRun(const TFontSpec &font, int pixelsPerInch, std::string_view text);
  TFaceInfo Describe(const TFontSpec &font);
  const TEngineStats &Stats() const;
  // Strikes held and the bytes of their glyph bitmaps.
  std::size_t StrikeCount() const;
  std::size_t StrikeBytes() const;

  // Cache bounds: distinct name/style pairs remembered, strikes kept and the bytes of glyph
  // bitmaps all strikes may hold before the least recently used are dropped.
  static constexpr std::size_t MaxResolved = 256;
  static constexpr std::size_t MaxStrikes = 64;
  static constexpr std::size_t MaxStrikeBytes = std::size_t{64} << 20;

private:
  struct TImpl;
  std::unique_ptr<TImpl> F;
};

} // namespace Fonts
} // namespace Platform
