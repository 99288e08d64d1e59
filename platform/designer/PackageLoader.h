#pragma once

#include <cstdint>
#include <memory>
#include <platform/designer/ComponentRegistry.h>
#include <platform/designer/PackageInfo.h>
#include <platform/rtl/Export.h>
#include <span>
#include <string>
#include <vector>

namespace Platform {

// A package loaded into the process: its open library, its description and the classes its
// Register put into the registry. Made and freed by TPackageLoader only.
class VELGRAPH_API TLoadedPackage {
public:
  TLoadedPackage(const TLoadedPackage &) = delete;
  TLoadedPackage &operator=(const TLoadedPackage &) = delete;
  ~TLoadedPackage();

  const std::string &FileName() const { return FFileName; }
  const std::string &Name() const { return FName; }
  const TPackageDescription &Description() const { return *FDescription; }
  // The classes its registration added, in the order they were added.
  const std::vector<std::string> &Classes() const { return FClasses; }
  // The resource of that name (case-insensitive), in the package's memory: valid while the
  // package is loaded. Raises EPackageError when there is none.
  std::span<const std::uint8_t> Resource(std::string_view name) const;

private:
  friend class TPackageLoader;
  using TProcedure = void (*)();
  TLoadedPackage() = default;

  void *FLibrary = nullptr;
  std::string FFileName, FName;
  const TPackageDescription *FDescription = nullptr;
  TProcedure FInitialize = nullptr, FFinalize = nullptr, FRegister = nullptr;
  int (*FEntryPoint)(void *, std::uint32_t, void *) = nullptr;
  std::vector<std::string> FClasses;
};

// Loads packages (shared libraries built against this library), whose registration fills the
// process-wide TComponentRegistry. The platform library itself stands registered as the packages
// "VCL40" and "VCLJPG40", which other packages require.
//
// Loading either completes or leaves nothing behind: a file that cannot be opened, that is not a
// package, that lacks an entry point, requires a package not registered, or whose start-up or
// registration fails raises EPackageError saying which file and why (the system loader's own
// words included), with the library closed again, its units stopped and no class of it left in
// the registry.
class VELGRAPH_API TPackageLoader {
public:
  // The loader of the process.
  static TPackageLoader &Instance();
  TPackageLoader();
  // Unloads what is still loaded, last loaded first.
  ~TPackageLoader();
  TPackageLoader(const TPackageLoader &) = delete;
  TPackageLoader &operator=(const TPackageLoader &) = delete;

  // Opens the library, checks its description, runs Initialize, then Register. A package of a
  // name already registered raises EPackageError.
  const TLoadedPackage &LoadPackage(const std::string &fileName);
  // Takes the package's classes out of the registry, runs Finalize and closes the library.
  // Components of its classes must be gone by then. A package that a loaded one requires is
  // refused (EPackageError), and stays loaded. A finalization failure is raised as EPackageError
  // after the package is unloaded all the same.
  void UnloadPackage(const TLoadedPackage &package);

  // Whether a package of that name (case-insensitive) is registered: built in or loaded.
  bool PackageRegistered(std::string_view name) const;
  const TLoadedPackage *FindPackage(std::string_view name) const;
  const std::vector<std::unique_ptr<TLoadedPackage>> &Packages() const { return FPackages; }

private:
  void Open(TLoadedPackage &package);
  void CheckDescription(const TLoadedPackage &package) const;
  void Start(TLoadedPackage &package);
  void Stop(TLoadedPackage &package, bool finalize);
  // The registered classes not among those registered before.
  std::vector<std::string> AddedClasses(const std::vector<std::string> &before) const;

  TComponentRegistry &FRegistry = TComponentRegistry::Instance();
  std::vector<std::unique_ptr<TLoadedPackage>> FPackages;
};

} // namespace Platform
