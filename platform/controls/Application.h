#pragma once

#include <platform/rtl/Export.h>

namespace Platform {

class THost;

// The process's application object. It knows the window host that is running, if any, so
// that calls reaching for the real pointer (SetCursorPos) find it.
class VELGRAPH_API TApplication {
public:
  THost *Host() const { return FHost; }
  // A host registers itself while it runs and clears the registration when it ends.
  void SetHost(THost *host) { FHost = host; }

private:
  THost *FHost = nullptr;
};

VELGRAPH_API TApplication &Application();

} // namespace Platform
