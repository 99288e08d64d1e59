#pragma once

#include <cstddef>
#include <cstdint>
#include <platform/designer/ComponentRegistry.h>
#include <platform/rtl/Export.h>
#include <span>

// What a package shared library hands to the loader. A package exports, with C linkage:
//
//   const Platform::TPackageDescription *GetPackageInfoTable();  its description record
//   void Initialize();    hands its unit table to PackageLoad
//   void Finalize();      hands its unit table to PackageUnload
//   void Register();      puts its components on the palette
//   int DllEntryPoint(void *instance, std::uint32_t reason, void *reserved);  optional
//
// A shared object has no loader notifications of its own, so the loader stands in for them: it
// calls DllEntryPoint with DLL_PROCESS_ATTACH right after opening the library and with
// DLL_PROCESS_DETACH just before closing it, and refuses a package that answers anything but 1.
// Package and loader are built against the one shared velgraph library, so the records below
// are plain C++ shared between them.

namespace Platform {

// A package that cannot be loaded, started, registered or stopped.
class VELGRAPH_API EPackageError : public EDesignError {
public:
  using EDesignError::EDesignError;
};

using TUnitProcedure = void (*)();

// One row of a package's unit table: the unit's initialization and finalization parts (either
// may be null when the unit has none).
struct TPackageUnitEntry {
  const char *Name;
  TUnitProcedure Initialization;
  TUnitProcedure Finalization;
};

using TPackageUnitTable = std::span<const TPackageUnitEntry>;

// The kind of a package, as flags of its description.
enum TPackageOption : std::uint32_t {
  poDesignOnly = 1u << 0, // loaded by the designer only, never by an application
  poRunOnly = 1u << 1,    // used by applications only
  poNeverBuild = 1u << 2, // never rebuilt implicitly when a unit it contains changes
};

// A unit the package contains. A weak unit is taken in from the platform by reference: its code
// stays in the platform library, the package only names it.
struct TContainedUnit {
  const char *Name;
  bool Weak;
};

// Data the package carries for the designer, such as a palette image (a BMP file image).
struct TPackageResource {
  const char *Name;
  std::span<const std::uint8_t> Data;
};

struct TPackageDescription {
  const char *Name;
  const char *Description;
  std::uint32_t Options;
  std::span<const char *const> Requires;
  std::span<const TContainedUnit> Contains;
  std::span<const TPackageResource> Resources;
};

// The notifications of DllEntryPoint.
inline constexpr std::uint32_t DLL_PROCESS_DETACH = 0, DLL_PROCESS_ATTACH = 1;

} // namespace Platform
