#pragma once

// The world graph panel: the component that holds the paint box and the two rulers. So far it
// is the panel the rulers stand on; its world drawing, layout and interaction follow.

#include <platform/controls/CustomPanel.h>

namespace Velgraph {

class TVelWorldGraph : public Platform::TCustomPanel {
public:
  explicit TVelWorldGraph(Platform::TComponent *AOwner);
};

} // namespace Velgraph
