#include "StatusLine.h"

using namespace Platform;

namespace Demo {

namespace {
constexpr int TextIndent = 8;
}

TStatusLine::TStatusLine(TComponent *owner) : TCustomPanel(owner) {
  SetBevelOuter(bvLowered);
  Font().SetName("arial");
  Font().SetSize(9);
}

void TStatusLine::SetText(const std::string &text) {
  if (text == FText)
    return;
  FText = text;
  Invalidate();
}

void TStatusLine::Paint() {
  TCustomPanel::Paint();
  TCanvas &canvas = *Canvas();
  canvas.Font().Assign(Font());
  canvas.Brush().SetStyle(bsClear);
  canvas.TextOut(TextIndent, (Height() - canvas.TextHeight(FText)) / 2, FText);
}

} // namespace Demo
