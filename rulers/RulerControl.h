#pragma once

#include <cstdint>
#include <platform/controls/CustomControl.h>
#include <rulers/RulerLayout.h>
#include <string>

namespace Pbrulers {

// What the horizontal and the vertical ruler share: the owner check, the settings both carry,
// the label format, the choice between screen and printer, the frame, and printing at a place
// on the page.
class TRulerControl : public Platform::TCustomControl {
public:
  // Value in fixed-point with exactly Decimals digits after '.', whatever the locale.
  std::string DoubleToString(double Value) const;

  std::uint8_t Decimals() const { return FDecimals; }
  void SetDecimals(std::uint8_t value) { Assign(FDecimals, value); }
  bool ShowBorder() const { return FShowBorder; }
  void SetBorderBoolean(bool value) { Assign(FShowBorder, value); }
  TLengthUnits LengthUnits() const { return FLengthUnits; }
  void SetLengthUnits(TLengthUnits value) { Assign(FLengthUnits, value); }

  // The canvas the next paint draws on: the ruler's own, or the printer's while Print runs.
  Platform::TCanvas *PaintCanvas() const { return FPaintCanvas; }
  int PrintOffsetX() const { return FPrintOffsetX; }
  int PrintOffsetY() const { return FPrintOffsetY; }

protected:
  // Raises "Illegal use of the Ruler component" unless AOwner is a world graph, before the
  // owner becomes the parent; the half-made control leaves the owner's list as it unwinds.
  explicit TRulerControl(Platform::TComponent *AOwner);

  // Stores a changed value and, when the ruler is visible, paints at once.
  template <class T> void Assign(T &field, T value) {
    if (field == value)
      return;
    field = value;
    if (Visible())
      Paint();
  }

  // The device of one paint: the print scale s and the pixels per inch of the physical scales.
  struct TPaintTarget {
    double Scale = 1;
    int PixelsPerInch = 96;
  };
  // Screen or printer, by the paint canvas. A screen paint clears the print offsets.
  // ppiIndex is the device-caps index whose resolution the physical scales use on the printer.
  TPaintTarget BeginPaint(int ppiIndex);
  // Font, brush and pens of the paint canvas, and the frame over the scaled client rectangle.
  void PaintFrame(const TPaintTarget &target);

  // A double in pixels as a canvas coordinate: rounded half to even, saturated to 32 bits.
  static int Pixel(double value);
  // Sum of a pixel and an offset, saturated to 32 bits.
  static int Shifted(std::int64_t pixel, std::int64_t offset);

  Platform::TCanvas *FPaintCanvas;
  int FPrintOffsetX = 0;
  int FPrintOffsetY = 0;
  std::uint8_t FDecimals = 0;
  bool FShowBorder = true;
  // World units from the start: the constructor's first paint (through the range setters) must
  // not run a physical scale and reset the range it is setting up.
  TLengthUnits FLengthUnits = luCustom;
};

} // namespace Pbrulers
