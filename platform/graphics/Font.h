#pragma once

#include <cstdint>
#include <string>
#include <platform/graphics/Color.h>

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

// A font's description: the face name, a size in points at the device's pixels per inch,
// a style set and the text colour.
class TFont {
public:
  const TFontName &Name() const { return FName; }
  void SetName(const TFontName &value) { FName = value; }
  int Size() const { return FSize; }
  void SetSize(int value) { FSize = value; }
  TColor Color() const { return FColor; }
  void SetColor(TColor value) { FColor = value; }
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles value) { FStyle = value; }
  void Assign(const TFont &source) {
    FName = source.FName;
    FSize = source.FSize;
    FColor = source.FColor;
    FStyle = source.FStyle;
  }

private:
  TFontName FName = "Sans";
  int FSize = 8;
  TColor FColor = clBlack;
  TFontStyles FStyle;
};

} // namespace Platform
