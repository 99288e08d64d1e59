#pragma once

// The plain description of a font, as devices and the font engine take it: no handles, no Win32
// types. TFont (Font.h) is the application's font object built on it.

#include <cstdint>
#include <platform/graphics/Color.h>
#include <platform/rtl/Export.h>
#include <platform/rtl/Set.h>
#include <string>

namespace Platform {

enum class TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using enum TFontStyle;

using TFontStyles = TSet<TFontStyle>;

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
VELGRAPH_API int PointsToPixels(int points, int pixelsPerInch);

} // namespace Platform
