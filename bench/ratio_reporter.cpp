#include "ratio_reporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace zantrel::bench {
namespace {

class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (!r.error_occurred && r.run_type == Run::RT_Iteration)
        nsPerOp[r.benchmark_name()] = r.GetAdjustedRealTime() * Multiplier(r.time_unit);
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> nsPerOp;

 private:
  static double Multiplier(benchmark::TimeUnit unit) {
    switch (unit) {
      case benchmark::kSecond: return 1e9;
      case benchmark::kMillisecond: return 1e6;
      case benchmark::kMicrosecond: return 1e3;
      default: return 1.0;
    }
  }
};

}  // namespace

int RunWithRatios(int argc, char** argv, const std::vector<std::pair<std::string, std::string>>& pairs) {
  benchmark::Initialize(&argc, argv);
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%-40s %14s   %-36s %14s %8s\n", "case", "ns/op", "baseline", "ns/op", "ratio");
  for (const auto& [name, base] : pairs) {
    auto a = reporter.nsPerOp.find(name);
    auto b = reporter.nsPerOp.find(base);
    if (a == reporter.nsPerOp.end() || b == reporter.nsPerOp.end()) continue;
    std::printf("%-40s %14.1f   %-36s %14.1f %7.2fx\n", name.c_str(), a->second, base.c_str(), b->second,
                a->second / b->second);
  }
  benchmark::Shutdown();
  return 0;
}

}  // namespace zantrel::bench
