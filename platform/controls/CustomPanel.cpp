#include <platform/controls/CustomPanel.h>

#include <algorithm>
#include <cstdint>

namespace Platform {

namespace {

constexpr int DefaultWidth = 185;
constexpr int DefaultHeight = 41;

// Draws `width` nested one-pixel frames inside box (right and bottom exclusive). Frame k is
// the outline of box shrunk by k: its left column and top row (but the top-right pixel) in
// topColor, then its right column and bottom row in bottomColor, the corners between them
// falling as the platform's bevels do. Only frames that reach the clip are drawn, so a huge
// width costs no more than the visible pixels.
void DrawBevel(TCanvas &canvas, const TRect &box, const TRect &clip, TColor topColor, TColor bottomColor,
               std::int64_t width) {
  const std::int64_t frames = std::min(width, (std::min<std::int64_t>(box.Width(), box.Height()) + 1) / 2);
  if (frames <= 0)
    return;
  const auto drawFrame = [&](int k) {
    const int l = box.Left + k, t = box.Top + k, r = box.Right - k, b = box.Bottom - k;
    canvas.Brush().SetColor(topColor);
    canvas.FillRect({l, t, l + 1, b - 1});
    canvas.FillRect({l, t, r - 1, t + 1});
    canvas.Brush().SetColor(bottomColor);
    canvas.FillRect({r - 1, t, r, b});
    canvas.FillRect({l, b - 1, r, b});
  };
  // Frame k touches rows Top + k and Bottom - 1 - k and columns Left + k and Right - 1 - k;
  // these four ranges of k hold every frame with a pixel in the clip. A frame met twice is
  // drawn twice with the same colours, which changes nothing.
  const std::int64_t ranges[4][2] = {
      {std::int64_t{clip.Top} - box.Top, std::int64_t{clip.Bottom} - box.Top},
      {std::int64_t{box.Bottom} - clip.Bottom, std::int64_t{box.Bottom} - clip.Top},
      {std::int64_t{clip.Left} - box.Left, std::int64_t{clip.Right} - box.Left},
      {std::int64_t{box.Right} - clip.Right, std::int64_t{box.Right} - clip.Left},
  };
  for (const auto &range : ranges)
    for (std::int64_t k = std::max<std::int64_t>(range[0], 0), end = std::min(range[1], frames); k < end; ++k)
      drawFrame(static_cast<int>(k));
}

// The box moved in by `by` on every side. Shrinking past the middle leaves an empty box, as
// frames eat the whole area.
TRect Shrunk(const TRect &r, std::int64_t by) {
  const std::int64_t limit = (std::min<std::int64_t>(r.Width(), r.Height()) + 1) / 2;
  const int d = static_cast<int>(std::clamp<std::int64_t>(by, 0, std::max<std::int64_t>(limit, 0)));
  return {r.Left + d, r.Top + d, r.Right - d, r.Bottom - d};
}

void DrawBevelCut(TCanvas &canvas, TRect &box, const TRect &clip, TBevelCut cut, int width) {
  if (cut == bvNone)
    return;
  if (cut == bvRaised)
    DrawBevel(canvas, box, clip, clBtnHighlight, clBtnShadow, width);
  else if (cut == bvLowered)
    DrawBevel(canvas, box, clip, clBtnShadow, clBtnHighlight, width);
  box = Shrunk(box, width);
}

} // namespace

TCustomPanel::TCustomPanel(TComponent *owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() + TControlStyle{csOpaque});
  SetColor(clBtnFace);
  SetBounds(0, 0, DefaultWidth, DefaultHeight);
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
  if (value == FBevelInner)
    return;
  FBevelInner = value;
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
  if (value == FBevelOuter)
    return;
  FBevelOuter = value;
  Invalidate();
}

void TCustomPanel::SetBevelWidth(int value) {
  value = std::max(value, 1);
  if (value == FBevelWidth)
    return;
  FBevelWidth = value;
  Invalidate();
}

void TCustomPanel::SetBorderWidth(int value) {
  value = std::max(value, 0);
  if (value == FBorderWidth)
    return;
  FBorderWidth = value;
  Invalidate();
}

void TCustomPanel::SetCaption(const std::string &value) {
  if (value == FCaption)
    return;
  FCaption = value;
  Invalidate();
}

void TCustomPanel::Paint() {
  TCanvas &canvas = ControlCanvas();
  const TRect clip = IntersectRect(canvas.ClipRect(), ClientRect());
  if (!canvas.HasDevice() || clip.IsEmpty())
    return;
  // Space bevels, the border and the client are all Color: one fill covers them and the
  // bevels go on top.
  canvas.Brush().SetColor(Color());
  canvas.Brush().SetStyle(bsSolid);
  canvas.FillRect(clip);
  TRect box = ClientRect();
  DrawBevelCut(canvas, box, clip, FBevelOuter, FBevelWidth);
  box = Shrunk(box, FBorderWidth);
  DrawBevelCut(canvas, box, clip, FBevelInner, FBevelWidth);
  if (!FCaption.empty()) {
    // Centred in the area inside the bevels, in the panel's font, on the panel's colour.
    canvas.Font().Assign(Font());
    canvas.Brush().SetStyle(bsClear);
    const TSize extent = canvas.TextExtent(FCaption);
    canvas.TextOut(static_cast<int>((std::int64_t{box.Left} + box.Right - extent.cx) / 2),
                   static_cast<int>((std::int64_t{box.Top} + box.Bottom - extent.cy) / 2), FCaption);
  }
  canvas.Brush().SetColor(Color());
}

} // namespace Platform
