#include <rulers/RulerControl.h>

#include <algorithm>
#include <climits>
#include <platform/controls/Screen.h>
#include <platform/printers/Printer.h>
#include <platform/rtl/Rtl.h>
#include <platform/win32/DeviceCaps.h>
#include <worldgraph/VelGraph.h>

namespace Pbrulers {

using namespace Platform;

namespace {

Velgraph::TVelWorldGraph *RulerOwner(TComponent *AOwner) {
  auto *graph = dynamic_cast<Velgraph::TVelWorldGraph *>(AOwner);
  if (!graph)
    throw Exception("Illegal use of the Ruler component");
  return graph;
}

} // namespace

TRulerControl::TRulerControl(TComponent *AOwner, TRulerAxis axis) : TCustomControl(AOwner), FAxis(axis) {
  SetParent(RulerOwner(AOwner));
  FPaintCanvas = Canvas();
}

void TRulerControl::Paint() {
  const TPaintTarget target = BeginPaint();
  RaiseEmptyRange();
  PaintFrame(target);
  if (FLengthUnits == luCustom)
    PaintWorldTicks(target);
  else
    PaintPhysicalTicks(target);
}

std::string TRulerControl::DoubleToString(double Value) const { return FloatToStrFixed(Value, FDecimals); }

int TRulerControl::Pixel(double value) {
  return static_cast<int>(std::clamp<std::int64_t>(Round(value), INT_MIN, INT_MAX));
}

int TRulerControl::Shifted(std::int64_t pixel, std::int64_t offset) {
  return static_cast<int>(std::clamp<std::int64_t>(pixel + offset, INT_MIN, INT_MAX));
}

TRulerControl::TPaintTarget TRulerControl::BeginPaint() {
  TPrinter &printer = *Printer();
  if (FPaintCanvas != printer.Canvas()) {
    FPrintOffsetX = 0;
    FPrintOffsetY = 0;
    return {1, Screen().PixelsPerInch(), Font().Size()};
  }
  // The screen picture scaled by the page's share of the screen's width.
  double s = static_cast<double>(printer.PageWidth()) / Screen().Width();
  if (!(s > 0) || !std::isfinite(s))
    s = 1;
  // The physical scale runs along the ruler's axis, so it takes that axis's resolution; on
  // printers with square pixels both are the same.
  const int ppi = GetDeviceCaps(printer.Handle(), FAxis == raHorizontal ? LOGPIXELSX : LOGPIXELSY);
  // Points are converted at the printer's resolution there, not the screen's: the labels keep
  // their screen proportion to the strip when their size also carries the ratio of the two.
  const double fontScale = ppi > 0 ? s * Screen().PixelsPerInch() / ppi : s;
  return {s, ppi, Pixel(Font().Size() * fontScale)};
}

std::pair<double, double> TRulerControl::VisibleSpan() const {
  const TCanvas &C = *FPaintCanvas;
  TRect clip = C.ClipRect();
  if (const TDevice *device = C.Device()) {
    const TRect bounds = device->Bounds();
    const TPoint o = C.Origin();
    if (!bounds.IsEmpty())
      clip =
          IntersectRect(clip, {Shifted(bounds.Left, -std::int64_t{o.X}), Shifted(bounds.Top, -std::int64_t{o.Y}),
                               Shifted(bounds.Right, -std::int64_t{o.X}), Shifted(bounds.Bottom, -std::int64_t{o.Y})});
  }
  if (FAxis == raHorizontal)
    return {clip.Left, clip.Right};
  return {clip.Top, clip.Bottom};
}

void TRulerControl::PaintFrame(const TPaintTarget &target) {
  TCanvas &C = *FPaintCanvas;
  const double s = target.Scale;
  C.Font() = Font();
  C.Font().SetSize(target.FontSize);
  C.Brush().SetColor(Color());
  C.Pen().SetColor(FShowBorder ? clBlack : Color());
  const TRect client = ClientRect();
  C.Rectangle(Shifted(Pixel(client.Left * s), FPrintOffsetX), Shifted(Pixel(client.Top * s), FPrintOffsetY),
              Shifted(Pixel(client.Right * s), FPrintOffsetX), Shifted(Pixel(client.Bottom * s), FPrintOffsetY));
  C.Pen().SetColor(clBlack);
  C.Pen().SetStyle(psSolid);
}

void TRulerControl::Print(double Left, double Top, bool BeginDoc, bool EndDoc) {
  TPrinter &printer = *Printer();
  const HDC dc = printer.Handle();
  const bool horizontal = FAxis == raHorizontal;
  const double inches = GetDeviceCaps(dc, horizontal ? HORZSIZE : VERTSIZE) / 25.4;
  const double dpi = static_cast<double>(Round(GetDeviceCaps(dc, horizontal ? HORZRES : VERTRES) / inches));
  FPrintOffsetX = Pixel(dpi * Left);
  FPrintOffsetY = Pixel(dpi * Top);
  FPaintCanvas = printer.Canvas();
  bool begun = false;
  try {
    if (BeginDoc) {
      printer.BeginDoc();
      begun = true;
    }
    Paint();
    if (EndDoc)
      printer.EndDoc();
  } catch (...) {
    FPaintCanvas = Canvas();
    if (begun && printer.Printing())
      printer.Abort();
    throw;
  }
  FPaintCanvas = Canvas();
}

} // namespace Pbrulers
