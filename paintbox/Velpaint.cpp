#include <paintbox/Velpaint.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <paintbox/VelPaintBoxOwner.h>
#include <platform/controls/WinControl.h>
#include <platform/rtl/Rtl.h>
#include <wgraph/Wgraph.h>

namespace Velpaint {

using namespace Platform;

namespace {

constexpr TColor Grey = 8421504; // 0x808080

int ScaledPixels(int pixels, double factor) {
  const double scaled = pixels * factor;
  if (!(scaled == scaled))
    return 0;
  return static_cast<int>(std::clamp<std::int64_t>(Round(scaled), INT_MIN, INT_MAX));
}

// The proportional widening needs a window and a box with extent on both axes; anything else
// (a zero-width window, a box of no pixels, values that are not finite) keeps the asked-for
// window as it is rather than filling the view with non-numbers.
bool CanWiden(double dx, double dy, int width, int height) {
  return std::isfinite(dx) && std::isfinite(dy) && dx != 0 && dy != 0 && width > 0 && height > 0;
}

} // namespace

TVelPaintBox::TVelPaintBox(TComponent *AOwner) : TPaintBox(AOwner) {
  if (auto *parent = dynamic_cast<TWinControl *>(AOwner))
    SetParent(parent);
  DrawCanvas = Canvas();
  SetColor(Grey);
  SetBounds(10, 10, 100, 100);
  Bitmap->SetSize(Width(), Height());
  ChooseCanvas();
}

// The bitmap, a member, is freed right after this body and before the base.
TVelPaintBox::~TVelPaintBox() = default;

bool TVelPaintBox::OwnerIsInteractive() const {
  const auto *owner = dynamic_cast<const IVelPaintBoxOwner *>(Owner());
  return owner && owner->InteractiveApplication();
}

void TVelPaintBox::CMMouseLeave() {
  TPaintBox::CMMouseLeave();
  if (auto *owner = dynamic_cast<IVelPaintBoxOwner *>(Owner()))
    owner->PaintBoxMouseLeft();
}

void TVelPaintBox::ChooseCanvas() {
  if (ComponentState().Contains(csDesigning) || OwnerIsInteractive())
    DrawCanvas = Canvas();
  else
    DrawCanvas = Bitmap->Canvas();
}

void TVelPaintBox::Paint() {
  ChooseCanvas();
  if (RecalcOnPaint)
    SetProportional(FProportional);
}

void TVelPaintBox::SetWindowValue(double &field, double value) {
  if (field == value)
    return;
  field = value;
  Paint();
}

void TVelPaintBox::SetXMin(double value) { SetWindowValue(FXMin, value); }
void TVelPaintBox::SetXMax(double value) { SetWindowValue(FXMax, value); }
void TVelPaintBox::SetYMin(double value) { SetWindowValue(FYMin, value); }
void TVelPaintBox::SetYMax(double value) { SetWindowValue(FYMax, value); }

void TVelPaintBox::SetProportional(bool value) {
  DrawCanvas->Brush().SetColor(Color());
  DrawCanvas->FillRect(ClientRect());
  CalculateView(value, Width(), Height());
}

void TVelPaintBox::SetPrintProportional(bool value, double factor) {
  CalculateView(value, ScaledPixels(Width(), factor), ScaledPixels(Height(), factor));
}

void TVelPaintBox::CalculateView(bool value, int deviceWidth, int deviceHeight) {
  FProportional = value;
  ViewXMin = FZoomed ? FZoomXMin : FXMin;
  ViewXMax = FZoomed ? FZoomXMax : FXMax;
  ViewYMin = FZoomed ? FZoomYMin : FYMin;
  ViewYMax = FZoomed ? FZoomYMax : FYMax;
  const double dx = ViewXMax - ViewXMin, dy = ViewYMax - ViewYMin;
  // Both forms compare against the box's on-screen aspect, also when printing.
  if (FProportional && CanWiden(dx, dy, Width(), Height())) {
    const double r = dy / dx, s = static_cast<double>(Height()) / Width();
    if (r > s) {
      const double w = dx * r / s, c = (ViewXMin + ViewXMax) * 0.5;
      ViewXMin = c - w * 0.5;
      ViewXMax = c + w * 0.5;
    } else if (r < s) {
      const double h = dy * s / r, c = (ViewYMin + ViewYMax) * 0.5;
      ViewYMin = c - h * 0.5;
      ViewYMax = c + h * 0.5;
    }
  }
  const bool leftToRight = XIncrease == LeftToRight, bottomToTop = YIncrease == BottomToTop;
  Wgraph::SetWorldWindow(leftToRight ? ViewXMin : ViewXMax, leftToRight ? ViewXMax : ViewXMin,
                         bottomToTop ? ViewYMax : ViewYMin, bottomToTop ? ViewYMin : ViewYMax, 0, 0, 0, 0);
  Wgraph::SetPCWindow(0, deviceWidth, 0, deviceHeight);
}

void TVelPaintBox::Zoom(double x1, double y1, double x2, double y2) {
  FZoomXMin = x1;
  FZoomYMin = y1;
  FZoomXMax = x2;
  FZoomYMax = y2;
  if (FZoomXMin > FZoomXMax)
    std::swap(FZoomXMin, FZoomXMax);
  if (FZoomYMin > FZoomYMax)
    std::swap(FZoomYMin, FZoomYMax);
  FZoomed = true;
  Paint();
}

void TVelPaintBox::ResetZoom() {
  FZoomed = false;
  Paint();
}

TWPoint TVelPaintBox::Wxy(int x, int y) const {
  TWPoint p;
  if (Wgraph::aa != 0 && Wgraph::cc != 0)
    Wgraph::PCToWorld(x, y, p.X, p.Y);
  return p;
}

TPoint TVelPaintBox::PCxy(double x, double y) const {
  TPoint p;
  Wgraph::WorldToPC(x, y, p.X, p.Y);
  return p;
}

} // namespace Velpaint
