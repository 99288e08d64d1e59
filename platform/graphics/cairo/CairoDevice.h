#pragma once

#include <memory>
#include <platform/graphics/Device.h>

typedef struct _cairo cairo_t;

namespace Platform {

// The canvas backend on a cairo context: the printer's pages (PDF, PostScript, SVG, PNG). The
// context's user space is the device's pixels, y down, as on a raster surface; figures are
// placed as the raster backend places them (a cosmetic line covers the pixels from a's up to
// b's, outlines run through the centres of the box's edge pixels), so the same calls give the
// same picture up to anti-aliasing.
//
// Paper has no pixels to combine with, so the pen modes become colours: pmCopy and every mode
// that combines pen and destination (pmNot, pmXor, pmNotXor, pmMerge, pmMask and their
// variants) draw in the pen colour, which keeps rubber-band figures visible on paper; pmBlack and
// pmWhite draw black and white, pmNotCopy the inverted pen colour, and pmNop draws nothing. The
// brush of a filled figure follows the same rule, as it follows the pen mode on the screen.
// Pixels can be read back only from an image surface; other surfaces answer -1.
class TCairoDevice : public TDevice {
public:
  // The device keeps a reference to the context while it lives.
  TCairoDevice(cairo_t *context, const TRect &bounds, int pixelsPerInch);
  ~TCairoDevice() override;
  TCairoDevice(const TCairoDevice &) = delete;
  TCairoDevice &operator=(const TCairoDevice &) = delete;

  cairo_t *Context() const;
  int PixelsPerInch() const override;
  TRect Bounds() const override;
  // Forgets the clip in force, for a context whose clip was reset behind the device's back (a
  // new page of some surfaces).
  void ResetClip();

  void Line(const TDrawState &state, TPoint a, TPoint b, int &dashPhase) override;
  void Polyline(const TDrawState &state, std::span<const TPoint> points, int &dashPhase) override;
  void Polygon(const TDrawState &state, std::span<const TPoint> points) override;
  void Rectangle(const TDrawState &state, const TRect &box) override;
  void FillRect(const TDrawState &state, const TRect &rect) override;
  void Ellipse(const TDrawState &state, const TRect &box) override;
  void Arc(const TDrawState &state, const TRect &box, TPoint start, TPoint end) override;
  void SetPixel(const TDrawState &state, TPoint p, TColor color) override;
  TColor GetPixel(const TDrawState &state, TPoint p) const override;
  void DrawImage(const TDrawState &state, const TRect &dest, const TRasterSurface &image) override;
  void TextOut(const TDrawState &state, TPoint at, std::string_view text, const TFontSpec &font) override;

private:
  struct TImpl;
  std::unique_ptr<TImpl> F;
};

} // namespace Platform
