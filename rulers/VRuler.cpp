#include <rulers/VRuler.h>

#include <platform/rtl/Rtl.h>
#include <platform/win32/DeviceCaps.h>

namespace Pbrulers {

using namespace Platform;

TVelPBVRuler::TVelPBVRuler(TComponent *AOwner) : TRulerControl(AOwner, raVertical) {
  FShowBorder = true;
  SetColor(clWhite);
  SetYMin(0);
  SetYMax(100);
  SetYDiv(0);
  SetHeight(200);
  SetWidth(33);
  SetDecimals(0);
  Font().SetName("arial");
  Font().SetSize(6);
  FBottomToTop = true;
  FDivisionPlacement = dpLeft;
  FLengthUnits = luCustom;
}

void TVelPBVRuler::RaiseEmptyRange() {
  if (!(FYMax > FYMin))
    FYMax = FYMin + 1;
}

void TVelPBVRuler::PaintWorldTicks(const TPaintTarget &target) {
  TCanvas &C = *FPaintCanvas;
  const double s = target.Scale;
  const int u = Div(Width(), 5);
  const int d = FShowBorder ? 0 : 1;
  const int right = Shifted(Pixel(ClientWidth() * s), FPrintOffsetX);
  const int labelX = Shifted(Pixel(u * s), FPrintOffsetX);
  const std::int64_t labelRise = LabelRise(s);
  const auto tick = [&](std::int64_t i, double v, std::int64_t q) {
    const int y = Shifted(q, FPrintOffsetY);
    const int k = 2 + WorldTickGrade(i);
    if (FDivisionPlacement == dpLeft) {
      C.MoveTo(Shifted(Pixel(s) - d, FPrintOffsetX), y);
      C.LineTo(Shifted(Pixel(k * u * s), FPrintOffsetX), y);
    } else {
      C.MoveTo(right, y);
      C.LineTo(Shifted(right, -static_cast<std::int64_t>(Pixel(k * u * s))), y);
    }
    C.Brush().SetStyle(bsClear);
    if (i > 0 && i % 2 == 0)
      C.TextOut(labelX, Shifted(C.PenPos().Y, -labelRise), DoubleToString(v));
    C.Brush().SetStyle(bsSolid);
  };
  ForEachWorldTickPosition(FYMin, FYMax, FYDiv, Height(), FBottomToTop, s, tick);
}

void TVelPBVRuler::PaintPhysicalTicks(const TPaintTarget &target) {
  TCanvas &C = *FPaintCanvas;
  const double s = target.Scale;
  const int unit = Pixel(Width() * s / (FLengthUnits == luActualInches ? 10 : 4));
  const int right = Shifted(Pixel(ClientWidth() * s), FPrintOffsetX);
  const int strip = Pixel(ClientWidth() * s);
  const std::int64_t labelRise = LabelRise(s);
  const int pitch = PhysicalPitch(FLengthUnits, target.PixelsPerInch);
  const double extent = Height() * s;
  // Ticks below what shows may still show their label, which stands above them.
  const double reach = static_cast<double>(labelRise);
  const auto [lo, hi] = VisibleSpan();
  const double from = lo - FPrintOffsetY, to = hi - FPrintOffsetY + reach;
  const std::int64_t c = ForEachPhysicalTick(extent, pitch, !FBottomToTop, from, to, [&](std::int64_t i, double q) {
    const int y = Shifted(Round(q), FPrintOffsetY);
    const std::int64_t length = static_cast<std::int64_t>(PhysicalTickMultiplier(FLengthUnits, i)) * unit;
    if (FDivisionPlacement == dpLeft) {
      C.MoveTo(FPrintOffsetX, y);
      C.LineTo(Shifted(length, FPrintOffsetX), y);
    } else {
      C.MoveTo(right, y);
      C.LineTo(Shifted(right, -length), y);
    }
    C.Brush().SetStyle(bsClear);
    const std::string label = PhysicalLabel(FLengthUnits, i);
    if (!label.empty())
      C.TextOut(Shifted((strip - static_cast<std::int64_t>(C.TextWidth(label))) / 2, FPrintOffsetX),
                Shifted(C.PenPos().Y, -labelRise), label);
    C.Brush().SetStyle(bsSolid);
  });
  SetYMin(RangeResetMin);
  SetYMax(RangeResetMax(FLengthUnits, c));
}

} // namespace Pbrulers
