#pragma once

#include <platform/fonts/GlyphStrike.h>
#include <platform/graphics/raster/RasterOps.h>
#include <string_view>

namespace Platform::Raster {

// How a text is painted: glyph coverage blended in the text colour, optionally on a background
// cell and with underline or strike-out lines from the strike's metrics.
struct TTextPaint {
  std::uint32_t TextPixel = 0;
  bool Background = false;
  std::uint32_t BackgroundPixel = 0;
  bool Underline = false;
  bool StrikeOut = false;
};

// Writes the text with the top-left of its cell at `at`, rotated about that point by the strike's
// angle (counter-clockwise on the screen). The cell is the text's width by ascent + descent.
void DrawText(const TRasterSurface &surface, const TClip &clip, TPoint64 at, std::string_view text,
              Fonts::TGlyphStrike &strike, const TTextPaint &paint);

} // namespace Platform::Raster
