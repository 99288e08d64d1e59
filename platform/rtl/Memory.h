#pragma once

#include <cstddef>
#include <functional>
#include <platform/rtl/Export.h>

namespace Platform {

// Run-time heap. GetMem raises EOutOfMemory when the heap refuses; a request of zero bytes
// gives nullptr. AllocMem zero-fills. ReallocMem keeps the common prefix. FreeMem(nullptr)
// does nothing.
VELGRAPH_API void *GetMem(std::size_t size);
VELGRAPH_API void *AllocMem(std::size_t size);
VELGRAPH_API void ReallocMem(void *&block, std::size_t size);
VELGRAPH_API void FreeMem(void *block);

// Test hook: the heap calls this before each non-zero request; returning true makes that
// request fail with EOutOfMemory. An empty function (the default) never fails.
using TAllocationFailureHook = std::function<bool(std::size_t size)>;
VELGRAPH_API void SetAllocationFailureHook(TAllocationFailureHook hook);

} // namespace Platform
