// A small package built in several faulty variants, one definition each, to see the loader
// refuse them cleanly. Without any definition it is a sound package of one class.

#include <array>
#include <cstdint>
#include <platform/controls/Component.h>
#include <platform/designer/PackageInfo.h>
#include <platform/designer/PackageUnits.h>

#define EXPORTED extern "C" __attribute__((visibility("default")))

namespace {

using namespace Platform;

class TFakeComponent : public TComponent {
public:
  using TComponent::TComponent;
};

[[maybe_unused]] TComponentClass FakeClass() {
  return {"TFakeComponent",
          [](TComponent *owner) -> TComponent * { return new TFakeComponent(owner); },
          {},
          &typeid(TFakeComponent)};
}

#ifdef FAKE_UNIT_FAILS
void FailToStart() { throw Exception("the fake unit cannot start"); }
constexpr TUnitProcedure FakeUnitStart = FailToStart;
#else
constexpr TUnitProcedure FakeUnitStart = nullptr;
#endif

constexpr std::array<TPackageUnitEntry, 2> Units{{{"Sysinit", nullptr, nullptr}, {"FakeUnit", FakeUnitStart, nullptr}}};
constexpr std::array<TContainedUnit, 2> Contains{{{"Sysinit", true}, {"FakeUnit", false}}};
#if defined(FAKE_REQUIRES_MISSING)
constexpr std::array<const char *, 2> Requires{"VCL40", "VCLNET99"};
#elif defined(FAKE_REQUIRES_GRAPH)
constexpr std::array<const char *, 2> Requires{"VCL40", "VelGraphPkg"};
#else
constexpr std::array<const char *, 1> Requires{"VCL40"};
#endif

} // namespace

EXPORTED const TPackageDescription *GetPackageInfoTable() {
  static const TPackageDescription description{
      "FakePkg", "A package for the loader's tests", poDesignOnly, Requires, Contains, {}};
  return &description;
}

EXPORTED void Initialize() { PackageLoad(Units); }
EXPORTED void Finalize() { PackageUnload(Units); }

#ifdef FAKE_ENTRY_REFUSES
EXPORTED int DllEntryPoint(void *, std::uint32_t, void *) { return 0; }
#endif

#ifndef FAKE_NO_REGISTER
// The variant that fails registers its class and then the same class again, which the registry
// refuses after the first call went through.
EXPORTED void Register() {
  TComponentRegistry::Instance().RegisterComponents("NordaGraph", {FakeClass()});
#ifdef FAKE_REGISTER_FAILS
  TComponentRegistry::Instance().RegisterComponents("Fake", {FakeClass()});
#endif
}
#endif
