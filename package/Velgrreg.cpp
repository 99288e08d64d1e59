#include "Velgrreg.h"

#include "PackageExport.h"
#include <platform/designer/ComponentRegistry.h>
#include <worldgraph/GraphRegistration.h>

namespace Velgrreg {

void Register() {
  Platform::TComponentRegistry::Instance().RegisterComponents("NordaGraph", {Velgraph::WorldGraphClass()});
}

} // namespace Velgrreg

// The designer calls the package's registration by this name after loading it.
extern "C" VELGRAPH_PACKAGE_EXPORT void Register() { Velgrreg::Register(); }
