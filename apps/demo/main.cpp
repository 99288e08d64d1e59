// The sample drawing: a mesh of eight-node elements with curved sides, a scatter series with
// each marker kind, arcs and ellipses, drawn in world units and written to demo.png.

#include <cmath>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include <alloc/Alloc.h>
#include <platform/pictures/Bitmap.h>
#include <platform/rtl/Exceptions.h>
#include <wgraph/Wgraph.h>

using namespace Platform;
using namespace Wgraph;

namespace {

constexpr int ImageWidth = 960;
constexpr int ImageHeight = 640;

// The mesh: a 4 x 3 grid of elements over a bent strip, each side's mid node pushed off the
// straight line so the sides are visibly curved.
void DrawMesh(TCanvas *canvas) {
  const TColor fills[] = {RGB(0x9E, 0xCA, 0xE1), RGB(0xFD, 0xD0, 0xA2), RGB(0xC7, 0xE9, 0xC0), RGB(0xDA, 0xDA, 0xEB)};
  auto node = [](double u, double v, double &x, double &y) {
    const double angle = 0.35 * u;
    const double radius = 9 + v;
    x = 1 + radius * std::sin(angle);
    y = 12 - radius * std::cos(angle) + 0.15 * v * v;
  };
  canvas->Pen().SetColor(RGB(0x30, 0x30, 0x30));
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 3; ++j) {
      double x[8], y[8];
      const double u[8] = {i + 0.0, i + 1.0, i + 1.0, i + 0.0, i + 0.5, i + 1.0, i + 0.5, i + 0.0};
      const double v[8] = {j + 0.0, j + 0.0, j + 1.0, j + 1.0, j + 0.0, j + 0.5, j + 1.0, j + 0.5};
      for (int k = 0; k < 8; ++k)
        node(u[k], v[k], x[k], y[k]);
      wquad8(canvas, x[0], y[0], x[1], y[1], x[2], y[2], x[3], y[3], x[4], y[4], x[5], y[5], x[6], y[6], x[7], y[7],
             fills[(i + j) % 4], true);
    }
}

// A damped wave with each of the seven marker kinds along it.
void DrawScatter(TCanvas *canvas) {
  const int count = 21;
  Alloc::PPointArray points = nullptr;
  if (!Alloc::AllocatePointArray(points, count))
    throw EOutOfMemory("no memory for the scatter series");
  for (int i = 0; i < count; ++i) {
    points[i].X = 12 + i * 0.55;
    points[i].Y = 6 + 3 * std::exp(-0.08 * i) * std::cos(0.6 * i);
  }
  const pointType kinds[] = {pointType::square,      pointType::triangle,      pointType::circle,
                             pointType::emptysquare, pointType::emptytriangle, pointType::emptycircle,
                             pointType::crosspoint};
  TLineFormat format;
  format.NumPoints = 3;
  format.PointSize = 9;
  format.LineWidth = 2;
  for (int k = 0; k < 7; ++k) {
    format.PointKind = kinds[k];
    format.PointColor = k % 2 ? clRed : clNavy;
    format.LineColor = RGB(0x40, 0x80, 0x40);
    ScatterPlotData(canvas, points + 3 * k, format);
  }
  Alloc::DeAllocatePointArray(points, count);
}

void DrawArcsAndEllipses(TCanvas *canvas) {
  canvas->Brush().SetColor(RGB(0xFF, 0xF2, 0xCC));
  canvas->Pen().SetColor(RGB(0xB0, 0x60, 0x00));
  canvas->Pen().SetWidth(2);
  WEllipse(canvas, 13, 12.5, 18, 15.5);
  canvas->Brush().SetStyle(bsDiagCross);
  canvas->Brush().SetColor(RGB(0x60, 0x90, 0xC0));
  canvas->Brush().SetStyle(bsDiagCross);
  WEllipse(canvas, 19, 11.5, 23, 15.5);
  canvas->Pen().SetWidth(1);
  canvas->Pen().SetColor(clPurple);
  for (int r = 1; r <= 4; ++r)
    WArc(canvas, 18 - r * 0.6, 3 - r * 0.6, 18 + r * 0.6, 3 + r * 0.6, 18 + r, 3, 18, 3 + r);
  canvas->Brush().SetStyle(bsSolid);
}

} // namespace

int main(int argc, char **argv) {
  const std::string output = argc > 1 ? argv[1] : "demo.png";
  try {
    TBitmap bitmap(ImageWidth, ImageHeight);
    TCanvas *canvas = bitmap.Canvas();
    // World 0..24 x 0..16 (y upwards) on the whole picture.
    SetWorldWindow(0, 24, 0, 16, 0, 0, 0, 0);
    SetPCWindow(0, ImageWidth, ImageHeight, 0);
    DrawMesh(canvas);
    DrawScatter(canvas);
    DrawArcsAndEllipses(canvas);
    bitmap.SaveToPngFile(output);
    std::printf("velgraph demo: wrote %s (%d x %d)\n", output.c_str(), ImageWidth, ImageHeight);
  } catch (const std::exception &e) {
    std::fprintf(stderr, "velgraph demo: %s\n", e.what());
    return 1;
  }
  return 0;
}
