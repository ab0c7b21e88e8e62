// The hard-disc brush of inkstone-disc drawing a realistic stroke.
#include <benchmark/benchmark.h>

#include "benchmarks/StrokeBench.h"

namespace {
void BM_DrawSegmentDisc(benchmark::State& state) { StrokeBenchmark(state); }
BENCHMARK(BM_DrawSegmentDisc)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
