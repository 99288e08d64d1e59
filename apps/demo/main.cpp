// The sample application: a world graph with both rulers on a headless form. Its OnPaint draws
// a mesh of eight-node elements with curved sides coloured by a field value, the mesh's nodes,
// a data series, arcs and an ellipse that run off the frame and are clipped there; a few
// shapes formed point by point are drawn under it. The presented window goes to demo.png.
//
// With --print the drawing and both rulers, each printed by itself where it stands beside the
// drawing on the screen, go to demo.pdf; with --emf the drawing goes to demo.emf.
//
//   velgraph-demo [output.png] [--zoom x1,y1,x2,y2] [--print] [--emf]

#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include <platform/controls/Form.h>
#include <platform/controls/Screen.h>
#include <platform/host/HeadlessHost.h>
#include <platform/printers/Printer.h>
#include <platform/rtl/Exceptions.h>
#include <worldgraph/Shape.h>
#include <worldgraph/VelGraph.h>

#include "DemoEmf.h"

using namespace Platform;
using namespace Velgraph;

namespace {

constexpr int FormWidth = 960;
constexpr int FormHeight = 680;
constexpr double Pi = 3.14159265358979323846;

// The mesh: an arch of 8 x 3 elements about (9, 0.5), inner radius 3, outer radius 8.
constexpr double ArchX = 9, ArchY = 0.5, InnerRadius = 3, OuterRadius = 8;
constexpr int Around = 8, Across = 3;

void ArchNode(double u, double v, double &x, double &y) {
  const double angle = Pi * (15 + 150 * u / Around) / 180,
               radius = InnerRadius + (OuterRadius - InnerRadius) * v / Across;
  x = ArchX - radius * std::cos(angle);
  y = ArchY + radius * std::sin(angle);
}

// A stress-like field over the arch, 0 at the feet and 1 at the crown's inner edge.
double Field(double x, double y) {
  const double r = std::hypot(x - ArchX, y - ArchY), s = (y - ArchY) / r;
  return std::clamp(s * (OuterRadius - r) / (OuterRadius - InnerRadius), 0.0, 1.0);
}

// Blue through green and yellow to red.
TColor Ramp(double t) {
  const double r = std::clamp(2 * t, 0.0, 1.0),
               g = std::clamp(2 - 2 * t, 0.0, 1.0) * std::clamp(0.4 + 1.6 * t, 0.0, 1.0);
  const double b = std::clamp(1 - 2 * t, 0.0, 1.0);
  return RGB(static_cast<int>(40 + 200 * r), static_cast<int>(60 + 170 * g), static_cast<int>(60 + 190 * b));
}

void DrawMesh(TVelWorldGraph &graph) {
  graph.DrawingCanvas()->Pen().SetColor(RGB(0x30, 0x30, 0x30));
  for (int i = 0; i < Around; ++i)
    for (int j = 0; j < Across; ++j) {
      double x[8], y[8];
      const double u[8] = {i + 0.0, i + 1.0, i + 1.0, i + 0.0, i + 0.5, i + 1.0, i + 0.5, i + 0.0};
      const double v[8] = {j + 0.0, j + 0.0, j + 1.0, j + 1.0, j + 0.0, j + 0.5, j + 1.0, j + 0.5};
      for (int k = 0; k < 8; ++k)
        ArchNode(u[k], v[k], x[k], y[k]);
      double cx, cy;
      ArchNode(i + 0.5, j + 0.5, cx, cy);
      graph.WorldQuad8(x[0], y[0], x[1], y[1], x[2], y[2], x[3], y[3], x[4], y[4], x[5], y[5], x[6], y[6], x[7], y[7],
                       Ramp(Field(cx, cy)), true);
    }
  for (int i = 0; i <= 2 * Around; ++i)
    for (int j = 0; j <= 2 * Across; ++j) {
      if (i % 2 == 1 && j % 2 == 1)
        continue; // no node inside an element
      double x, y;
      ArchNode(i * 0.5, j * 0.5, x, y);
      if (i % 2 == 0 && j % 2 == 0)
        graph.SquarePoint(5, x, y, clBlack);
      else
        graph.EmptyCirclePoint(5, x, y, clBlack);
    }
}

// A damped response sampled every 0.25 s, drawn through the graph's clipped lines.
void DrawSeries(TVelWorldGraph &graph) {
  graph.SetPen(RGB(0x10, 0x50, 0xA0), pmCopy, psSolid, 2);
  for (int i = 0; i <= 40; ++i) {
    const double x = 13 + i * 0.25, y = 11.5 + 3 * std::exp(-0.08 * i) * std::sin(0.55 * i);
    if (i == 0)
      graph.WorldMoveTo(x, y);
    else
      graph.WorldLineTo(x, y);
  }
  graph.ResetPen();
  for (int i = 0; i <= 40; i += 4) {
    const double x = 13 + i * 0.25, y = 11.5 + 3 * std::exp(-0.08 * i) * std::sin(0.55 * i);
    graph.TrianglePoint(9, x, y, RGB(0xC0, 0x30, 0x30));
  }
}

// Rings about the top right corner and an ellipse over the bottom right one: partly outside
// the frame, cut at its edge.
void DrawOffFrameFigures(TVelWorldGraph &graph) {
  TCanvas &canvas = *graph.DrawingCanvas();
  canvas.Pen().SetColor(clPurple);
  for (int r = 1; r <= 5; ++r)
    graph.WorldArc(24 - r, 16 - r, 24 + r, 16 + r, 24 - r, 16, 24, 16 - r);
  canvas.Pen().SetColor(RGB(0xB0, 0x60, 0x00));
  canvas.Brush().SetColor(RGB(0xFF, 0xE8, 0xB0));
  graph.WorldEllipse(19, -3, 27, 3);
  canvas.Brush().SetColor(clWhite);
  canvas.Pen().SetColor(clBlack);
}

void AddShapes(TVelWorldGraph &graph) {
  graph.AddShape(skPolygon);
  graph.BeginShape(18.5, 4.5);
  graph.ContinueShape(22.5, 5, false);
  graph.ContinueShape(21, 8, true);
  graph.Shape(graph.ShapeCount())->FBrush.SetColor(RGB(0xC8, 0xE6, 0xC8));
  graph.Shape(graph.ShapeCount())->FPen.SetColor(RGB(0x20, 0x80, 0x20));
  graph.AddShape(skPolyline);
  graph.BeginShape(1, 14.5);
  for (int i = 1; i <= 12; ++i)
    graph.ContinueShape(1 + i * 0.8, 14.5 - 0.5 * (i % 2), false);
  graph.Shape(graph.ShapeCount())->FPen.SetColor(RGB(0x80, 0x80, 0x80));
  graph.AddShape(skEllipse);
  graph.BeginShape(2, 10.5);
  graph.ContinueShape(7, 12.5, false);
}

// The graph's picture on a PDF page at the rulers' print scale, the rulers printed beside it.
void PrintPage(TVelWorldGraph &graph, const std::string &fileName) {
  TPrinter &printer = *Printer();
  printer.SetFileName(fileName);
  printer.SetFormat(pfPDF);
  const double scale = static_cast<double>(printer.PageWidth()) / Screen().Width();
  const double dpi = printer.Resolution();
  const double margin = 0.5; // inches
  const auto inches = [&](int screenPixels) { return margin + screenPixels * scale / dpi; };
  const auto printerPixels = [&](int screenPixels) { return static_cast<int>(Round(inches(screenPixels) * dpi)); };
  const Velpaint::TVelPaintBox &box = *graph.PaintBox();
  printer.BeginDoc();
  printer.Canvas()->StretchDraw({printerPixels(box.Left()), printerPixels(box.Top()),
                                 printerPixels(box.Left() + box.Width()), printerPixels(box.Top() + box.Height())},
                                *box.Bitmap);
  graph.HRuler()->Print(inches(graph.HRuler()->Left()), inches(graph.HRuler()->Top()), false, false);
  graph.VRuler()->Print(inches(graph.VRuler()->Left()), inches(graph.VRuler()->Top()), false, true);
}

bool ParseZoom(const char *text, double corners[4]) {
  return std::sscanf(text, "%lf,%lf,%lf,%lf", &corners[0], &corners[1], &corners[2], &corners[3]) == 4;
}

} // namespace

int main(int argc, char **argv) {
  std::string output = "demo.png";
  double zoom[4];
  bool zoomed = false, print = false, emf = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--print") == 0) {
      print = true;
    } else if (std::strcmp(argv[i], "--emf") == 0) {
      emf = true;
    } else if (std::strcmp(argv[i], "--zoom") == 0 && i + 1 < argc) {
      if (!ParseZoom(argv[++i], zoom)) {
        std::fprintf(stderr, "velgraph demo: --zoom takes x1,y1,x2,y2\n");
        return 2;
      }
      zoomed = true;
    } else {
      output = argv[i];
    }
  }
  try {
    TForm form(nullptr);
    form.SetBounds(0, 0, FormWidth, FormHeight);
    form.SetColor(RGB(0xF0, 0xF0, 0xF0));
    auto *graph = new TVelWorldGraph(&form);
    graph->SetBounds(10, 10, FormWidth - 20, FormHeight - 20);
    graph->SetHRulerDecimals(0);
    graph->SetXMax(24);
    graph->SetYMax(16);
    AddShapes(*graph);
    graph->OnPaint = [graph](TObject *) {
      DrawMesh(*graph);
      DrawSeries(*graph);
      DrawOffFrameFigures(*graph);
    };
    THeadlessHost host(form);
    if (zoomed)
      graph->IncreaseZoom(zoom[0], zoom[1], zoom[2], zoom[3]);
    // A paint that moves the rulers asks for the places they left to be painted again.
    for (int round = 0; round < 4 && host.ProcessPaints() > 0; ++round) {
    }
    host.Present();
    host.Presented().SaveToPngFile(output);
    std::printf("velgraph demo: wrote %s (%d x %d), window x %g..%g, y %g..%g\n", output.c_str(), FormWidth, FormHeight,
                graph->XMin(), graph->XMax(), graph->YMin(), graph->YMax());
    if (print) {
      PrintPage(*graph, "demo.pdf");
      std::printf("velgraph demo: wrote demo.pdf\n");
    }
    if (emf) {
      WriteDemoEmf(*graph, "demo.emf");
      std::printf("velgraph demo: wrote demo.emf\n");
    }
  } catch (const std::exception &e) {
    std::fprintf(stderr, "velgraph demo: %s\n", e.what());
    return 1;
  }
  return 0;
}
