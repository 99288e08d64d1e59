#pragma once

#include <platform/designer/ComponentRegistry.h>
#include <platform/rtl/Export.h>

namespace Velgraph {

// The world graph as the designer sees it: its streamable published properties, with the stream
// defaults of the graph's property table.
VELGRAPH_API Platform::TComponentClass WorldGraphClass();

// Puts the world graph on the palette page "NordaGraph"; registering it again raises
// EDesignError, as any class registered twice does.
VELGRAPH_API void RegisterWorldGraph(Platform::TComponentRegistry &registry = Platform::TComponentRegistry::Instance());

} // namespace Velgraph
