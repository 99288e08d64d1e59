// What the user does with the mouse on the graph: zoom history, rubber-band selection,
// distance measurement, the crosshair, and the paint box's mouse events passed on.

#include <worldgraph/VelGraph.h>

#include <cmath>
#include <platform/win32/Cursor.h>
#include <wgraph/Wgraph.h>

namespace Velgraph {

using namespace Platform;

void TVelWorldGraph::SetWindow(const TWindow &w) {
  SetXMin(w.XMin);
  SetXMax(w.XMax);
  SetYMin(w.YMin);
  SetYMax(w.YMax);
}

void TVelWorldGraph::SaveHistory(int level) {
  FHistXMin[level] = XMin();
  FHistXMax[level] = XMax();
  FHistYMin[level] = YMin();
  FHistYMax[level] = YMax();
}

TVelWorldGraph::TWindow TVelWorldGraph::History(int level) const {
  return {FHistXMin[level], FHistXMax[level], FHistYMin[level], FHistYMax[level]};
}

// A full history drops its oldest zoom, entry 1, and keeps the unzoomed window in entry 0: the
// user can always get home, and back through the last 100 zooms.
void TVelWorldGraph::ForgetOldestZoom() {
  for (auto *entries : {&FHistXMin, &FHistXMax, &FHistYMin, &FHistYMax})
    std::copy(entries->begin() + 2, entries->end(), entries->begin() + 1);
  --FZoomLevel;
}

void TVelWorldGraph::IncreaseZoom(double X1, double Y1, double X2, double Y2) {
  if (FZoomLevel >= HistorySize)
    ForgetOldestZoom();
  SaveHistory(FZoomLevel);
  FNewXMin = X1;
  FNewYMin = Y1;
  FNewXMax = X2;
  FNewYMax = Y2;
  if (FNewXMin > FNewXMax)
    std::swap(FNewXMin, FNewXMax);
  if (FNewYMin > FNewYMax)
    std::swap(FNewYMin, FNewYMax);
  SetWindow({FNewXMin, FNewXMax, FNewYMin, FNewYMax});
  ++FZoomLevel;
  FZoomedIn = FZoomLevel > 0;
  FRedoCount = 0; // a new zoom replaces the way forward
  Paint();
}

void TVelWorldGraph::PushRedo(const TWindow &w) {
  if (FRedoCount < HistorySize)
    FRedo[FRedoCount++] = w;
}

void TVelWorldGraph::DecreaseZoom() {
  if (FZoomLevel == 0)
    return;
  PushRedo(ShownWindow());
  --FZoomLevel;
  SetWindow(History(FZoomLevel));
  FZoomedIn = FZoomLevel > 0;
  Paint();
}

// The levels left are kept for RedoZoom, the nearest one on top.
void TVelWorldGraph::ResetZoom() {
  if (FZoomLevel == 0)
    return;
  PushRedo(ShownWindow());
  for (int level = FZoomLevel - 1; level >= 1; --level)
    PushRedo(History(level));
  FZoomLevel = 0;
  SetWindow(History(0));
  FZoomedIn = false;
  Paint();
}

bool TVelWorldGraph::RedoZoom() {
  if (FRedoCount == 0 || FZoomLevel >= HistorySize)
    return false;
  const TWindow w = FRedo[--FRedoCount];
  SaveHistory(FZoomLevel);
  SetWindow(w);
  ++FZoomLevel;
  FZoomedIn = true;
  Paint();
  return true;
}

// Rubber bands and measuring lines go to the screen in an inverting pen, so drawing one twice
// takes it off again.

void TVelWorldGraph::DrawBand(int X, int Y) {
  TCanvas &canvas = *FPaintBox->Canvas();
  canvas.MoveTo(FStartX, FStartY);
  canvas.LineTo(X, FStartY);
  canvas.LineTo(X, Y);
  canvas.LineTo(FStartX, Y);
  canvas.LineTo(FStartX, FStartY);
}

void TVelWorldGraph::BeginSelect(int X, int Y) {
  if (FSelecting)
    DrawBand(FLastX, FLastY);
  FPaintBox->Canvas()->Pen().SetMode(pmNot);
  FStartX = X;
  FStartY = Y;
  FLastX = X;
  FLastY = Y;
  FSelecting = true;
}

void TVelWorldGraph::ContinueSelect(int X, int Y) {
  if (!FSelecting)
    return;
  DrawBand(FLastX, FLastY);
  DrawBand(X, Y);
  FLastX = X;
  FLastY = Y;
}

bool TVelWorldGraph::EndSelect(int X, int Y) {
  if (!FSelecting)
    return false;
  DrawBand(FLastX, FLastY);
  FSelecting = false;
  FPaintBox->Canvas()->Pen().SetMode(pmCopy);
  if (X == FStartX || Y == FStartY)
    return false;
  if (X < FStartX)
    std::swap(X, FStartX);
  if (Y < FStartY)
    std::swap(Y, FStartY);
  FEndX = X;
  FEndY = Y;
  double leftX, topY, rightX, bottomY;
  Wgraph::PCToWorld(FStartX, FStartY, leftX, topY);
  Wgraph::PCToWorld(X, Y, rightX, bottomY);
  const bool leftToRight = XIncrease() == Velpaint::LeftToRight, bottomToTop = YIncrease() == Velpaint::BottomToTop;
  FNewXMin = leftToRight ? leftX : rightX;
  FNewXMax = leftToRight ? rightX : leftX;
  FNewYMin = bottomToTop ? bottomY : topY;
  FNewYMax = bottomToTop ? topY : bottomY;
  IncreaseZoom(FNewXMin, FNewYMin, FNewXMax, FNewYMax);
  return true;
}

void TVelWorldGraph::DrawDistanceLine(int X, int Y) {
  TCanvas &canvas = *FPaintBox->Canvas();
  canvas.MoveTo(FStartX, FStartY);
  canvas.LineTo(X, Y);
}

double TVelWorldGraph::MeasuredDistance() const {
  const long double dx = static_cast<long double>(FDistEnd.X) - FDistStart.X;
  const long double dy = static_cast<long double>(FDistEnd.Y) - FDistStart.Y;
  return static_cast<double>(std::sqrt(dx * dx + dy * dy));
}

void TVelWorldGraph::BeginDistance(int X, int Y, bool RepaintFirst) {
  if (FMeasuring && !RepaintFirst)
    DrawDistanceLine(FLastX, FLastY);
  if (RepaintFirst)
    Repaint();
  FPaintBox->Canvas()->Pen().SetMode(pmNot);
  FStartX = X;
  FStartY = Y;
  FDistStart = Wxy(X, Y);
  FLastX = X;
  FLastY = Y;
  FMeasuring = true;
}

double TVelWorldGraph::ContinueDistance(int X, int Y) {
  if (!FMeasuring)
    return MeasuredDistance();
  DrawDistanceLine(FLastX, FLastY);
  DrawDistanceLine(X, Y);
  FLastX = X;
  FLastY = Y;
  FDistEnd = Wxy(X, Y);
  return MeasuredDistance();
}

// A second EndDistance finds the line already gone (or kept) and only reports the distance.
double TVelWorldGraph::EndDistance(int, int, bool KeepLine) {
  if (FMeasuring) {
    if (!KeepLine)
      DrawDistanceLine(FLastX, FLastY);
    FPaintBox->Canvas()->Pen().SetMode(pmCopy);
    FMeasuring = false;
  }
  return MeasuredDistance();
}

TWorldPoint TVelWorldGraph::Wxy(int X, int Y) const {
  const Velpaint::TWPoint p = FPaintBox->Wxy(X, Y);
  return {p.X, p.Y};
}

TPoint TVelWorldGraph::PCxy(double X, double Y) const { return FPaintBox->PCxy(X, Y); }

void TVelWorldGraph::SetCursorTo(double X, double Y) {
  const TPoint screen = FPaintBox->ClientToScreen(PCxy(X, Y));
  Platform::SetCursorPos(screen.X, screen.Y);
}

void TVelWorldGraph::DrawCross(int X, int Y) { FPaintBox->DrawCrossAt(pmNot, X, Y); }

void TVelWorldGraph::RemoveDetailedPosition() {
  if (FCrossX != NoCross && FCrossY != NoCross)
    DrawCross(FCrossX, FCrossY);
  FCrossX = NoCross;
  FCrossY = NoCross;
}

TPoint TVelWorldGraph::ForwardMouse(int X, int Y) {
  FMouseX = X;
  FMouseY = Y;
  FMouseWorld = Wxy(X, Y);
  return {X + FPaintBox->Left(), Y + FPaintBox->Top()};
}

void TVelWorldGraph::DoOnMouseMove(TObject *Sender, TShiftState Shift, int X, int Y) {
  if (FDetailedPosition) {
    if (FCrossX != NoCross && FCrossY != NoCross)
      DrawCross(FCrossX, FCrossY);
    DrawCross(X, Y);
    FCrossX = X;
    FCrossY = Y;
  }
  if (OnMouseMove) {
    const TPoint p = ForwardMouse(X, Y);
    OnMouseMove(Sender, Shift, p.X, p.Y);
  }
}

void TVelWorldGraph::DoOnMouseDown(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) {
    const TPoint p = ForwardMouse(X, Y);
    OnMouseDown(Sender, Button, Shift, p.X, p.Y);
  }
}

void TVelWorldGraph::DoOnMouseUp(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) {
    const TPoint p = ForwardMouse(X, Y);
    OnMouseUp(Sender, Button, Shift, p.X, p.Y);
  }
}

} // namespace Velgraph
