#pragma once

#include <algorithm>
#include <cstdint>
#include <platform/controls/CustomControl.h>
#include <platform/rtl/Rtl.h>
#include <rulers/RulerLayout.h>
#include <string>
#include <utility>

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

  // Paints the ruler on the printer with its top-left corner Left, Top inches from the origin of
  // the printer's canvas (both at the page's resolution along the ruler's axis), opening and
  // closing the print job when asked to. The ruler's own canvas is the paint canvas again
  // afterwards however the job went; a job this call opened and a failure left open is dropped.
  void Print(double Left, double Top, bool BeginDoc, bool EndDoc);

  // Screen or printer by the paint canvas; an empty range raised by one; the frame; then the
  // ticks of the graduation mode.
  void Paint() override;

protected:
  // Raises "Illegal use of the Ruler component" unless AOwner is a world graph, before the
  // owner becomes the parent; the half-made control leaves the owner's list as it unwinds.
  // axis is the direction the ruler graduates along.
  TRulerControl(Platform::TComponent *AOwner, TRulerAxis axis);

  // Stores a changed value and, when the ruler is visible, paints at once.
  template <class T> void Assign(T &field, T value) {
    if (field == value)
      return;
    field = value;
    if (Visible())
      Paint();
  }

  // The device of one paint: the print scale s, the pixels per inch of the physical scales, and
  // the size in points the ruler's font takes there.
  struct TPaintTarget {
    double Scale = 1;
    int PixelsPerInch = 96;
    int FontSize = 8;
  };
  // Calls tick(i, value, position) for the world-unit ticks of Min..Max on a ruler of length
  // screen pixels, position being the tick's device pixel at scale s before the print offset,
  // counted from the far edge when fromFarEdge. Nothing for a range no step can graduate.
  template <class TTick>
  void ForEachWorldTickPosition(double Min, double Max, double Div, int length, bool fromFarEdge, double s,
                                TTick &&tick) const {
    const double R = Max - Min;
    const double step = MajorStep(R, Div);
    const double start = FirstValue(Min, step, FirstValueShortcut(FAxis, Div > 0, Min));
    if (!(R > 0) || !std::isfinite(R))
      return;
    const auto [lo, hi] = VisibleSpan();
    ForEachWorldTick(start, step, Max, TickLimit(std::min(length * s, hi - lo)), [&](std::int64_t i, double v) {
      const std::int64_t p = Platform::Round((v - Min) * length / R);
      tick(i, v, Platform::Round(s * static_cast<double>(fromFarEdge ? length - p : p)));
    });
  }

  // Where along the ruler's axis the paint canvas can show anything, in its own pixels: the clip
  // rectangle, within the device's surface when the device has one.
  std::pair<double, double> VisibleSpan() const;

  // Unless Max > Min, Max = Min + 1, without a repaint.
  virtual void RaiseEmptyRange() = 0;
  virtual void PaintWorldTicks(const TPaintTarget &target) = 0;
  // Ends with the range reset, through the setters.
  virtual void PaintPhysicalTicks(const TPaintTarget &target) = 0;

  // A double in pixels as a canvas coordinate: rounded half to even, saturated to 32 bits.
  static int Pixel(double value);
  // Sum of a pixel and an offset, saturated to 32 bits.
  static int Shifted(std::int64_t pixel, std::int64_t offset);

  Platform::TCanvas *FPaintCanvas;
  const TRulerAxis FAxis;
  int FPrintOffsetX = 0;
  int FPrintOffsetY = 0;
  std::uint8_t FDecimals = 0;
  bool FShowBorder = true;
  // World units from the start: the constructor's first paint (through the range setters) must
  // not run a physical scale and reset the range it is setting up.
  TLengthUnits FLengthUnits = luCustom;

private:
  // Screen or printer, by the paint canvas. A screen paint clears the print offsets.
  TPaintTarget BeginPaint();
  // Font, brush and pens of the paint canvas, and the frame over the scaled client rectangle.
  void PaintFrame(const TPaintTarget &target);
};

} // namespace Pbrulers
