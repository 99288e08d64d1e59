#pragma once

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

// What a canvas draws on: one virtual call per primitive, never per pixel. The canvas has
// already ordered boxes, dropped figures that would draw nothing (clear pen and clear brush)
// and turned psClear/bsClear into "no outline"/"no fill" as the comments say.
class VELGRAPH_API TDevice {
public:
  virtual ~TDevice() = default;

  // Pixels per inch of the device, for font sizes given in points.
  virtual int PixelsPerInch() const { return 96; }
  // The drawable area in device pixels; empty for a device without pixels (a recording).
  virtual TRect Bounds() const { return {}; }

  // From a to b without b's pixel. The pen style is not psClear. dashPhase is the position in
  // the style's pattern; the device advances it so the pattern continues along a polyline.
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
};

} // namespace Platform
