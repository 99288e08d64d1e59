#include <platform/controls/PaintBox.h>

namespace Platform {

namespace {
constexpr int DefaultSize = 105;
}

TPaintBox::TPaintBox(TComponent *owner) : TGraphicControl(owner) { SetBounds(0, 0, DefaultSize, DefaultSize); }

void TPaintBox::Paint() {
  TCanvas &canvas = ControlCanvas();
  canvas.Font().Assign(Font());
  canvas.Brush().SetColor(Color());
  if (OnPaint)
    OnPaint(this);
}

} // namespace Platform
