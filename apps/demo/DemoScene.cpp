#include "DemoScene.h"
#include "DemoPicture.h"

#include <algorithm>
#include <cmath>
#include <platform/pictures/Bitmap.h>
#include <platform/rtl/Rtl.h>
#include <worldgraph/Shape.h>

using namespace Platform;
using namespace Velgraph;

namespace Demo {
namespace {

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

} // namespace

void SetUpScene(TVelWorldGraph &graph, const TPicture &picture) {
  graph.SetHRulerDecimals(0);
  graph.SetXMax(WorldXMax);
  graph.SetYMax(WorldYMax);
  AddShapes(graph);
  graph.OnPaint = [&graph](TObject *) {
    DrawMesh(graph);
    DrawSeries(graph);
    DrawOffFrameFigures(graph);
  };
  PlaceDemoPicture(graph, picture);
}

void MakeReliefPicture(TPicture &picture) { picture.SetGraphic(MakeDemoPicture()); }

} // namespace Demo
