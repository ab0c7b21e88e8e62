// The soft brush: building the tip masks, tabulated, against the plain
// definition (aim: at most a third of its time), and drawing a realistic
// stroke.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

#include "benchmarks/StrokeBench.h"
#include "brush/Brush.h"
#include "tests/brush/DirectMask.h"

namespace {

void AllMasksByDefinition() {
  for (int n = 384; n > 0; n /= 2) benchmark::DoNotOptimize(DirectMask(n).data());
}

void BM_MasksByDefinition(benchmark::State& state) {
  for (auto _ : state) AllMasksByDefinition();
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

// Both in turn in every iteration, so that both see the same machine; the
// ratio BuildLevels / definition is reported in processor time (one thread
// each, less disturbed by other work than the wall clock) and in real time.
void BM_BuildLevelsAgainstDefinition(benchmark::State& state) {
  Brush brush;
  double directCpu = 0, builtCpu = 0, directReal = 0, builtReal = 0;
  for (auto _ : state) {
    const std::clock_t c0 = std::clock();
    const auto r0 = std::chrono::steady_clock::now();
    AllMasksByDefinition();
    const std::clock_t c1 = std::clock();
    const auto r1 = std::chrono::steady_clock::now();
    brush.BuildLevels();
    benchmark::DoNotOptimize(brush.levels.data());
    const std::clock_t c2 = std::clock();
    const auto r2 = std::chrono::steady_clock::now();
    directCpu += double(c1 - c0);
    builtCpu += double(c2 - c1);
    directReal += std::chrono::duration<double>(r1 - r0).count();
    builtReal += std::chrono::duration<double>(r2 - r1).count();
  }
  state.counters["ratio_cpu"] = directCpu > 0 ? builtCpu / directCpu : 0;
  state.counters["ratio_real"] = directReal > 0 ? builtReal / directReal : 0;
}
BENCHMARK(BM_BuildLevelsAgainstDefinition)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_DrawSegmentSoft(benchmark::State& state) { StrokeBenchmark(state); }
BENCHMARK(BM_DrawSegmentSoft)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
