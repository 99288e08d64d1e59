// The sample application: a headless form with a world paint box showing a mesh of eight-node
// elements with curved sides, a scatter series with each marker kind, arcs and ellipses, framed
// by a pair of labelled axes with titles, with a world-unit ruler above it and a millimetre
// ruler on its right. The presented window is written to demo.png; with --print the drawing and
// both rulers, each printed by itself beside it, go to demo.pdf.

#include <cmath>
#include <cstdio>
#include <exception>
#include <string>

#include <alloc/Alloc.h>
#include <paintbox/Velpaint.h>
#include <platform/controls/Form.h>
#include <platform/controls/Screen.h>
#include <platform/host/HeadlessHost.h>
#include <platform/printers/Printer.h>
#include <platform/rtl/Exceptions.h>
#include <rulers/Pbrulers.h>
#include <wgraph/Wgraph.h>
#include <worldgraph/VelGraph.h>

using namespace Platform;
using namespace Wgraph;

namespace {

constexpr int FormWidth = 1000;
constexpr int FormHeight = 680;
constexpr TRect ViewBounds{80, 70, 930, 610};
constexpr int RulerGap = 3;

// The frame of the world drawing: 0..24 by 0..16 world units.
TAxis Frame() {
  TAxis axis;
  axis.XOrigin = 0;
  axis.YOrigin = 0;
  axis.XEnd = 24;
  axis.YEnd = 16;
  axis.Step = 2;
  axis.MinorTicks = true;
  axis.AxisColor = clBlack;
  axis.TickColor = clBlack;
  axis.FontName = "arial";
  axis.FontSize = 9;
  axis.FontColor = clBlack;
  axis.TitleSize = 11;
  return axis;
}

// A mesh of 4 x 3 elements over a bent strip; every side's mid node lies on the arc, so the
// sides are curved.
void DrawMesh(Velpaint::TVelPaintBox &view) {
  const TColor fills[] = {RGB(0x9E, 0xCA, 0xE1), RGB(0xFD, 0xD0, 0xA2), RGB(0xC7, 0xE9, 0xC0), RGB(0xDA, 0xDA, 0xEB)};
  auto node = [](double u, double v, double &x, double &y) {
    const double angle = 0.25 * u, radius = 5 + 1.3 * v;
    x = 1 + radius * std::sin(angle);
    y = 1 + radius * std::cos(angle) * 1.6;
  };
  view.DrawCanvas->Pen().SetColor(RGB(0x30, 0x30, 0x30));
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 3; ++j) {
      double x[8], y[8];
      const double u[8] = {i + 0.0, i + 1.0, i + 1.0, i + 0.0, i + 0.5, i + 1.0, i + 0.5, i + 0.0};
      const double v[8] = {j + 0.0, j + 0.0, j + 1.0, j + 1.0, j + 0.0, j + 0.5, j + 1.0, j + 0.5};
      for (int k = 0; k < 8; ++k)
        node(u[k], v[k], x[k], y[k]);
      view.WorldQuad8(x[0], y[0], x[1], y[1], x[2], y[2], x[3], y[3], x[4], y[4], x[5], y[5], x[6], y[6], x[7], y[7],
                      fills[(i + j) % 4], true);
    }
}

// A damped wave per marker kind, stacked.
void DrawScatter(Velpaint::TVelPaintBox &view) {
  constexpr int count = 12;
  Alloc::PPointArray points = nullptr;
  if (!Alloc::AllocatePointArray(points, count))
    throw EOutOfMemory("no memory for the scatter series");
  const pointType kinds[] = {pointType::square,      pointType::triangle,      pointType::circle,
                             pointType::emptysquare, pointType::emptytriangle, pointType::emptycircle,
                             pointType::crosspoint};
  const TColor colours[] = {clNavy, clRed, RGB(0x00, 0x80, 0x60), clPurple, RGB(0xC0, 0x60, 0x00), clTeal, clMaroon};
  for (int k = 0; k < 7; ++k) {
    for (int i = 0; i < count; ++i) {
      points[i].X = 13 + i * 0.85;
      points[i].Y = 14.5 - 1.45 * k + 0.45 * std::exp(-0.15 * i) * std::sin(1.1 * i + k);
    }
    TLineFormat format;
    format.NumPoints = count;
    format.PointKind = kinds[k];
    format.PointColor = colours[k];
    format.PointSize = 7;
    format.LineColor = RGB(0xA0, 0xA0, 0xA0);
    format.LineWidth = 1;
    ScatterPlotData(view.DrawCanvas, points, format);
  }
  Alloc::DeAllocatePointArray(points, count);
}

void DrawArcsAndEllipses(Velpaint::TVelPaintBox &view) {
  TCanvas *canvas = view.DrawCanvas;
  canvas->Pen().SetColor(RGB(0xB0, 0x60, 0x00));
  canvas->Pen().SetWidth(2);
  canvas->Brush().SetColor(RGB(0xFF, 0xF2, 0xCC));
  view.WorldEllipse(14, 1, 18, 3.5);
  canvas->Brush().SetColor(RGB(0x60, 0x90, 0xC0));
  canvas->Brush().SetStyle(bsDiagCross);
  view.WorldEllipse(19, 1, 23, 3.5);
  canvas->Brush().SetStyle(bsSolid);
  canvas->Pen().SetWidth(1);
  canvas->Pen().SetColor(clPurple);
  // Half rings: each arc runs counter-clockwise from its right end to its left end.
  for (int r = 1; r <= 4; ++r) {
    const double radius = r * 0.5, cx = 10.5, cy = 12.5;
    view.WorldArc(cx - radius, cy - radius, cx + radius, cy + radius, cx + radius, cy, cx - radius, cy);
  }
}

// The world view: a paint box that draws its scene on its off-screen bitmap whenever it
// paints, with a light grid under it, and shows the bitmap in one copy.
class TDemoView : public Velpaint::TVelPaintBox {
public:
  using TVelPaintBox::TVelPaintBox;

  void Paint() override {
    TVelPaintBox::Paint(); // clears the bitmap and maps the world window onto the box
    TAxis grid = Frame();
    grid.ShowGrid = true;
    grid.MinorTicks = false;
    grid.TickColor = RGB(0xE0, 0xE0, 0xE0);
    DrawXAxis(DrawCanvas, grid);
    DrawYAxis(DrawCanvas, grid);
    DrawMesh(*this);
    DrawScatter(*this);
    DrawArcsAndEllipses(*this);
    Canvas()->Draw(0, 0, *Bitmap);
  }
};

// Labels and titles around the view, on the form; the mapping the view established is
// offset to the form's pixels.
void DrawFrame(TForm &form, const TDemoView &view) {
  TAxis axis = Frame();
  axis.OffsetX = view.Left();
  axis.OffsetY = view.Top();
  axis.ShowLabels = true;
  axis.Title = "Distance along the strip (m)";
  DrawXAxis(form.Canvas(), axis);
  axis.Title.clear();
  DrawYAxis(form.Canvas(), axis);
  // The Y title is written upwards from the axis line into the plot; a second pass with no
  // ticks stands a form-coloured axis left of the labels to carry it outside.
  axis.Title = "Height (m)";
  axis.Step = 0;
  axis.OffsetX -= 58;
  axis.AxisColor = form.Color();
  DrawYAxis(form.Canvas(), axis);
}

struct TDemoRulers {
  Pbrulers::TVelPBHRuler *Across;
  Pbrulers::TVelPBVRuler *Down;
};

// A world-unit ruler over the view's x range above it, and a millimetre ruler on its right.
TDemoRulers PlaceRulers(Velgraph::TVelWorldGraph &graph, const TDemoView &view) {
  auto *across = new Pbrulers::TVelPBHRuler(&graph);
  across->SetBounds(view.Left(), view.Top() - 33 - RulerGap, view.Width(), 33);
  across->SetDivisionPlacement(Pbrulers::dpBottom);
  across->SetXMax(view.XMax());
  across->SetXMin(view.XMin());
  auto *down = new Pbrulers::TVelPBVRuler(&graph);
  down->SetBounds(view.Left() + view.Width() + RulerGap, view.Top(), 33, view.Height());
  down->SetDivisionPlacement(Pbrulers::dpLeft);
  down->SetLengthUnits(Pbrulers::luActualMM);
  return {across, down};
}

// The view's drawing on a PDF page at the rulers' print scale, with each ruler printed by itself
// where it stands beside the view on the screen.
void PrintPage(const TDemoView &view, const TDemoRulers &rulers, const std::string &fileName) {
  TPrinter &printer = *Printer();
  printer.SetFileName(fileName);
  printer.SetFormat(pfPDF);
  const double scale = static_cast<double>(printer.PageWidth()) / Screen().Width();
  const double dpi = printer.Resolution();
  const double margin = 0.5; // inches
  const auto inches = [&](int screenPixels) { return margin + screenPixels * scale / dpi; };
  const auto printerPixels = [&](int screenPixels) { return static_cast<int>(Round(inches(screenPixels) * dpi)); };
  printer.BeginDoc();
  printer.Canvas()->StretchDraw({printerPixels(view.Left()), printerPixels(view.Top()),
                                 printerPixels(view.Left() + view.Width()), printerPixels(view.Top() + view.Height())},
                                *view.Bitmap);
  rulers.Across->Print(inches(rulers.Across->Left()), inches(rulers.Across->Top()), false, false);
  rulers.Down->Print(inches(rulers.Down->Left()), inches(rulers.Down->Top()), false, true);
}

} // namespace

int main(int argc, char **argv) {
  std::string output = "demo.png";
  bool print = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--print")
      print = true;
    else
      output = argv[i];
  }
  try {
    TForm form(nullptr);
    form.SetBounds(0, 0, FormWidth, FormHeight);
    form.SetColor(clWhite);
    auto *graph = new Velgraph::TVelWorldGraph(&form);
    graph->SetParent(&form);
    graph->SetBevelOuter(bvNone);
    graph->SetColor(clWhite);
    graph->SetBounds(0, 0, FormWidth, FormHeight);
    auto *view = new TDemoView(graph);
    view->SetBounds(ViewBounds.Left, ViewBounds.Top, ViewBounds.Width(), ViewBounds.Height());
    view->Bitmap->SetSize(view->Width(), view->Height());
    view->SetColor(clWhite);
    view->SetXMax(24);
    view->SetYMax(16);
    const TDemoRulers rulers = PlaceRulers(*graph, *view);
    THeadlessHost host(form);
    form.Invalidate();
    host.ProcessPaints();
    DrawFrame(form, *view);
    host.Present();
    host.Presented().SaveToPngFile(output);
    std::printf("velgraph demo: wrote %s (%d x %d)\n", output.c_str(), FormWidth, FormHeight);
    if (print) {
      PrintPage(*view, rulers, "demo.pdf");
      std::printf("velgraph demo: wrote demo.pdf\n");
    }
  } catch (const std::exception &e) {
    std::fprintf(stderr, "velgraph demo: %s\n", e.what());
    return 1;
  }
  return 0;
}
