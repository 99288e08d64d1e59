// A program outside the source tree that finds the installed library, draws in world units and
// checks the pixels it got.
#include <platform/pictures/Bitmap.h>
#include <rulers/Pbrulers.h>
#include <wgraph/Wgraph.h>
#include <worldgraph/VelGraph.h>

int main() {
  Platform::TBitmap bitmap(100, 100);
  Wgraph::SetWorldWindow(0, 10, 0, 10, 0, 0, 0, 0);
  Wgraph::SetPCWindow(0, 100, 100, 0);
  bitmap.Canvas()->Pen().SetColor(Platform::clRed);
  Wgraph::WMoveTo(bitmap.Canvas(), 1, 5);
  Wgraph::WLineTo(bitmap.Canvas(), 9, 5);
  const bool drawn = bitmap.Canvas()->Pixels(50, 50) == Platform::clRed;
  const bool untouched = bitmap.Canvas()->Pixels(50, 40) == Platform::clWhite;
  Velgraph::TVelWorldGraph graph(nullptr);
  auto *ruler = new Pbrulers::TVelPBHRuler(&graph);
  const bool ruled = ruler->XMax() == 100 && ruler->Parent() == &graph;
  return drawn && untouched && ruled && bitmap.Canvas()->TextWidth("velgraph") > 0 ? 0 : 1;
}
