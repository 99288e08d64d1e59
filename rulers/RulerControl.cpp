#include <rulers/RulerControl.h>

#include <algorithm>
#include <climits>
#include <platform/controls/Screen.h>
#include <platform/rtl/Rtl.h>
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

TRulerControl::TRulerControl(TComponent *AOwner) : TCustomControl(AOwner) {
  SetParent(RulerOwner(AOwner));
  FPaintCanvas = Canvas();
}

std::string TRulerControl::DoubleToString(double Value) const { return FloatToStrFixed(Value, FDecimals); }

int TRulerControl::Pixel(double value) {
  return static_cast<int>(std::clamp<std::int64_t>(Round(value), INT_MIN, INT_MAX));
}

int TRulerControl::Shifted(std::int64_t pixel, std::int64_t offset) {
  return static_cast<int>(std::clamp<std::int64_t>(pixel + offset, INT_MIN, INT_MAX));
}

TRulerControl::TPaintTarget TRulerControl::BeginPaint(int) {
  FPrintOffsetX = 0;
  FPrintOffsetY = 0;
  return {1, Screen().PixelsPerInch()};
}

void TRulerControl::PaintFrame(const TPaintTarget &target) {
  TCanvas &C = *FPaintCanvas;
  const double s = target.Scale;
  C.Font() = Font();
  C.Font().SetSize(Pixel(Font().Size() * s));
  C.Brush().SetColor(Color());
  C.Pen().SetColor(FShowBorder ? clBlack : Color());
  const TRect client = ClientRect();
  C.Rectangle(Shifted(Pixel(client.Left * s), FPrintOffsetX), Shifted(Pixel(client.Top * s), FPrintOffsetY),
              Shifted(Pixel(client.Right * s), FPrintOffsetX), Shifted(Pixel(client.Bottom * s), FPrintOffsetY));
  C.Pen().SetColor(clBlack);
  C.Pen().SetStyle(psSolid);
}

} // namespace Pbrulers
