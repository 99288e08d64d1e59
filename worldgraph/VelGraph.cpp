#include <worldgraph/VelGraph.h>

#include <platform/controls/WinControl.h>
#include <wgraph/Wgraph.h>
#include <worldgraph/Shape.h>

namespace Velgraph {

using namespace Platform;

TVelWorldGraph::TVelWorldGraph(TComponent *AOwner)
    : TCustomPanel(AOwner), FClipBuffers(std::make_unique<TClipBuffers>()),
      FPaintBoxPolygon(std::make_unique<Velpaint::TWPointArray>()) {
  if (auto *parent = dynamic_cast<TWinControl *>(AOwner))
    SetParent(parent);
  SetBounds(10, 10, 300, 300);
  FPaintBox = new Velpaint::TVelPaintBox(this);
  FPaintBox->SetParent(this);
  FPaintBox->SetBounds(30, 30, Width() - 35, Height() - 35);
  FPaintBox->Bitmap->SetSize(FPaintBox->Width(), FPaintBox->Height());
  FDrawingCanvas = FPaintBox->Bitmap->Canvas();
  SetColor(clWhite);
  Paint();
}

TVelWorldGraph::~TVelWorldGraph() {
  delete FPaintBox;
  while (!FShapes.empty())
    FShapes.pop_back();
}

double TVelWorldGraph::XMin() const { return FRangeXMin; }
double TVelWorldGraph::XMax() const { return FRangeXMax; }
double TVelWorldGraph::YMin() const { return FRangeYMin; }
double TVelWorldGraph::YMax() const { return FRangeYMax; }

void TVelWorldGraph::SetXMin(double v) {
  FRangeXMin = v;
  FPaintBox->SetXMin(v);
}
void TVelWorldGraph::SetXMax(double v) {
  FRangeXMax = v;
  FPaintBox->SetXMax(v);
}
void TVelWorldGraph::SetYMin(double v) {
  FRangeYMin = v;
  FPaintBox->SetYMin(v);
}
void TVelWorldGraph::SetYMax(double v) {
  FRangeYMax = v;
  FPaintBox->SetYMax(v);
}

void TVelWorldGraph::Paint() {
  FDrawingCanvas = FPaintBox->Bitmap->Canvas();
  FPaintBox->RecalcOnPaint = true;
  FPaintBox->SetProportional(FPaintBox->Proportional());
  if (FPaintBox->Proportional()) {
    FRangeXMin = FPaintBox->ViewXMin;
    FRangeXMax = FPaintBox->ViewXMax;
    FRangeYMin = FPaintBox->ViewYMin;
    FRangeYMax = FPaintBox->ViewYMax;
  }
  DrawShapes();
  FPaintBox->RecalcOnPaint = false;
}

void TVelWorldGraph::DrawShapes() {
  for (const auto &shape : FShapes)
    shape->Draw();
}

int TVelWorldGraph::AddShape(TShapeKind Kind) {
  auto shape = std::make_unique<TShape>(*this);
  shape->FKind = Kind;
  FShapes.push_back(std::move(shape));
  FCurrentShape = ShapeCount();
  return FCurrentShape;
}

TShape *TVelWorldGraph::CurrentShape() const {
  return FCurrentShape >= 1 && FCurrentShape <= ShapeCount() ? FShapes[FCurrentShape - 1].get() : nullptr;
}

const TShape *TVelWorldGraph::Shape(int n) const {
  return n >= 1 && n <= ShapeCount() ? FShapes[n - 1].get() : nullptr;
}

void TVelWorldGraph::BeginShape(double X, double Y) {
  if (TShape *shape = CurrentShape()) {
    shape->FirstPoint(X, Y);
    shape->FClosed = false;
  }
}

bool TVelWorldGraph::ContinueShape(double X, double Y, bool Close) {
  TShape *shape = CurrentShape();
  if (!shape)
    return false;
  shape->NextPoint(X, Y);
  shape->FClosed = Close;
  return shape->FKind != skLine && shape->FKind != skEllipse;
}

} // namespace Velgraph
