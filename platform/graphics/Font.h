#pragma once

#include <cstdint>
#include <platform/graphics/Color.h>
#include <platform/win32/Win32Types.h>
#include <string>

namespace Platform {

enum class TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using enum TFontStyle;

// A set of TFontStyle, one byte.
class TFontStyles {
public:
  constexpr TFontStyles() = default;
  constexpr TFontStyles(std::initializer_list<TFontStyle> styles) {
    for (TFontStyle s : styles)
      FBits |= Bit(s);
  }
  constexpr bool Contains(TFontStyle s) const { return (FBits & Bit(s)) != 0; }
  constexpr void Include(TFontStyle s) { FBits |= Bit(s); }
  constexpr void Exclude(TFontStyle s) { FBits &= static_cast<std::uint8_t>(~Bit(s)); }
  constexpr std::uint8_t Bits() const { return FBits; }
  static constexpr TFontStyles FromBits(std::uint8_t bits) {
    TFontStyles s;
    s.FBits = bits & 0x0F;
    return s;
  }
  friend constexpr bool operator==(const TFontStyles &, const TFontStyles &) = default;

private:
  static constexpr std::uint8_t Bit(TFontStyle s) { return static_cast<std::uint8_t>(1u << static_cast<unsigned>(s)); }
  std::uint8_t FBits = 0;
};

using TFontName = std::string;

// The extent of a text in pixels.
struct TSize {
  int cx = 0;
  int cy = 0;
  friend constexpr bool operator==(const TSize &, const TSize &) = default;
};

// What a device needs to draw text, by value so that a recording keeps it.
// Sizes: Height, when not 0, is in device pixels as a logical font gives it (negative: the em
// height; positive: the cell height, ascent + descent); otherwise Size is in points at the
// device's pixels per inch. A Size of 0 means the default 8 points and a negative Size counts
// by its magnitude. The font engine caps the resulting em height at TFontSpec::MaxPixelSize.
struct TFontSpec {
  TFontName Name = "Sans";
  int Size = 8;
  int Height = 0;
  TFontStyles Style;
  TColor Color = clBlack;
  // Tenths of a degree, counter-clockwise on the screen, about the top-left of the text cell.
  int Escapement = 0;

  // Em heights beyond this many pixels are clamped: one glyph of a 10,000-point font would
  // otherwise need hundreds of megabytes, and no drawing needs letters larger than a page.
  static constexpr int MaxPixelSize = 2048;

  friend bool operator==(const TFontSpec &, const TFontSpec &) = default;
};

// The em height in pixels of a size in points at the given pixels per inch, rounded to nearest;
// sizes and resolutions out of range are normalised as TFontSpec says.
int PointsToPixels(int points, int pixelsPerInch);

// A font's description: the face name, a size in points at the device's pixels per inch,
// a style set and the text colour. Handle() is the font as a Win32 font object; the TFont owns it
// and makes a new one when its description has changed since.
class TFont {
public:
  TFont() = default;
  TFont(const TFont &source) { Assign(source); }
  TFont &operator=(const TFont &source) {
    Assign(source);
    return *this;
  }
  ~TFont();

  const TFontName &Name() const { return FName; }
  void SetName(const TFontName &value) { FName = value; }
  int Size() const { return FSize; }
  void SetSize(int value) { FSize = value; }
  TColor Color() const { return FColor; }
  void SetColor(TColor value) { FColor = value; }
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles value) { FStyle = value; }
  // The resolution Size is converted at; a canvas keeps it equal to its device's.
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int value) { FPixelsPerInch = value; }
  void Assign(const TFont &source) {
    FName = source.FName;
    FSize = source.FSize;
    FColor = source.FColor;
    FStyle = source.FStyle;
  }

  // The description as a device takes it.
  TFontSpec Description() const { return {FName, FSize, 0, FStyle, FColor, 0}; }
  // The logical font this font stands for (the em height at PixelsPerInch).
  LOGFONTA LogFont() const;
  // The font object for the Win32 calls; 0 only when the handle table is full.
  HFONT Handle() const;

private:
  TFontName FName = "Sans";
  int FSize = 8;
  TColor FColor = clBlack;
  TFontStyles FStyle;
  int FPixelsPerInch = 96;
  mutable HFONT FHandle = nullptr;
};

} // namespace Platform
