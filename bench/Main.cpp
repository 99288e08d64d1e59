// Runs the benchmarks and prints each case's times side by side with the ratio
// reference / velgraph (above 1 means we are faster).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

class TPairReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run> &runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred)
        continue;
      const std::string name = run.benchmark_name();
      const auto slash = name.rfind('/');
      if (slash == std::string::npos)
        continue;
      TCase &c = FCases[name.substr(0, slash)];
      const std::string side = name.substr(slash + 1);
      const double ms = run.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
      if (side == "velgraph")
        c.Ours = ms;
      else {
        c.Reference = ms;
        c.ReferenceName = side;
      }
      if (FOrder.empty() || FOrder.back() != name.substr(0, slash))
        if (std::find(FOrder.begin(), FOrder.end(), name.substr(0, slash)) == FOrder.end())
          FOrder.push_back(name.substr(0, slash));
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-44s %12s %12s %-8s %8s\n", "case", "velgraph ms", "ref ms", "ref", "ratio");
    for (const std::string &name : FOrder) {
      const TCase &c = FCases[name];
      if (c.Ours > 0 && c.Reference > 0)
        std::printf("%-44s %12.3f %12.3f %-8s %7.1fx\n", name.c_str(), c.Ours, c.Reference, c.ReferenceName.c_str(),
                    c.Reference / c.Ours);
      else
        std::printf("%-44s %12.3f %12s\n", name.c_str(), c.Ours, "-");
    }
  }

private:
  struct TCase {
    double Ours = 0, Reference = 0;
    std::string ReferenceName;
  };
  std::map<std::string, TCase> FCases;
  std::vector<std::string> FOrder;
};

} // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  TPairReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
