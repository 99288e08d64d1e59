#pragma once

#include <algorithm>
#include <platform/graphics/Brush.h>
#include <platform/graphics/FontSpec.h>
#include <platform/graphics/Pen.h>
#include <platform/graphics/RasterSurface.h>
#include <platform/graphics/Types.h>
#include <platform/rtl/Export.h>
#include <span>
#include <string_view>

namespace Platform {

struct TPenState {
  TColor Color = clBlack;
  TPenMode Mode = pmCopy;
  TPenStyle Style = psSolid;
  int Width = 1;
};

struct TBrushState {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
};

// Everything a device needs besides the figure: the canvas's pen and brush, the origin added
// to every coordinate and the clip rectangle in device pixels (the device intersects it with
// its own bounds). Coordinates reach the device as the canvas got them; the device adds the
// origin in 64-bit arithmetic, so no sum overflows.
struct TDrawState {
  TPenState Pen;
  TBrushState Brush;
  TPoint Origin;
  TRect Clip;
};

// The vertical lines of a font's text cell in device pixels: the cell is Ascent + Descent high and
// the baseline lies Ascent below its top.
struct TTextMetrics {
  int Ascent = 0;
  int Descent = 0;
  int Height() const { return Ascent + Descent; }
  friend constexpr bool operator==(const TTextMetrics &, const TTextMetrics &) = default;
};

// The length of every dash cycle (18 + 6, 9 + 6 + 3 + 6, 9 + 3 + 3 + 3 + 3 + 3 and 3 + 3) divides
// this, so a phase kept modulo it stays right when the style changes between two lines of a path.
constexpr int DashPhaseModulus = 24;

// Where the dash pattern stands after the line a-b that started at phase: each pixel step along
// the line's longer extent advances it by one. Every device advances the phase this way.
constexpr int DashPhaseAfter(int phase, TPoint a, TPoint b) {
  const auto extent = [](int from, int to) {
    const long long d = static_cast<long long>(to) - from;
    return d < 0 ? -d : d;
  };
  const long long steps = std::max(extent(a.X, b.X), extent(a.Y, b.Y));
  const long long normal = (phase % DashPhaseModulus + DashPhaseModulus) % DashPhaseModulus;
  return static_cast<int>((normal + steps) % DashPhaseModulus);
}

// What a canvas draws on: one virtual call per primitive, never per pixel. The canvas has
// already ordered boxes, dropped figures that would draw nothing (clear pen and clear brush)
// and turned psClear/bsClear into "no outline"/"no fill" as the comments say. Coordinates are the
// canvas's, anywhere in the 32-bit range, and the state's origin is still to be added.
class VELGRAPH_API TDevice {
public:
  virtual ~TDevice() = default;

  // Pixels per inch of the device, for font sizes given in points; may change between calls.
  virtual int PixelsPerInch() const { return 96; }
  // The drawable area in device pixels; empty for a device without pixels (a recording).
  virtual TRect Bounds() const { return {}; }

  // The pen moves to p without drawing; the next Line starts there with the dash phase at 0.
  // Devices that draw each line whole from its two ends may ignore it.
  virtual void MoveTo(const TDrawState & /*state*/, TPoint /*p*/) {}
  // From a to b without b's pixel. The pen style is not psClear. dashPhase is the position in
  // the style's pattern; the device advances it as DashPhaseAfter does, so the pattern continues
  // along a polyline.
  virtual void Line(const TDrawState &state, TPoint a, TPoint b, int &dashPhase) = 0;
  // Points 0..n-1 joined by lines, the last point's pixel excluded. Style is not psClear.
  virtual void Polyline(const TDrawState &state, std::span<const TPoint> points, int &dashPhase) = 0;
  // Alternate-rule fill with the brush unless it is bsClear, then the closed outline with the pen
  // unless it is psClear. At least one point.
  virtual void Polygon(const TDrawState &state, std::span<const TPoint> points) = 0;
  // Box is ordered; right and bottom exclusive. Pen outline unless psClear, brush fill unless bsClear.
  virtual void Rectangle(const TDrawState &state, const TRect &box) = 0;
  // The brush alone, pen mode not applied; rect as given (an inverted rect fills nothing).
  // The brush is not bsClear.
  virtual void FillRect(const TDrawState &state, const TRect &rect) = 0;
  // The ellipse inscribed in the ordered box, as Rectangle.
  virtual void Ellipse(const TDrawState &state, const TRect &box) = 0;
  // The part of the ellipse inscribed in the ordered box running counter-clockwise on the screen
  // from the ray towards start to the ray towards end. Style is not psClear.
  virtual void Arc(const TDrawState &state, const TRect &box, TPoint start, TPoint end) = 0;
  // One pixel, no pen mode.
  virtual void SetPixel(const TDrawState &state, TPoint p, TColor color) = 0;
  // The pixel's colour, or -1 outside the device or the clip.
  virtual TColor GetPixel(const TDrawState &state, TPoint p) const = 0;
  // Copies the image into dest (ordered, not empty), scaled by nearest-neighbour sampling when
  // the sizes differ. The image is not empty.
  virtual void DrawImage(const TDrawState &state, const TRect &dest, const TRasterSurface &image) = 0;
  // The text with the top-left of its cell at `at`, rotated about that point by the font's
  // escapement; on the brush colour (a plain fill, whatever the brush's hatch) unless the brush is
  // bsClear. The pen is not used. The text is not empty; the font's name may be anything.
  virtual void TextOut(const TDrawState &state, TPoint at, std::string_view text, const TFontSpec &font) = 0;
  // The sum of the text's whole-pixel advances by the cell height, unrotated, exactly as TextOut
  // would lay the text out on this device. The text may be empty (width 0, the cell's height).
  virtual TSize TextExtent(const TFontSpec &font, std::string_view text) = 0;
  // Ascent and descent of the font on this device, the same as TextExtent's height adds up.
  virtual TTextMetrics TextMetrics(const TFontSpec &font) = 0;
};

} // namespace Platform
