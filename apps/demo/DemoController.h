#pragma once

// The demo program's behaviour, apart from the window that shows it: a world graph above a status
// line on a form, the mouse and the keys turned into zooms, measurements, crosshair, ruler units,
// printing and pictures. A host (the desktop window, or the headless one in tests) feeds it
// input; it reports every change of the world window as one line.
//
// Mouse: drag with the left button to zoom to a rectangle, shift-drag to measure a distance,
// right-click to step back.

#include <array>
#include <functional>
#include <memory>
#include <platform/controls/Form.h>
#include <platform/pictures/Picture.h>
#include <platform/rtl/VirtualKeys.h>
#include <string>
#include <worldgraph/VelGraph.h>

#include "StatusLine.h"

namespace Demo {

// The demo's keys, as virtual-key codes (a letter's code is its capital).
enum TDemoKey : Platform::WORD {
  KeyBack = 'B',
  KeyForward = 'F',
  KeyReset = 'R',
  KeyCrosshair = 'C',
  KeyUnits = 'U',
  KeyPrint = 'P',
  KeyPicture = 'L',
  KeyHelp = 'H',
  KeyQuit = 'Q',
  KeyEscape = Platform::VK_ESCAPE,
  KeyF1 = Platform::VK_F1,
};

struct TDemoOptions {
  int Width = 960;
  int Height = 680;
  // A picture shown from the start, which the picture key hides and shows; empty: the key shows
  // one the demo makes.
  std::string PictureFile;
  // Whether the picture is behind the mesh from the start.
  bool ShowPicture = true;
  // Where the print key writes its PDF.
  std::string PdfFile = "demo.pdf";
};

class TDemoController {
public:
  explicit TDemoController(const TDemoOptions &options);
  ~TDemoController();
  TDemoController(const TDemoController &) = delete;
  TDemoController &operator=(const TDemoController &) = delete;

  Platform::TForm &Form() { return *FForm; }
  Velgraph::TVelWorldGraph &Graph() { return *FGraph; }
  const TStatusLine &Status() const { return *FStatus; }

  // Places the graph and the status line over the form, as after a resize of the window.
  void LayOut();
  // A key pressed (the form's OnKeyDown calls it and consumes the demo's keys); false when it is
  // none of the demo's.
  bool KeyDown(Platform::WORD key, Platform::TShiftState shift);
  bool QuitRequested() const { return FQuit; }

  // Each report is one line without its end: "window XMIN XMAX YMIN YMAX level N" after every
  // change of the zoom, and once by ReportLayout.
  std::function<void(const std::string &)> OnReport;
  // Reports the paint box's place on the form, "paintbox LEFT TOP WIDTH HEIGHT", and the window.
  void ReportLayout();

  // The keys and the mouse, one line each, for --help; and in one line for the status line.
  static std::string Help();
  static std::string ShortHelp();

  // The units the rulers show, cycled by the units key.
  Pbrulers::TLengthUnits Units() const { return FUnits; }
  // The last measured distance in world units; negative before the first.
  double Distance() const { return FDistance; }
  // The picture behind the drawing; empty while hidden.
  const Platform::TPicture &Picture() const { return FPicture; }

private:
  enum class TDrag { None, Zoom, Measure };

  void ConnectEvents();
  void MouseDown(Platform::TMouseButton button, Platform::TShiftState shift, int x, int y);
  void MouseMove(int x, int y);
  void MouseUp(Platform::TMouseButton button, int x, int y);
  // True in world units; otherwise says why not.
  bool CanZoom();
  // Runs a change of the zoom and reports the window when it changed.
  void Zoom(const std::function<void()> &change);
  void ReportWindow();
  void ToggleCrosshair();
  void CycleUnits();
  void Print();
  void TogglePicture();
  void Say(const std::string &message);
  void UpdateStatus();

  TDemoOptions FOptions;
  // Before the form, which the scene's drawing of it must not outlive.
  Platform::TPicture FPicture;
  std::unique_ptr<Platform::TForm> FForm;
  Velgraph::TVelWorldGraph *FGraph = nullptr;
  TStatusLine *FStatus = nullptr;
  TDrag FDrag = TDrag::None;
  Platform::TMouseButton FDragButton = Platform::mbLeft;
  Pbrulers::TLengthUnits FUnits = Pbrulers::luCustom;
  // The world window in force when the rulers left world units.
  std::array<double, 4> FWorldWindow{};
  double FDistance = -1;
  Velgraph::TWorldPoint FCursor{};
  bool FCursorKnown = false;
  bool FShowHelp = false;
  bool FQuit = false;
  std::string FMessage;
};

} // namespace Demo
