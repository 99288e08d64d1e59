// The package that the designer loads: its units, its description and its entry points.

#include "PackageExport.h"
#include "PaletteImage.h"
#include <array>
#include <cstdint>
#include <platform/designer/PackageInfo.h>
#include <platform/designer/PackageUnits.h>

namespace VelGraphPkg {

namespace {

using Platform::TContainedUnit;
using Platform::TPackageUnitEntry;

// The platform's import units come first, taken in weakly, then the package's own. No unit does
// any work when it starts or stops beyond the platform's bookkeeping, so none has a part to run.
constexpr std::array<TContainedUnit, 15> ContainedUnits{{
    {"Sysinit", true},
    {"Windows", true},
    {"Messages", true},
    {"Commctrl", true},
    {"Commdlg", true},
    {"Dlgs", true},
    {"Imm", true},
    {"Winspool", true},
    {"Alloc", false},
    {"Wgraph", false},
    {"Velpaint", false},
    {"Velgraph", false},
    {"Pbrulers", false},
    {"Velgrreg", false},
    {"VelGraphPkg", false},
}};

constexpr std::array<TPackageUnitEntry, ContainedUnits.size()> MakeUnitTable() {
  std::array<TPackageUnitEntry, ContainedUnits.size()> table{};
  for (std::size_t i = 0; i < table.size(); ++i)
    table[i] = {ContainedUnits[i].Name, nullptr, nullptr};
  return table;
}

constexpr std::array<TPackageUnitEntry, ContainedUnits.size()> UnitTable = MakeUnitTable();

constexpr std::array<const char *, 2> Requires{"VCL40", "VCLJPG40"};

} // namespace

} // namespace VelGraphPkg

extern "C" {

VELGRAPH_PACKAGE_EXPORT const Platform::TPackageDescription *GetPackageInfoTable() {
  static const std::array<Platform::TPackageResource, 1> resources{
      {{"TVELWORLDGRAPH", VelGraphPkg::WorldGraphPaletteImage()}}};
  static const Platform::TPackageDescription description{
      "VelGraphPkg",
      "World graph components: a panel drawn in world coordinates with rulers, zoom and printing",
      Platform::poDesignOnly | Platform::poNeverBuild,
      VelGraphPkg::Requires,
      VelGraphPkg::ContainedUnits,
      resources};
  return &description;
}

VELGRAPH_PACKAGE_EXPORT void Initialize() { Platform::PackageLoad(VelGraphPkg::UnitTable); }

VELGRAPH_PACKAGE_EXPORT void Finalize() { Platform::PackageUnload(VelGraphPkg::UnitTable); }

// Every load and unload notification succeeds; the package has nothing to set up or tear down.
VELGRAPH_PACKAGE_EXPORT int DllEntryPoint(void *, std::uint32_t, void *) { return 1; }
}
