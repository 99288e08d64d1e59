#pragma once

#include <string>
#include <worldgraph/VelGraph.h>

// Paints the graph once more into a recording and writes it as an enhanced metafile of the
// drawing area's size: background, shapes and OnPaint, as vectors and text.
void WriteDemoEmf(Velgraph::TVelWorldGraph &graph, const std::string &fileName);
