#include <algorithm>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <platform/designer/PackageLoader.h>
#include <platform/designer/PackageUnits.h>
#include <platform/pictures/Bitmap.h>
#include <worldgraph/VelGraph.h>

using namespace Platform;

namespace {

std::vector<std::string> &Log() {
  static std::vector<std::string> log;
  return log;
}

template <char U> void Start() { Log().push_back(std::string("+") + U); }
template <char U> void Stop() { Log().push_back(std::string("-") + U); }
void Refuse() { throw Exception("no disk"); }

template <char U> struct TUnitName {
  static constexpr char Value[] = {'T', 'e', 's', 't', U, 0};
};
template <char U> constexpr TPackageUnitEntry Unit{TUnitName<U>::Value, Start<U>, Stop<U>};

std::vector<std::string> Strings(std::initializer_list<const char *> names) { return {names.begin(), names.end()}; }

// The units started since the test began.
std::vector<std::string> StartedSince(const std::vector<std::string> &before) {
  std::vector<std::string> now = RunningUnits();
  now.erase(now.begin(), now.begin() + static_cast<std::ptrdiff_t>(before.size()));
  return now;
}

bool LibraryOpen(const char *path) {
  void *handle = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
  if (handle)
    dlclose(handle);
  return handle != nullptr;
}

std::string LoadError(TPackageLoader &loader, const std::string &path) {
  try {
    loader.LoadPackage(path);
  } catch (const EPackageError &e) {
    return e.what();
  }
  return "loaded";
}

} // namespace

TEST(PackageUnits, StartInTableOrderStopInReverseAndStartSharedUnitsOnce) {
  const std::vector<std::string> before = RunningUnits();
  Log().clear();
  const TPackageUnitEntry first[] = {Unit<'S'>, Unit<'A'>, Unit<'B'>};
  const TPackageUnitEntry second[] = {Unit<'S'>, Unit<'C'>};
  PackageLoad(first);
  PackageLoad(second);
  EXPECT_EQ(StartedSince(before), Strings({"TestS", "TestA", "TestB", "TestC"}));
  PackageUnload(first); // S stays: the second table still holds it
  EXPECT_EQ(StartedSince(before), Strings({"TestS", "TestC"}));
  PackageUnload(second);
  PackageUnload(second); // nothing of it runs any more
  EXPECT_EQ(Log(), Strings({"+S", "+A", "+B", "+C", "-B", "-A", "-C", "-S"}));
  EXPECT_EQ(RunningUnits(), before);
}

TEST(PackageUnits, AFailingStartStopsWhatItStartedAndAFailingStopStopsTheRest) {
  const std::vector<std::string> before = RunningUnits();
  Log().clear();
  const TPackageUnitEntry holder[] = {Unit<'S'>};
  const TPackageUnitEntry failing[] = {Unit<'S'>, Unit<'A'>, {"TestX", Refuse, nullptr}, Unit<'B'>};
  PackageLoad(holder);
  try {
    PackageLoad(failing);
    ADD_FAILURE() << "started";
  } catch (const EPackageError &e) {
    EXPECT_STREQ(e.what(), "Unit TestX failed to initialize: no disk");
  }
  EXPECT_EQ(Log(), Strings({"+S", "+A", "-A"})); // S is still held by the first table
  EXPECT_EQ(StartedSince(before), Strings({"TestS"}));

  const TPackageUnitEntry stopping[] = {Unit<'A'>, {"TestY", nullptr, Refuse}, Unit<'B'>};
  PackageLoad(stopping);
  EXPECT_THROW(
      try { PackageUnload(stopping); } catch (const EPackageError &e) {
        EXPECT_STREQ(e.what(), "Unit TestY failed to finalize: no disk");
        throw;
      },
      EPackageError);
  PackageUnload(holder);
  EXPECT_EQ(Log(), Strings({"+S", "+A", "-A", "+A", "+B", "-B", "-A", "-S"}));
  EXPECT_EQ(RunningUnits(), before);
}

TEST(PackageLoader, VelGraphPkgPutsTheGraphAloneOnItsPageAndCarriesItsPaletteImage) {
  const std::vector<std::string> unitsBefore = RunningUnits();
  TComponentRegistry &registry = TComponentRegistry::Instance();
  TPackageLoader loader;
  const TLoadedPackage &package = loader.LoadPackage(VELGRAPH_PACKAGE);

  const TPackageDescription &d = package.Description();
  EXPECT_EQ(package.Name(), "VelGraphPkg");
  EXPECT_EQ(d.Options, poDesignOnly | poNeverBuild);
  EXPECT_EQ(std::vector<std::string>(d.Requires.begin(), d.Requires.end()), Strings({"VCL40", "VCLJPG40"}));
  const auto units = Strings({"Sysinit", "Windows", "Messages", "Commctrl", "Commdlg", "Dlgs", "Imm", "Winspool",
                              "Alloc", "Wgraph", "Velpaint", "Velgraph", "Pbrulers", "Velgrreg", "VelGraphPkg"});
  ASSERT_EQ(d.Contains.size(), units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    EXPECT_EQ(d.Contains[i].Name, units[i]);
    EXPECT_EQ(d.Contains[i].Weak, i < 8) << units[i];
  }
  EXPECT_EQ(StartedSince(unitsBefore), units);

  const auto page = std::find_if(registry.Pages().begin(), registry.Pages().end(),
                                 [](const TPalettePage &p) { return p.Name == "NordaGraph"; });
  ASSERT_NE(page, registry.Pages().end());
  EXPECT_EQ(page->ClassNames, Strings({"TVelWorldGraph"}));
  EXPECT_EQ(package.Classes(), Strings({"TVelWorldGraph"}));
  std::unique_ptr<TComponent> graph(registry.FindClass("TVelWorldGraph")->Create(nullptr));
  EXPECT_NE(dynamic_cast<Velgraph::TVelWorldGraph *>(graph.get()), nullptr);
  graph.reset();

  // The image is a BMP file image: 28 x 28, 8 bits per pixel, 256 palette colours.
  const std::span<const std::uint8_t> image = package.Resource("TVelWorldGraph");
  ASSERT_GT(image.size(), 54u);
  const auto u16 = [&](std::size_t at) { return image[at] | image[at + 1] << 8; };
  EXPECT_EQ(u16(18), 28);
  EXPECT_EQ(u16(22), 28);
  EXPECT_EQ(u16(28), 8);
  EXPECT_EQ(u16(46), 256);
  EXPECT_EQ(image.size(), 14u + 40 + 256 * 4 + 28 * 28);
  TBitmap bitmap;
  bitmap.LoadFromBmpData(image);
  ASSERT_EQ(bitmap.Width(), 28);
  ASSERT_EQ(bitmap.Height(), 28);
  EXPECT_EQ(bitmap.ScanLine(0)[0], 0xFFFFFFu);   // the bevel's light top-left edge
  EXPECT_EQ(bitmap.ScanLine(27)[27], 0x000000u); // and its dark bottom-right one
  int blue = 0, red = 0;
  for (int y = 0; y < 28; ++y)
    for (int x = 0; x < 28; ++x) {
      blue += bitmap.ScanLine(y)[x] == 0x0000FFu; // the curve (0x00RRGGBB pixels)
      red += bitmap.ScanLine(y)[x] == 0xFF0000u;  // the markers
    }
  EXPECT_GT(blue, 20);
  EXPECT_EQ(red, 18);
  EXPECT_THROW(package.Resource("TVELPAINTBOX"), EPackageError);

  // Registering again asks for the page a second time: refused whole, the page unchanged.
  void *library = dlopen(VELGRAPH_PACKAGE, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(library, nullptr);
  EXPECT_THROW(reinterpret_cast<void (*)()>(dlsym(library, "Register"))(), EDesignError);
  dlclose(library);
  EXPECT_EQ(page->ClassNames, Strings({"TVelWorldGraph"}));
  EXPECT_NE(LoadError(loader, VELGRAPH_PACKAGE).find("A package named VelGraphPkg is already loaded"),
            std::string::npos);

  loader.UnloadPackage(package);
  EXPECT_EQ(registry.FindClass("TVelWorldGraph"), nullptr);
  EXPECT_EQ(RunningUnits(), unitsBefore);
  EXPECT_FALSE(LibraryOpen(VELGRAPH_PACKAGE));
}

TEST(PackageLoader, APackageRequiringAnotherLoadsAfterItAndSharesItsPage) {
  TComponentRegistry &registry = TComponentRegistry::Instance();
  TPackageLoader loader;
  EXPECT_NE(LoadError(loader, FAKE_PACKAGE_REQUIRES_GRAPH).find("requires the package VelGraphPkg"), std::string::npos);
  const TLoadedPackage &graph = loader.LoadPackage(VELGRAPH_PACKAGE);
  const TLoadedPackage &fake = loader.LoadPackage(FAKE_PACKAGE_REQUIRES_GRAPH);
  EXPECT_EQ(registry.Pages().back().ClassNames, Strings({"TVelWorldGraph", "TFakeComponent"}));
  try {
    loader.UnloadPackage(graph);
    ADD_FAILURE() << "unloaded while required";
  } catch (const EPackageError &e) {
    EXPECT_STREQ(e.what(), "Package VelGraphPkg is required by the package FakePkg, which is still loaded");
  }
  EXPECT_EQ(loader.Packages().size(), 2u);
  loader.UnloadPackage(fake);
  EXPECT_EQ(registry.Pages().back().ClassNames, Strings({"TVelWorldGraph"}));
  // The loader unloads what is left when it goes.
}

TEST(PackageLoader, BadPackagesAreRefusedWithNothingLeftBehind) {
  const auto notAPackage = std::filesystem::temp_directory_path() / "velgraph_not_a_package.so";
  std::ofstream(notAPackage) << "object Form1: TForm\nend\n";
  const struct {
    std::string Path;
    const char *Message;
  } cases[] = {
      {notAPackage.string(), "Cannot load package"},
      {notAPackage.string() + ".missing", "cannot open shared object file"},
      {VELGRAPH_LIBRARY, "is not a package: it has no package description"},
      {FAKE_PACKAGE_NO_REGISTER, "Package FakePkg (" FAKE_PACKAGE_NO_REGISTER ") has no Register procedure"},
      {FAKE_PACKAGE_REQUIRES_MISSING, "Package FakePkg requires the package VCLNET99, which is not loaded"},
      {FAKE_PACKAGE_UNIT_FAILS,
       "Package FakePkg failed to initialize: Unit FakeUnit failed to initialize: the fake unit cannot start"},
      {FAKE_PACKAGE_REGISTER_FAILS, "Package FakePkg failed to register: A class named TFakeComponent already exists"},
      {FAKE_PACKAGE_ENTRY_REFUSES, "Package FakePkg refused to load (its entry point answered 0)"},
  };
  TComponentRegistry &registry = TComponentRegistry::Instance();
  const std::vector<std::string> classes = registry.ClassNames();
  const std::vector<std::string> units = RunningUnits();
  TPackageLoader loader;
  for (const auto &c : cases) {
    const std::string error = LoadError(loader, c.Path);
    EXPECT_NE(error.find(c.Message), std::string::npos) << error;
    EXPECT_EQ(registry.ClassNames(), classes) << c.Path;
    EXPECT_EQ(registry.Pages().size(), 1u) << c.Path; // only the platform's own page
    EXPECT_EQ(RunningUnits(), units) << c.Path;
    EXPECT_TRUE(loader.Packages().empty());
    if (c.Path != VELGRAPH_LIBRARY) {
      EXPECT_FALSE(LibraryOpen(c.Path.c_str())) << c.Path;
    }
  }
  // The system loader's own words come with the refusal.
  EXPECT_NE(LoadError(loader, notAPackage.string()).find(notAPackage.string() + ": "), std::string::npos);
  std::filesystem::remove(notAPackage);
  EXPECT_THROW(loader.LoadPackage(std::string("Vel\0Pkg", 7)), Exception);
  // The sound variant of the same package loads.
  loader.UnloadPackage(loader.LoadPackage(FAKE_PACKAGE_good));
}
