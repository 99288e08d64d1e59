#pragma once

#include <platform/graphics/FontSpec.h>
#include <platform/rtl/Export.h>
#include <platform/rtl/Win32Types.h>

namespace Platform {

// A font's description: the face name, a size in points at the device's pixels per inch,
// a style set and the text colour. Handle() is the font as a Win32 font object; the TFont owns it
// and makes a new one when its description has changed since.
class VELGRAPH_API TFont {
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
