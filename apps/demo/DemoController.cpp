#include "DemoController.h"
#include "DemoPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <platform/rtl/Exceptions.h>

#include "DemoScene.h"

using namespace Platform;
using namespace Velgraph;

namespace Demo {
namespace {

constexpr int Margin = 10;
constexpr int StatusHeight = 26;

// Four digits; what rounding left of a zero bound (a billionth of the span) shows as 0.
std::string Number(double value, double span) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", std::abs(value) < 1e-9 * std::abs(span) ? 0.0 : value);
  return text;
}

const char *UnitsName(Pbrulers::TLengthUnits units) {
  switch (units) {
  case Pbrulers::luActualInches: return "inches";
  case Pbrulers::luActualMM: return "mm";
  case Pbrulers::luCustom: break;
  }
  return "world units";
}

} // namespace

TDemoController::TDemoController(const TDemoOptions &options)
    : FOptions(options), FForm(std::make_unique<TForm>(nullptr)) {
  FForm->SetCaption("velgraph demo");
  FForm->SetBounds(0, 0, options.Width, options.Height);
  FForm->SetColor(RGB(0xF0, 0xF0, 0xF0));
  FGraph = new TVelWorldGraph(FForm.get());
  FStatus = new TStatusLine(FForm.get());
  FStatus->SetParent(FForm.get());
  LayOut();
  FForm->OnResize = [this](TObject *) { LayOut(); };
  SetUpScene(*FGraph, FPicture);
  if (options.ShowPicture || !options.PictureFile.empty())
    TogglePicture();

  ConnectEvents();
  UpdateStatus();
}

void TDemoController::ConnectEvents() {
  // A proportional paint widens the window: the status line follows what the graph shows.
  FGraph->OnPaint = [this, scene = FGraph->OnPaint](TObject *sender) {
    scene(sender);
    UpdateStatus();
  };
  FGraph->OnMouseDown = [this](TObject *, TMouseButton button, TShiftState shift, int, int) {
    MouseDown(button, shift, FGraph->FMouseX, FGraph->FMouseY);
  };
  FGraph->OnMouseMove = [this](TObject *, TShiftState, int, int) { MouseMove(FGraph->FMouseX, FGraph->FMouseY); };
  FGraph->OnMouseUp = [this](TObject *, TMouseButton button, TShiftState, int, int) {
    MouseUp(button, FGraph->FMouseX, FGraph->FMouseY);
  };
  FGraph->OnMouseLeave = [this](TObject *) {
    FCursorKnown = false;
    UpdateStatus();
  };
  FForm->OnKeyDown = [this](TObject *, WORD &key, TShiftState shift) {
    if (KeyDown(key, shift))
      key = 0;
  };
}

// The form frees the graph and the status line; nothing they do on the way may reach back here.
TDemoController::~TDemoController() {
  FForm->OnResize = nullptr;
  FForm->OnKeyDown = nullptr;
  FGraph->OnPaint = nullptr;
  FGraph->OnMouseLeave = nullptr;
}

void TDemoController::LayOut() {
  const int width = FForm->ClientWidth(), height = FForm->ClientHeight();
  FGraph->SetBounds(Margin, Margin, std::max(0, width - 2 * Margin), std::max(0, height - 2 * Margin - StatusHeight));
  FStatus->SetBounds(0, std::max(0, height - StatusHeight), width, std::min(height, StatusHeight));
}

bool TDemoController::KeyDown(WORD key, TShiftState) {
  switch (key) {
  case KeyBack: Zoom([this] { FGraph->DecreaseZoom(); }); break;
  case KeyForward: Zoom([this] { FGraph->RedoZoom(); }); break;
  case KeyReset: Zoom([this] { FGraph->ResetZoom(); }); break;
  case KeyCrosshair: ToggleCrosshair(); break;
  case KeyUnits: CycleUnits(); break;
  case KeyPrint: Print(); break;
  case KeyPicture: TogglePicture(); break;
  case KeyHelp:
  case KeyF1:
    FShowHelp = !FShowHelp;
    UpdateStatus();
    break;
  case KeyQuit:
  case KeyEscape: FQuit = true; break;
  default: return false;
  }
  return true;
}

void TDemoController::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (FDrag != TDrag::None)
    return;
  if (button == mbRight) {
    Zoom([this] { FGraph->DecreaseZoom(); });
    return;
  }
  if (button != mbLeft)
    return;
  FDragButton = button;
  if (shift.Contains(ssShift)) {
    FDrag = TDrag::Measure;
    FGraph->BeginDistance(x, y, true);
  } else if (CanZoom()) {
    FDrag = TDrag::Zoom;
    FGraph->BeginSelect(x, y);
  }
}

void TDemoController::MouseMove(int x, int y) {
  FCursor = FGraph->FMouseWorld;
  FCursorKnown = true;
  if (FDrag == TDrag::Zoom)
    FGraph->ContinueSelect(x, y);
  else if (FDrag == TDrag::Measure)
    FDistance = FGraph->ContinueDistance(x, y);
  UpdateStatus();
}

void TDemoController::MouseUp(TMouseButton button, int x, int y) {
  if (FDrag == TDrag::None || button != FDragButton)
    return;
  const TDrag drag = FDrag;
  FDrag = TDrag::None;
  if (drag == TDrag::Measure) {
    FDistance = FGraph->EndDistance(x, y, true);
    UpdateStatus();
  } else {
    Zoom([this, x, y] { FGraph->EndSelect(x, y); });
  }
}

// The zoom history keeps world windows, which rulers in inches or millimetres would overwrite.
bool TDemoController::CanZoom() {
  if (FUnits == Pbrulers::luCustom)
    return true;
  Say("zoom with the rulers in world units (U)");
  return false;
}

void TDemoController::Zoom(const std::function<void()> &change) {
  if (!CanZoom())
    return;
  const double before[4] = {FGraph->XMin(), FGraph->XMax(), FGraph->YMin(), FGraph->YMax()};
  const int level = FGraph->ZoomLevel();
  change();
  const double after[4] = {FGraph->XMin(), FGraph->XMax(), FGraph->YMin(), FGraph->YMax()};
  if (level != FGraph->ZoomLevel() || !std::equal(before, before + 4, after))
    ReportWindow();
  UpdateStatus();
}

void TDemoController::ReportWindow() {
  if (!OnReport)
    return;
  char line[160];
  std::snprintf(line, sizeof line, "window %.17g %.17g %.17g %.17g level %d", FGraph->XMin(), FGraph->XMax(),
                FGraph->YMin(), FGraph->YMax(), FGraph->ZoomLevel());
  OnReport(line);
}

void TDemoController::ReportLayout() {
  if (!OnReport)
    return;
  const TPoint origin = FGraph->PaintBox()->ClientToForm({0, 0});
  OnReport("paintbox " + std::to_string(origin.X) + " " + std::to_string(origin.Y) + " " +
           std::to_string(FGraph->PaintBox()->Width()) + " " + std::to_string(FGraph->PaintBox()->Height()));
  ReportWindow();
}

void TDemoController::ToggleCrosshair() {
  const bool on = !FGraph->DetailedPosition();
  FGraph->SetDetailedPosition(on);
  if (!on)
    FGraph->RemoveDetailedPosition();
  UpdateStatus();
}

// In inches or millimetres the rulers give the window their own lengths of the screen: the
// drawing follows them, one world unit to the unit shown, so the rulers measure it true to size.
// The world window comes back with world units.
void TDemoController::CycleUnits() {
  using namespace Pbrulers;
  const TLengthUnits next = FUnits == luCustom ? luActualInches : FUnits == luActualInches ? luActualMM : luCustom;
  if (FUnits == luCustom)
    FWorldWindow = {FGraph->XMin(), FGraph->XMax(), FGraph->YMin(), FGraph->YMax()};
  FUnits = next;
  FGraph->SetLengthUnits(next);
  const std::array<double, 4> window =
      next == luCustom ? FWorldWindow : std::array{FGraph->XMin(), FGraph->XMax(), FGraph->YMin(), FGraph->YMax()};
  FGraph->SetXMin(window[0]);
  FGraph->SetXMax(window[1]);
  FGraph->SetYMin(window[2]);
  FGraph->SetYMax(window[3]);
  if (next == luCustom)
    FGraph->SetProportional(true);
  FGraph->Paint();
  UpdateStatus();
}

void TDemoController::Print() {
  try {
    PrintDemo(*FGraph, FPicture, FOptions.PdfFile);
    Say("printed " + FOptions.PdfFile);
  } catch (const std::exception &e) {
    Say(std::string("print failed: ") + e.what());
  }
  FGraph->Paint();
}

void TDemoController::TogglePicture() {
  if (FPicture.Graphic()) {
    FPicture.SetGraphic(nullptr);
    Say("picture hidden");
  } else if (FOptions.PictureFile.empty()) {
    MakeReliefPicture(FPicture);
    Say("picture: relief map");
  } else {
    try {
      FPicture.LoadFromFile(FOptions.PictureFile);
      Say("picture: " + FOptions.PictureFile);
    } catch (const std::exception &e) {
      Say(std::string("cannot load picture: ") + e.what());
    }
  }
  FGraph->Paint();
}

void TDemoController::Say(const std::string &message) {
  FMessage = message;
  UpdateStatus();
}

void TDemoController::UpdateStatus() {
  if (FShowHelp) {
    FStatus->SetText(ShortHelp());
    return;
  }
  const double width = FGraph->XMax() - FGraph->XMin(), height = FGraph->YMax() - FGraph->YMin();
  std::string text = "x " + Number(FGraph->XMin(), width) + " .. " + Number(FGraph->XMax(), width) + "   y " +
                     Number(FGraph->YMin(), height) + " .. " + Number(FGraph->YMax(), height);
  if (FGraph->ZoomLevel() > 0)
    text += "   (zoom " + std::to_string(FGraph->ZoomLevel()) + ")";
  if (FCursorKnown)
    text += "   |   at " + Number(FCursor.X, width) + ", " + Number(FCursor.Y, height);
  if (FDistance >= 0)
    text += "   |   distance " + Number(FDistance, 0);
  text += std::string("   |   rulers: ") + UnitsName(FUnits);
  text += FGraph->DetailedPosition() ? "   |   crosshair on" : "   |   crosshair off";
  if (!FMessage.empty())
    text += "   |   " + FMessage;
  FStatus->SetText(text);
}

std::string TDemoController::Help() {
  return "  left-drag        zoom to the rectangle\n"
         "  shift-left-drag  measure a distance (shown in the status line)\n"
         "  right-click, B   step back through the zooms\n"
         "  F                step forward again\n"
         "  R                reset the zoom\n"
         "  C                crosshair on or off\n"
         "  U                rulers in world units, inches, millimetres\n"
         "  P                print to a PDF file\n"
         "  L                show or hide a picture under the drawing\n"
         "  H, F1            this help in the status line\n"
         "  Q, Escape        quit\n";
}

std::string TDemoController::ShortHelp() {
  return "drag: zoom   shift-drag: measure   right-click/B: back   F: forward   R: reset   C: crosshair   "
         "U: units   P: print   L: picture   H: help   Q: quit";
}

} // namespace Demo
