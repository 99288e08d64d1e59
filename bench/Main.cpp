// Runs the benchmarks and prints the sides of each case together: the median time of the
// repetitions, the ratio side / velgraph (above 1 means we are faster) and the pixels each side
// drew where it counts them.
//
// Unless told otherwise, every benchmark runs 5 times in a random interleaving, so a burst of
// load on this shared machine lands on one repetition of some rows rather than on whole rows, and
// the median drops it. Times are CPU times: a single-threaded benchmark's CPU time leaves out the
// time other processes held the core.

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace Bench {
void RegisterChunkSweeps();
}

namespace {

constexpr const char *Ours = "velgraph";
constexpr const char *FloorPrefix = "floor: ";

struct TSide {
  std::vector<double> Ms;
  double Pixels = -1;
  std::size_t Order = 0;
};

struct TCase {
  std::map<std::string, TSide> Sides;
  std::size_t Order = std::numeric_limits<std::size_t>::max();
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool IsFloor(const std::string &side) { return side.rfind(FloorPrefix, 0) == 0; }

class TPairReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run> &runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs)
      if (run.run_type == Run::RT_Iteration && !run.error_occurred)
        Collect(run);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::vector<const std::pair<const std::string, TCase> *> cases;
    for (const auto &entry : FCases)
      cases.push_back(&entry);
    std::sort(cases.begin(), cases.end(), [](auto *a, auto *b) { return a->second.Order < b->second.Order; });
    std::printf("\nmedian CPU ms of %d runs; ratio = side / velgraph (above 1: we are faster); a floor's ratio\n"
                "is the best reference over the floor, the most a drawing at the floor would reach; pixels\n"
                "are those the first hundredth of the figures change when drawn alone on a white surface\n\n",
                FRepetitions);
    std::printf("%-50s %-36s %10s %9s %10s\n", "case", "side", "ms", "ratio", "pixels");
    for (const auto *entry : cases)
      PrintCase(entry->first, entry->second);
  }

private:
  void Collect(const Run &run) {
    const std::string name = run.benchmark_name();
    const auto slash = name.find('/');
    if (slash == std::string::npos)
      return;
    TCase &c = FCases[name.substr(0, slash)];
    TSide &side = c.Sides[name.substr(slash + 1)];
    side.Ms.push_back(run.GetAdjustedCPUTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit));
    side.Order = run.family_index;
    c.Order = std::min<std::size_t>(c.Order, run.family_index);
    if (const auto pixels = run.counters.find("pixels"); pixels != run.counters.end())
      side.Pixels = pixels->second;
    FRepetitions = std::max(FRepetitions, static_cast<int>(side.Ms.size()));
  }

  static void PrintCase(const std::string &name, const TCase &c) {
    std::vector<std::pair<std::string, const TSide *>> sides;
    for (const auto &[sideName, side] : c.Sides)
      sides.emplace_back(sideName, &side);
    // Ours first, then the references, then the floors, each in the order they were registered.
    std::sort(sides.begin(), sides.end(), [](const auto &a, const auto &b) {
      auto rank = [](const std::string &s) { return s == Ours ? 0 : IsFloor(s) ? 2 : 1; };
      return std::pair(rank(a.first), a.second->Order) < std::pair(rank(b.first), b.second->Order);
    });
    const auto ours = c.Sides.find(Ours);
    const double oursMs = ours == c.Sides.end() ? 0 : Median(ours->second.Ms);
    double bestReference = 0;
    for (const auto &[sideName, side] : sides)
      if (sideName != Ours && !IsFloor(sideName))
        bestReference = bestReference > 0 ? std::min(bestReference, Median(side->Ms)) : Median(side->Ms);
    const char *label = name.c_str();
    for (const auto &[sideName, side] : sides) {
      const double ms = Median(side->Ms);
      char ratio[32] = "";
      if (IsFloor(sideName) && bestReference > 0)
        std::snprintf(ratio, sizeof ratio, "<=%.1fx", bestReference / ms);
      else if (sideName != Ours && !IsFloor(sideName) && oursMs > 0)
        std::snprintf(ratio, sizeof ratio, "%.1fx", ms / oursMs);
      char pixels[32] = "";
      if (side->Pixels >= 0)
        std::snprintf(pixels, sizeof pixels, "%.0f", side->Pixels);
      std::printf("%-50s %-36s %10.3f %9s %10s\n", label, sideName.c_str(), ms, ratio, pixels);
      label = "";
    }
  }

  std::map<std::string, TCase> FCases;
  int FRepetitions = 0;
};

bool HasFlag(int argc, char **argv, const char *prefix) {
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], prefix, std::strlen(prefix)) == 0)
      return true;
  return false;
}

} // namespace

// --chunk-sweep adds the runs that chose cairo's path chunk sizes.
int main(int argc, char **argv) {
  std::vector<char *> args(argv, argv + argc);
  char repetitions[] = "--benchmark_repetitions=5";
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  if (!HasFlag(argc, argv, "--benchmark_repetitions"))
    args.push_back(repetitions);
  if (!HasFlag(argc, argv, "--benchmark_enable_random_interleaving"))
    args.push_back(interleave);
  const auto sweep =
      std::find_if(args.begin(), args.end(), [](char *a) { return std::strcmp(a, "--chunk-sweep") == 0; });
  if (sweep != args.end()) {
    args.erase(sweep);
    Bench::RegisterChunkSweeps();
  }
  int count = static_cast<int>(args.size());
  args.push_back(nullptr);
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data()))
    return 1;
  TPairReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
