#include "DemoPicture.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <platform/controls/Screen.h>
#include <platform/printers/Printer.h>
#include <platform/rtl/Rtl.h>
#include <worldgraph/Shape.h>

using namespace Platform;
using namespace Velgraph;

namespace {

constexpr int PictureWidth = 192, PictureHeight = 128;
// Heights are drawn in this many bands, each edge a darker contour line.
constexpr double ContourBands = 7;

int Pixels(double value) { return static_cast<int>(std::clamp<std::int64_t>(Round(value), INT_MIN, INT_MAX)); }

// Rolling hills over the unit square, 0 to 1.
double Relief(double u, double v) {
  const double h = 0.5 + 0.22 * std::sin(7.1 * u + 1.3) * std::cos(4.3 * v) + 0.18 * std::cos(3.7 * u * v + 5.2 * v);
  return std::clamp(h, 0.0, 1.0);
}

// Pale enough for the mesh's colours to stand out on it: sea blue, through green, to sand.
TColor ReliefColour(double h) {
  const double band = h * ContourBands;
  const double shade = band - std::floor(band) < 0.12 ? 0.9 : 1.0;
  const double r = 0.80 + 0.15 * h, g = 0.90 - 0.02 * h, b = 0.97 - 0.17 * h;
  return RGB(Pixels(255 * r * shade), Pixels(255 * g * shade), Pixels(255 * b * shade));
}

// The home window's corners through the mapping in force, as a box of the drawing canvas.
TRect HomeBox(const TVelWorldGraph &graph) {
  const TPoint lowerLeft = graph.PCxy(graph.FHistXMin[0], graph.FHistYMin[0]);
  const TPoint upperRight = graph.PCxy(graph.FHistXMax[0], graph.FHistYMax[0]);
  return {lowerLeft.X, upperRight.Y, upperRight.X, lowerLeft.Y};
}

// The graph draws its shapes before the application's drawing: the picture goes over them, so
// they are drawn once more on top of it.
void DrawUnderTheDrawing(TVelWorldGraph &graph, const TGraphic &picture) {
  graph.PaintBox()->DrawCanvas->StretchDraw(HomeBox(graph), picture);
  for (int n = 1; n <= graph.ShapeCount(); ++n)
    graph.Shape(n)->Draw();
}

// The printer's canvas with its origin moved for the page, put back however the page ends.
class TPageOrigin {
public:
  TPageOrigin(TCanvas &page, TPoint origin) : FPage(page), FSaved(page.Origin()) { page.SetOrigin(origin); }
  ~TPageOrigin() { FPage.SetOrigin(FSaved); }
  TPageOrigin(const TPageOrigin &) = delete;
  TPageOrigin &operator=(const TPageOrigin &) = delete;

private:
  TCanvas &FPage;
  TPoint FSaved;
};

// Everything of the page, drawn from the drawing's top-left corner.
void DrawPage(TVelWorldGraph &graph, const TPicture &picture, double scale) {
  const Velpaint::TVelPaintBox &box = *graph.PaintBox();
  const double dpi = Printer()->Resolution();
  const auto inches = [&](int screenPixels) { return screenPixels * scale / dpi; };
  // The rulers print at the page's share of the screen's width; the drawing follows them.
  const double magnification = scale / graph.FPrintScale;
  graph.StretchPrintBitMap(picture.Graphic(), magnification);
  Pbrulers::TVelPBHRuler &hRuler = *graph.HRuler();
  Pbrulers::TVelPBVRuler &vRuler = *graph.VRuler();
  hRuler.Print(inches(hRuler.Left() - box.Left()), inches(hRuler.Top() - box.Top()), false, false);
  vRuler.Print(inches(vRuler.Left() - box.Left()), inches(vRuler.Top() - box.Top()), false, false);
  graph.PrintUserGraphic(magnification);
  if (!picture.Graphic())
    return;
  const int keyTop = Pixels((box.Height() + 20) * scale);
  graph.PrintPicture(&picture, 0, keyTop, magnification);
  TCanvas &page = *Printer()->Canvas();
  page.Brush().SetStyle(bsClear);
  page.Font().SetSize(10);
  page.TextOut(Pixels((picture.Width() + 10) * scale), keyTop, "The picture under the drawing");
}

} // namespace

std::unique_ptr<TBitmap> MakeDemoPicture() {
  auto picture = std::make_unique<TBitmap>(PictureWidth, PictureHeight);
  TCanvas &canvas = *picture->Canvas();
  for (int y = 0; y < PictureHeight; ++y)
    for (int x = 0; x < PictureWidth; ++x)
      canvas.SetPixels(x, y, ReliefColour(Relief(x / (PictureWidth - 1.0), y / (PictureHeight - 1.0))));
  return picture;
}

void PlaceDemoPicture(TVelWorldGraph &graph, const TPicture &picture) {
  graph.OnPaint = [&graph, &picture, drawing = graph.OnPaint](TObject *sender) {
    // A print gets the picture from the page's own StretchPrintBitMap.
    if (!graph.FPrinting && picture.Graphic())
      DrawUnderTheDrawing(graph, *picture.Graphic());
    if (drawing)
      drawing(sender);
  };
}

void PrintDemo(TVelWorldGraph &graph, const TPicture &picture, const std::string &fileName) {
  TPrinter &printer = *Printer();
  printer.SetFileName(fileName);
  printer.SetFormat(pfPDF);
  const double scale = static_cast<double>(printer.PageWidth()) / std::max(1, Screen().Width());
  const Velpaint::TVelPaintBox &box = *graph.PaintBox();
  const int margin = Pixels(DemoPageMarginInches * printer.Resolution());
  graph.BeginPrinting();
  try {
    const TPageOrigin origin(*printer.Canvas(),
                             {margin + Pixels(box.Left() * scale), margin + Pixels(box.Top() * scale)});
    DrawPage(graph, picture, scale);
  } catch (...) {
    printer.Abort();
    graph.FPrinting = false;
    throw;
  }
  graph.EndPrinting();
}
