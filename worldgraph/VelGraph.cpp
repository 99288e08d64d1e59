#include <worldgraph/VelGraph.h>

namespace Velgraph {

TVelWorldGraph::TVelWorldGraph(Platform::TComponent *AOwner) : TCustomPanel(AOwner) {}

} // namespace Velgraph
