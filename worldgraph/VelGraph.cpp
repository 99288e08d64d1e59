// The world graph panel: its children, published properties, layout and paint cycle.

#include <worldgraph/VelGraph.h>

#include <algorithm>
#include <climits>
#include <platform/controls/WinControl.h>
#include <platform/rtl/Rtl.h>
#include <wgraph/Wgraph.h>
#include <worldgraph/Shape.h>

namespace Velgraph {

using namespace Platform;
using namespace Pbrulers;

namespace {

constexpr TColor White = 16777215;
constexpr int GraphVersion = 500;
// The rulers' share of the graph: the horizontal one 8 % of its height, the vertical one 7 %
// of its width.
constexpr double HRulerShare = 0.08;
constexpr double VRulerShare = 0.07;
// Hidden rulers are moved off the panel as well.
constexpr int HiddenRulerPlace = -50;

constexpr TPublishedProperty Published[] = {
    {"Align", "TAlign", "platform", "platform", "alNone"},
    {"Color", "TColor", "platform", "platform", "16777215"},
    {"Height", "Integer", "platform", "platform", "100"},
    {"Width", "Integer", "platform", "platform", "100"},
    {"Top", "Integer", "platform", "platform", "10"},
    {"Left", "Integer", "platform", "platform", "10"},
    {"Visible", "Boolean", "platform", "platform", "true"},
    {"XMin", "Double", "GetXMin", "SetXMin", nullptr},
    {"XMax", "Double", "GetXMax", "SetXMax", nullptr},
    {"YMin", "Double", "GetYMin", "SetYMin", nullptr},
    {"YMax", "Double", "GetYMax", "SetYMax", nullptr},
    {"Proportional", "Boolean", "GetProportional", "SetProportional", "true"},
    {"XIncrease", "TXIncrease", "GetXIncrease", "SetXIncrease", nullptr},
    {"YIncrease", "TYIncrease", "GetYIncrease", "SetYIncrease", "BottomToTop"},
    {"LengthUnits", "TLengthUnits", "field", "SetLengthUnits", "luCustom"},
    {"HRulerPosition", "THRulerPosition", "field", "SetHRulerPosition", "hrpTop"},
    {"VRulerPosition", "TVRulerPosition", "field", "SetVRulerPosition", "vrpLeft"},
    {"HRulerDecimals", "Integer", "GetHRulerDecimals", "SetHRulerDecimals", "0"},
    {"VRulerDecimals", "Integer", "GetVRulerDecimals", "SetVRulerDecimals", "0"},
    {"BackgroundColor", "TColor", "GetBackGroundColor", "SetBackgroundColor", "16777215"},
    {"HRulerFont", "TFont", "field", "SetHRulerFont", nullptr},
    {"VRulerFont", "TFont", "field", "SetVRulerFont", nullptr},
    {"AvailableWidth", "Integer", "GetAvailableWidth", "field", nullptr},
    {"AvailableHeight", "Integer", "GetAvailableHeight", "field", nullptr},
    {"DetailedPosition", "Boolean", "field", "field", nullptr},
    {"Version", "Integer", "field", "SetVersion", nullptr},
    {"InteractiveApplication", "Boolean", "field", "field", nullptr},
    {"Font", "TFont", "platform", "platform", nullptr},
    {"OnClick", "TNotifyEvent", "platform", "platform", nullptr},
    {"OnDblClick", "TNotifyEvent", "platform", "platform", nullptr},
    {"OnDragDrop", "TDragDropEvent", "platform", "platform", nullptr},
    {"OnDragOver", "TDragOverEvent", "platform", "platform", nullptr},
    {"OnEndDrag", "TEndDragEvent", "platform", "platform", nullptr},
    {"OnMouseDown", "TMouseEvent", "FOnMouseDown", "FOnMouseDown", nullptr},
    {"OnMouseUp", "TMouseEvent", "FOnMouseUp", "FOnMouseUp", nullptr},
    {"OnMouseMove", "TMouseMoveEvent", "FOnMouseMove", "FOnMouseMove", nullptr},
    {"OnPaint", "TNotifyEvent", "FOnPaint", "FOnPaint", nullptr},
    {"OnMouseEnter", "TNotifyEvent", "FOnMouseEnter", "FOnMouseEnter", nullptr},
    {"OnMouseLeave", "TNotifyEvent", "FOnMouseLeave", "FOnMouseLeave", nullptr},
};

int Pixels(double value) { return static_cast<int>(std::clamp<std::int64_t>(Round(value), INT_MIN, INT_MAX)); }

std::unique_ptr<TFont> RulerFont() {
  auto font = std::make_unique<TFont>();
  font->SetName("arial");
  font->SetSize(8);
  return font;
}

} // namespace

std::span<const TPublishedProperty> TVelWorldGraph::PublishedProperties() { return Published; }

TVelWorldGraph::TVelWorldGraph(TComponent *AOwner)
    : TCustomPanel(AOwner), FClipBuffers(std::make_unique<TClipBuffers>()),
      FPaintBoxPolygon(std::make_unique<Velpaint::TWPointArray>()) {
  if (auto *parent = dynamic_cast<TWinControl *>(AOwner))
    SetParent(parent);
  // Unlike a plain panel the graph paints no background of its own, so the host erases it
  // (the bare corners between the rulers would otherwise keep whatever was drawn there).
  SetControlStyle(ControlStyle() - TControlStyle{csOpaque});
  FCaptureFontRatios = true;
  SetVersion(GraphVersion);
  SetBevelWidth(1);
  SetBevelInner(bvRaised);
  SetBevelOuter(bvRaised);
  FInteractiveApplication = false;
  FSkipBitmapCopy = false;
  SetBounds(10, 10, 300, 300);
  FHRulerFont = RulerFont();
  FVRulerFont = RulerFont();
  FHRuler = CreateHRuler();
  FVRuler = CreateVRuler();
  FPaintBox = CreatePaintBox();
  ChooseDrawingCanvas();
  FPaintBox->SetBounds(30, 30, Width() - 30 - 5, Height() - 30 - 5);
  FPaintBox->Bitmap->SetSize(FPaintBox->Width(), FPaintBox->Height());
  FPaintBox->OnMouseMove = [this](TObject *sender, TShiftState shift, int x, int y) {
    DoOnMouseMove(sender, shift, x, y);
  };
  FPaintBox->OnMouseDown = [this](TObject *sender, TMouseButton button, TShiftState shift, int x, int y) {
    DoOnMouseDown(sender, button, shift, x, y);
  };
  FPaintBox->OnMouseUp = [this](TObject *sender, TMouseButton button, TShiftState shift, int x, int y) {
    DoOnMouseUp(sender, button, shift, x, y);
  };
  FDrawingCanvas->Pen().SetColor(clBlack);
  SetLengthUnits(luCustom); // the field starts at luActualInches: this always paints
  SetXIncrease(Velpaint::LeftToRight);
  FHRuler->SetBounds(FPaintBox->Left(), 2, FPaintBox->Width(), 28);
  SetYIncrease(Velpaint::BottomToTop);
  FVRuler->SetBounds(2, FPaintBox->Top(), 28, FPaintBox->Height());
  SetXMin(0);
  SetXMax(10);
  SetYMin(0);
  SetYMax(10);
  SetColor(White);
  SetBackgroundColor(White);
  SetProportional(true);
  FZoomedIn = false;
  FZoomLevel = 0;
  FPrinting = false;
  FDetailedPosition = false;
  FCrossX = NoCross;
  FCrossY = NoCross;
  FCaptureFontRatios = true;
}

// The children go first, while the graph is whole; shapes last to first, as they were made.
TVelWorldGraph::~TVelWorldGraph() {
  delete FHRuler;
  FHRuler = nullptr;
  delete FVRuler;
  FVRuler = nullptr;
  delete FPaintBox;
  FPaintBox = nullptr;
  FHRulerFont.reset();
  FVRulerFont.reset();
  FBmpPicture.reset();
  FWmfPicture.reset();
  FJpegPicture.reset();
  while (!FShapes.empty())
    FShapes.pop_back();
}

TVelPBHRuler *TVelWorldGraph::CreateHRuler() {
  auto *ruler = new TVelPBHRuler(this);
  ruler->SetParent(this);
  ruler->SetVisible(true);
  ruler->SetFont(*FHRulerFont);
  return ruler;
}

// Its font comes with the first layout.
TVelPBVRuler *TVelWorldGraph::CreateVRuler() {
  auto *ruler = new TVelPBVRuler(this);
  ruler->SetParent(this);
  ruler->SetVisible(true);
  return ruler;
}

Velpaint::TVelPaintBox *TVelWorldGraph::CreatePaintBox() {
  auto *box = new Velpaint::TVelPaintBox(this);
  box->SetParent(this);
  box->SetVisible(true);
  return box;
}

void TVelWorldGraph::CMMouseEnter() {
  TCustomPanel::CMMouseEnter();
  if (OnMouseEnter)
    OnMouseEnter(this);
}

void TVelWorldGraph::CMMouseLeave() {
  TCustomPanel::CMMouseLeave();
  if (FDetailedPosition)
    RemoveDetailedPosition();
  if (OnMouseLeave)
    OnMouseLeave(this);
}

void TVelWorldGraph::PaintBoxMouseLeft() {
  if (FDetailedPosition)
    RemoveDetailedPosition();
}

void TVelWorldGraph::SetXMin(double v) {
  FHRuler->SetXMin(v);
  FPaintBox->SetXMin(v);
}

void TVelWorldGraph::SetXMax(double v) {
  FHRuler->SetXMax(v);
  FPaintBox->SetXMax(v);
}

void TVelWorldGraph::SetYMin(double v) {
  FVRuler->SetYMin(v);
  FPaintBox->SetYMin(v);
}

void TVelWorldGraph::SetYMax(double v) {
  FVRuler->SetYMax(v);
  FPaintBox->SetYMax(v);
}

TXIncrease TVelWorldGraph::XIncrease() const {
  return FHRuler->LeftToRight() ? Velpaint::LeftToRight : Velpaint::RightToLeft;
}

// The next paint passes the direction on to the paint box.
void TVelWorldGraph::SetXIncrease(TXIncrease v) { FHRuler->SetLefttoRight(v == Velpaint::LeftToRight); }

TYIncrease TVelWorldGraph::YIncrease() const {
  return FVRuler->BottomToTop() ? Velpaint::BottomToTop : Velpaint::TopToBottom;
}

void TVelWorldGraph::SetYIncrease(TYIncrease v) { FVRuler->SetBottomToTop(v == Velpaint::BottomToTop); }

void TVelWorldGraph::SetLengthUnits(TLengthUnits v) {
  if (v == FLengthUnits)
    return;
  FLengthUnits = v;
  FHRuler->SetLengthUnits(v);
  FVRuler->SetLengthUnits(v);
  if (v != luCustom)
    SetProportional(false);
  if (Visible())
    Paint();
}

template <class T> void TVelWorldGraph::SetAndPaint(T &field, T v) {
  if (v == field)
    return;
  field = v;
  if (Visible())
    Paint();
}

void TVelWorldGraph::SetHRulerPosition(THRulerPosition v) { SetAndPaint(FHRulerPosition, v); }
void TVelWorldGraph::SetVRulerPosition(TVRulerPosition v) { SetAndPaint(FVRulerPosition, v); }

namespace {

// The ruler keeps one byte: only the low byte of n reaches it.
void SetDecimals(TRulerControl &ruler, int n) {
  if (n != ruler.Decimals())
    ruler.SetDecimals(static_cast<std::uint8_t>(n));
}

// Unless f is the ruler's own font: the ruler gets a copy, and so does the graph's record of it.
void SetRulerFont(TRulerControl &ruler, std::unique_ptr<TFont> &record, const TFont &f) {
  if (&f == &ruler.Font())
    return;
  ruler.SetFont(f);
  if (!record)
    record = std::make_unique<TFont>();
  record->Assign(f);
}

} // namespace

void TVelWorldGraph::SetHRulerDecimals(int n) { SetDecimals(*FHRuler, n); }
void TVelWorldGraph::SetVRulerDecimals(int n) { SetDecimals(*FVRuler, n); }

void TVelWorldGraph::SetBackgroundColor(TColor c) {
  if (c != FPaintBox->Color())
    FPaintBox->SetColor(c);
  Paint();
}

void TVelWorldGraph::SetHRulerFont(const TFont &f) { SetRulerFont(*FHRuler, FHRulerFont, f); }
void TVelWorldGraph::SetVRulerFont(const TFont &f) { SetRulerFont(*FVRuler, FVRulerFont, f); }

// While printing, the canvas the drawing lands on: pens and brushes the application sets on the
// drawing canvas must reach the page, or a print loses the screen's colours.
void TVelWorldGraph::ChooseDrawingCanvas() {
  if (FPrinting && FPaintBox->DrawCanvas)
    FDrawingCanvas = FPaintBox->DrawCanvas;
  else
    FDrawingCanvas = FInteractiveApplication ? FPaintBox->Canvas() : FPaintBox->Bitmap->Canvas();
}

// The ruler fonts keep the proportion to the graph's font found at the first run-time paint.
// A font size of 0 stands for the default 8 points.
void TVelWorldGraph::ApplyRulerFontSizes() {
  if (FCaptureFontRatios) {
    const double size = Font().Size() != 0 ? Font().Size() : 8;
    FHRulerFontRatio = FHRulerFont->Size() / size;
    FVRulerFontRatio = FVRulerFont->Size() / size;
    FCaptureFontRatios = false;
  }
  FHRulerFont->SetSize(Pixels(Font().Size() * FHRulerFontRatio));
  FVRulerFont->SetSize(Pixels(Font().Size() * FVRulerFontRatio));
}

void TVelWorldGraph::Paint() {
  const bool designing = ComponentState().Contains(csDesigning);
  if (designing) {
    FDrawingCanvas = FPaintBox->Canvas();
    FDrawingCanvas->Brush().SetColor(Color());
    FDrawingCanvas->FillRect(ClientRect());
  } else {
    ChooseDrawingCanvas();
    ApplyRulerFontSizes();
  }
  if (!FPrinting)
    LayOut();
  if (designing)
    return;
  DrawShapes();
  if (OnPaint) {
    OnPaint(this);
    if (!FSkipBitmapCopy && !FInteractiveApplication)
      ShowBitmap();
    FSkipBitmapCopy = false;
  }
  FPaintBox->RecalcOnPaint = false;
}

// The window, the rulers and the paint box's place, and the mapping. The window is computed
// with the paint box's size from before this layout; after a change of size or of ruler
// position the layout settles on the following paint.
void TVelWorldGraph::LayOut() {
  FPaintBox->RecalcOnPaint = true;
  const int H = Height(), W = Width();
  FPaintBox->XIncrease = XIncrease();
  FPaintBox->YIncrease = YIncrease();
  if (Proportional()) {
    FPaintBox->SetProportional(true);
    FHRuler->SetXMin(FPaintBox->ViewXMin);
    FHRuler->SetXMax(FPaintBox->ViewXMax);
    FVRuler->SetYMin(FPaintBox->ViewYMin);
    FVRuler->SetYMax(FPaintBox->ViewYMax);
  } else {
    FPaintBox->SetProportional(false);
  }
  LayOutHRuler(H);
  LayOutVRuler(W);
  if (FHRuler->Visible())
    SetHRulerFont(*FHRulerFont);
  if (FVRuler->Visible())
    SetVRulerFont(*FVRulerFont);
  EstablishMapping();
  if (FZoomLevel == 0)
    SaveHistory(0);
}

void TVelWorldGraph::LayOutHRuler(int H) {
  Velpaint::TVelPaintBox &box = *FPaintBox;
  switch (FHRulerPosition) {
  case hrpTop:
    FHRuler->SetDivisionPlacement(dpBottom);
    FHRuler->SetBounds(box.Left(), 0, box.Width(), Pixels(H * HRulerShare));
    FHRuler->SetVisible(true);
    FHRuler->Paint();
    box.SetBounds(box.Left(), FHRuler->Height(), box.Width(), Height() - FHRuler->Height());
    break;
  case hrpBottom: {
    FHRuler->SetDivisionPlacement(dpTop);
    const int rulerHeight = Pixels(H * HRulerShare);
    FHRuler->SetBounds(box.Left(), H - rulerHeight, box.Width(), rulerHeight);
    FHRuler->SetVisible(true);
    FHRuler->Paint();
    box.SetBounds(box.Left(), 0, box.Width(), H - FHRuler->Height());
    break;
  }
  case hrpHidden:
    FHRuler->Hide();
    FHRuler->SetTop(HiddenRulerPlace);
    box.SetBounds(box.Left(), 0, box.Width(), Height());
    break;
  }
  box.Bitmap->SetHeight(box.Height());
}

void TVelWorldGraph::LayOutVRuler(int W) {
  Velpaint::TVelPaintBox &box = *FPaintBox;
  switch (FVRulerPosition) {
  case vrpLeft:
    FVRuler->SetDivisionPlacement(dpRight);
    FVRuler->SetBounds(0, box.Top(), Pixels(W * VRulerShare), box.Height());
    FVRuler->SetVisible(true);
    FVRuler->Paint();
    box.SetBounds(FVRuler->Width(), box.Top(), Width() - FVRuler->Width(), box.Height());
    break;
  case vrpRight:
    FVRuler->SetDivisionPlacement(dpLeft);
    FVRuler->SetBounds(box.Width(), box.Top(), Pixels(W * VRulerShare), box.Height());
    FVRuler->SetVisible(true);
    FVRuler->Paint();
    box.SetBounds(0, box.Top(), Width() - FVRuler->Width(), box.Height());
    break;
  case vrpHidden:
    FVRuler->Hide();
    FVRuler->SetLeft(HiddenRulerPlace);
    box.SetBounds(0, box.Top(), Width(), box.Height());
    break;
  }
  box.Bitmap->SetWidth(box.Width());
}

void TVelWorldGraph::EstablishMapping() {
  const Velpaint::TVelPaintBox &box = *FPaintBox;
  Wgraph::SetWorldWindow(box.ViewXMin, box.ViewXMax, box.ViewYMin, box.ViewYMax, 0, 0, 0, 0);
  const int w = box.Width(), h = box.Height();
  const bool leftToRight = XIncrease() == Velpaint::LeftToRight, bottomToTop = YIncrease() == Velpaint::BottomToTop;
  Wgraph::SetPCWindow(leftToRight ? 0 : w, leftToRight ? w : 0, bottomToTop ? h : 0, bottomToTop ? 0 : h);
}

// The off-screen picture in one piece, then the crosshair over it again.
void TVelWorldGraph::ShowBitmap() {
  FPaintBox->Canvas()->Draw(0, 0, *FPaintBox->Bitmap);
  if (FDetailedPosition && FCrossX != NoCross && FCrossY != NoCross)
    FPaintBox->DrawCrossAt(pmNot, FCrossX, FCrossY);
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

TShape *TVelWorldGraph::Shape(int n) const { return n >= 1 && n <= ShapeCount() ? FShapes[n - 1].get() : nullptr; }

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
