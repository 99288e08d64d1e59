#include <platform/designer/PackageUnits.h>

#include <algorithm>
#include <exception>
#include <optional>

namespace Platform {

namespace {

struct TRunningUnit {
  std::string Name;
  int Holders;
};

// The platform's once-only bookkeeping of units, for the whole process. Never destroyed: packages
// still loaded when the process ends are unloaded by destructors of statics that may run later.
std::vector<TRunningUnit> &Units() {
  static auto *units = new std::vector<TRunningUnit>;
  return *units;
}

std::vector<TRunningUnit>::iterator FindUnit(const char *name) {
  return std::find_if(Units().begin(), Units().end(), [name](const TRunningUnit &u) { return u.Name == name; });
}

constexpr const char *ForeignException = "an exception that is not an Exception";

// Drops one holder of the unit; the last one runs its finalization. Returns why it failed, if it did.
std::optional<std::string> Release(const TPackageUnitEntry &unit) {
  const auto running = FindUnit(unit.Name);
  if (running == Units().end() || --running->Holders > 0)
    return std::nullopt;
  Units().erase(running);
  try {
    if (unit.Finalization)
      unit.Finalization();
  } catch (const std::exception &e) {
    return e.what();
  } catch (...) {
    return ForeignException;
  }
  return std::nullopt;
}

[[noreturn]] void FailedToStart(TPackageUnitTable table, std::size_t failed, const std::string &cause) {
  for (std::size_t j = failed; j-- > 0;)
    Release(table[j]);
  throw EPackageError("Unit " + std::string(table[failed].Name) + " failed to initialize: " + cause);
}

} // namespace

void PackageLoad(TPackageUnitTable table) {
  for (std::size_t i = 0; i < table.size(); ++i) {
    const TPackageUnitEntry &unit = table[i];
    if (const auto running = FindUnit(unit.Name); running != Units().end()) {
      ++running->Holders;
      continue;
    }
    try {
      if (unit.Initialization)
        unit.Initialization();
    } catch (const std::exception &e) {
      FailedToStart(table, i, e.what());
    } catch (...) {
      FailedToStart(table, i, ForeignException);
    }
    Units().push_back({unit.Name, 1});
  }
}

void PackageUnload(TPackageUnitTable table) {
  std::string first;
  for (std::size_t i = table.size(); i-- > 0;)
    if (const std::optional<std::string> failure = Release(table[i]); failure && first.empty())
      first = "Unit " + std::string(table[i].Name) + " failed to finalize: " + *failure;
  if (!first.empty())
    throw EPackageError(first);
}

std::vector<std::string> RunningUnits() {
  std::vector<std::string> names;
  for (const TRunningUnit &unit : Units())
    names.push_back(unit.Name);
  return names;
}

} // namespace Platform
