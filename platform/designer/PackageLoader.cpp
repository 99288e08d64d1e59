#include <platform/designer/PackageLoader.h>

#include <algorithm>
#include <array>
#include <dlfcn.h>
#include <exception>
#include <platform/designer/PackageUnits.h>
#include <platform/rtl/Rtl.h>

namespace Platform {

namespace {

// The platform library itself: its class library and its JPEG image support.
constexpr std::array<const char *, 2> BuiltInPackages{"VCL40", "VCLJPG40"};

std::string LoaderError() {
  const char *message = dlerror();
  return message ? message : "no reason given";
}

std::string Cause() {
  try {
    throw;
  } catch (const std::exception &e) {
    return e.what();
  } catch (...) {
    return "an exception that is not an Exception";
  }
}

template <class F> F Symbol(void *library, const char *name) { return reinterpret_cast<F>(dlsym(library, name)); }

// dlopen searches the library path for a bare name; a package is a file, found from here.
std::string AsPath(const std::string &fileName) {
  return fileName.find('/') == std::string::npos ? "./" + fileName : fileName;
}

} // namespace

TLoadedPackage::~TLoadedPackage() {
  if (FLibrary)
    dlclose(FLibrary);
}

std::span<const std::uint8_t> TLoadedPackage::Resource(std::string_view name) const {
  for (const TPackageResource &resource : FDescription->Resources)
    if (SameText(resource.Name, name))
      return resource.Data;
  throw EPackageError("Package " + FName + " has no resource " + std::string(name));
}

TPackageLoader &TPackageLoader::Instance() {
  static TPackageLoader loader;
  return loader;
}

TPackageLoader::TPackageLoader() = default;

TPackageLoader::~TPackageLoader() {
  while (!FPackages.empty()) {
    try {
      Stop(*FPackages.back(), true);
    } catch (const EPackageError &) {
      // Nobody is left to tell; the next package is unloaded all the same.
    }
    FPackages.pop_back();
  }
}

const TLoadedPackage &TPackageLoader::LoadPackage(const std::string &fileName) {
  CheckFileName(fileName);
  std::unique_ptr<TLoadedPackage> package(new TLoadedPackage);
  package->FFileName = fileName;
  Open(*package);
  CheckDescription(*package);
  Start(*package);
  FPackages.push_back(std::move(package));
  return *FPackages.back();
}

void TPackageLoader::Open(TLoadedPackage &package) {
  const std::string &file = package.FFileName;
  dlerror();
  package.FLibrary = dlopen(AsPath(file).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!package.FLibrary)
    throw EPackageError("Cannot load package " + file + ": " + LoaderError());
  const auto info = Symbol<const TPackageDescription *(*)()>(package.FLibrary, "GetPackageInfoTable");
  package.FDescription = info ? info() : nullptr;
  if (!package.FDescription || !package.FDescription->Name || !*package.FDescription->Name)
    throw EPackageError(file + " is not a package: it has no package description");
  package.FName = package.FDescription->Name;
  package.FInitialize = Symbol<TLoadedPackage::TProcedure>(package.FLibrary, "Initialize");
  package.FFinalize = Symbol<TLoadedPackage::TProcedure>(package.FLibrary, "Finalize");
  package.FRegister = Symbol<TLoadedPackage::TProcedure>(package.FLibrary, "Register");
  package.FEntryPoint = Symbol<int (*)(void *, std::uint32_t, void *)>(package.FLibrary, "DllEntryPoint");
  for (const auto &[procedure, name] :
       {std::pair{package.FInitialize, "Initialize"}, std::pair{package.FFinalize, "Finalize"},
        std::pair{package.FRegister, "Register"}})
    if (!procedure)
      throw EPackageError("Package " + package.FName + " (" + file + ") has no " + name + " procedure");
}

void TPackageLoader::CheckDescription(const TLoadedPackage &package) const {
  if (PackageRegistered(package.FName))
    throw EPackageError("A package named " + package.FName + " is already loaded");
  for (const char *required : package.FDescription->Requires)
    if (!PackageRegistered(required ? required : ""))
      throw EPackageError("Package " + package.FName + " requires the package " +
                          std::string(required ? required : "") + ", which is not loaded");
}

void TPackageLoader::Start(TLoadedPackage &package) {
  if (package.FEntryPoint) {
    if (const int answer = package.FEntryPoint(package.FLibrary, DLL_PROCESS_ATTACH, nullptr); answer != 1) {
      package.FEntryPoint = nullptr; // it refused: no detach notification follows
      throw EPackageError("Package " + package.FName + " refused to load (its entry point answered " +
                          IntToStr(answer) + ")");
    }
  }
  bool started = false;
  const std::vector<std::string> before = FRegistry.ClassNames();
  try {
    package.FInitialize();
    started = true;
    package.FRegister();
  } catch (...) {
    const std::string cause = Cause();
    package.FClasses = AddedClasses(before);
    try {
      Stop(package, started);
    } catch (const EPackageError &) {
      // The first failure is the one to report; the package is unloaded either way.
    }
    throw EPackageError("Package " + package.FName + " failed to " + (started ? "register" : "initialize") + ": " +
                        cause);
  }
  package.FClasses = AddedClasses(before);
}

std::vector<std::string> TPackageLoader::AddedClasses(const std::vector<std::string> &before) const {
  std::vector<std::string> added = FRegistry.ClassNames();
  std::erase_if(added,
                [&](const std::string &name) { return std::find(before.begin(), before.end(), name) != before.end(); });
  return added;
}

void TPackageLoader::Stop(TLoadedPackage &package, bool finalize) {
  for (const std::string &name : package.FClasses)
    FRegistry.UnregisterClass(name);
  package.FClasses.clear();
  std::string failure;
  if (finalize) {
    try {
      package.FFinalize();
    } catch (...) {
      failure = Cause();
    }
  }
  if (package.FEntryPoint)
    package.FEntryPoint(package.FLibrary, DLL_PROCESS_DETACH, nullptr);
  package.FEntryPoint = nullptr;
  dlclose(package.FLibrary);
  package.FLibrary = nullptr;
  if (!failure.empty())
    throw EPackageError("Package " + package.FName + " failed to finalize: " + failure);
}

void TPackageLoader::UnloadPackage(const TLoadedPackage &package) {
  const auto found = std::find_if(FPackages.begin(), FPackages.end(),
                                  [&](const std::unique_ptr<TLoadedPackage> &p) { return p.get() == &package; });
  if (found == FPackages.end())
    throw EPackageError("Package " + package.Name() + " was not loaded here");
  // A package still loaded may use what this one holds; it has to go first.
  for (const auto &other : FPackages)
    for (const char *required : other->Description().Requires)
      if (required && SameText(required, package.Name()))
        throw EPackageError("Package " + package.Name() + " is required by the package " + other->Name() +
                            ", which is still loaded");
  const std::unique_ptr<TLoadedPackage> unloading = std::move(*found);
  FPackages.erase(found);
  Stop(*unloading, true);
}

bool TPackageLoader::PackageRegistered(std::string_view name) const {
  return std::any_of(BuiltInPackages.begin(), BuiltInPackages.end(),
                     [&](const char *builtIn) { return SameText(builtIn, name); }) ||
         FindPackage(name) != nullptr;
}

const TLoadedPackage *TPackageLoader::FindPackage(std::string_view name) const {
  for (const auto &package : FPackages)
    if (SameText(package->Name(), name))
      return package.get();
  return nullptr;
}

} // namespace Platform
