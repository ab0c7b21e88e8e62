// The soft brush: building the tip masks, tabulated against the plain
// definition (their ratio is printed at the end; the aim is at most 1/3),
// and drawing a realistic stroke.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "benchmarks/StrokeBench.h"
#include "brush/Brush.h"
#include "tests/brush/DirectMask.h"

namespace {

void BM_MasksByDefinition(benchmark::State& state) {
  for (auto _ : state) {
    for (int n = 384; n > 0; n /= 2) benchmark::DoNotOptimize(DirectMask(n).data());
  }
}
BENCHMARK(BM_MasksByDefinition)->Unit(benchmark::kMillisecond);

void BM_BuildLevels(benchmark::State& state) {
  Brush brush;
  for (auto _ : state) {
    brush.BuildLevels();
    benchmark::DoNotOptimize(brush.levels.data());
  }
}
BENCHMARK(BM_BuildLevels)->Unit(benchmark::kMillisecond);

void BM_DrawSegmentSoft(benchmark::State& state) { StrokeBenchmark(state); }
BENCHMARK(BM_DrawSegmentSoft)->Unit(benchmark::kMicrosecond);

// Keeps the times per iteration of every benchmark for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      cpu[run.benchmark_name()] = run.GetAdjustedCPUTime();
      real[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> cpu, real;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  // CPU time: both run on one thread, and it is less disturbed by other work
  // on a shared machine than the wall clock.
  const double direct = reporter.cpu["BM_MasksByDefinition"];
  const double built = reporter.cpu["BM_BuildLevels"];
  if (direct > 0 && built > 0) {
    std::printf("BuildLevels / masks by definition: %.3f in CPU time, %.3f in real time (aim: at most 0.333)\n",
                built / direct, reporter.real["BM_BuildLevels"] / reporter.real["BM_MasksByDefinition"]);
  }
  benchmark::Shutdown();
  return 0;
}
