#include <rulers/HRuler.h>

#include <platform/rtl/Rtl.h>
#include <platform/win32/DeviceCaps.h>

namespace Pbrulers {

using namespace Platform;

TVelPBHRuler::TVelPBHRuler(TComponent *AOwner) : TRulerControl(AOwner, raHorizontal) {
  FShowBorder = true;
  SetColor(clWhite);
  SetHeight(33);
  SetWidth(200);
  SetDecimals(0);
  Font().SetName("arial");
  Font().SetSize(6);
  SetXMin(0);
  SetXMax(100);
  SetXDiv(0);
  FLeftToRight = true;
  FDivisionPlacement = dpTop;
  FLengthUnits = luCustom;
}

void TVelPBHRuler::RaiseEmptyRange() {
  if (!(FXMax > FXMin))
    FXMax = FXMin + 1;
}

void TVelPBHRuler::PaintLabel(double s, const std::string &text) {
  TCanvas &C = *FPaintCanvas;
  const int y = Shifted((Pixel(ClientHeight() * s) - static_cast<std::int64_t>(C.TextHeight("2"))) / 2, FPrintOffsetY);
  C.TextOut(Shifted(C.PenPos().X, Pixel(3 * s)), y, text);
}

void TVelPBHRuler::PaintWorldTicks(const TPaintTarget &target) {
  TCanvas &C = *FPaintCanvas;
  const double s = target.Scale;
  const int u = Div(Height(), 5);
  const int d = FShowBorder ? 0 : 1;
  const int bottom = Shifted(Pixel(ClientHeight() * s), FPrintOffsetY);
  const auto tick = [&](std::int64_t i, double v, std::int64_t p) {
    const int x = Shifted(p, FPrintOffsetX);
    const int k = 1 + WorldTickGrade(i);
    if (FDivisionPlacement == dpTop) {
      C.MoveTo(x, Shifted(Pixel(s) - d, FPrintOffsetY));
      C.LineTo(x, Shifted(Pixel(k * u * s), FPrintOffsetY));
    } else {
      C.MoveTo(x, bottom);
      C.LineTo(x, Shifted(bottom, -static_cast<std::int64_t>(Pixel(k * u * s))));
    }
    C.Brush().SetStyle(bsClear);
    if (i % 2 == 0)
      PaintLabel(s, DoubleToString(v));
    C.Brush().SetStyle(bsSolid);
  };
  ForEachWorldTickPosition(FXMin, FXMax, FXDiv, Width(), !FLeftToRight, s, tick);
}

void TVelPBHRuler::PaintPhysicalTicks(const TPaintTarget &target) {
  TCanvas &C = *FPaintCanvas;
  const double s = target.Scale;
  const int H = Height();
  const int lastRow = ClientHeight() - 1;
  const int unitDivisor = FLengthUnits == luActualInches ? 10 : 4;
  const int unitScaled = Pixel(H * s / unitDivisor);
  const int unit = Pixel(static_cast<double>(H) / unitDivisor);
  const int pitch = PhysicalPitch(FLengthUnits, target.PixelsPerInch);
  const double extent = Width() * s;
  // Ticks left of what shows may still show the start of their label.
  const double reach = Pixel(3 * s) + C.TextWidth(IntToStr(PhysicalTickCount(extent, pitch)));
  const auto [lo, hi] = VisibleSpan();
  const double from = lo - FPrintOffsetX - reach, to = hi - FPrintOffsetX;
  const std::int64_t c = ForEachPhysicalTick(extent, pitch, FLeftToRight, from, to, [&](std::int64_t i, double q) {
    const int x = Shifted(Round(q), FPrintOffsetX);
    const int k = PhysicalTickMultiplier(FLengthUnits, i);
    if (FDivisionPlacement == dpTop) {
      C.MoveTo(x, FPrintOffsetY);
      C.LineTo(x, Shifted(static_cast<std::int64_t>(k) * unitScaled, FPrintOffsetY));
    } else {
      C.MoveTo(x, Shifted(Pixel(lastRow * s), FPrintOffsetY));
      C.LineTo(x, Shifted(Pixel((lastRow - static_cast<double>(k) * unit) * s), FPrintOffsetY));
    }
    const std::string label = PhysicalLabel(FLengthUnits, i);
    if (!label.empty())
      PaintLabel(s, label);
  });
  SetXMin(RangeResetMin);
  SetXMax(RangeResetMax(FLengthUnits, c));
}

} // namespace Pbrulers
