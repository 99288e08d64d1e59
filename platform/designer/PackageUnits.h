#pragma once

#include <platform/designer/PackageInfo.h>
#include <platform/rtl/Export.h>
#include <string>
#include <vector>

namespace Platform {

// Starts a package's units in table order. A unit is started once however many packages contain
// it: a unit already running is only counted again, and stops when the last package holding it
// is unloaded. When a unit's initialization raises, the units this call started are finalized in
// reverse order and EPackageError names the unit and the cause; no unit is left counted by it.
VELGRAPH_API void PackageLoad(TPackageUnitTable table);

// Stops a package's units in reverse table order; a unit still held by another package keeps
// running, and a unit that is not running is passed over. Every unit is stopped even when one's
// finalization raises; the first such failure is raised afterwards as EPackageError.
VELGRAPH_API void PackageUnload(TPackageUnitTable table);

// The running units, in the order they were started.
VELGRAPH_API std::vector<std::string> RunningUnits();

} // namespace Platform
