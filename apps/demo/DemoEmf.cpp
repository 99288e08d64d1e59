#include "DemoEmf.h"

#include <platform/pictures/CanvasRecorder.h>

void WriteDemoEmf(Velgraph::TVelWorldGraph &graph, const std::string &fileName) {
  // The graph draws on its paint box's bitmap; recording that canvas catches the whole paint.
  Platform::TCanvasRecorder recorder(*graph.PaintBox()->Bitmap->Canvas());
  graph.Paint();
  recorder.SaveToEmfFile(fileName);
}
