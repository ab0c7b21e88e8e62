// Stroke compositing over a 600 x 600 paint rectangle in which 5 % of the
// pixels have coverage (the rest costs one comparison and no write), and over
// one with no coverage at all. Reports nanoseconds per visited pixel.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <random>

#include "app/CompositeStroke.h"

namespace {
const int kSize = 600;

struct Scene {
  explicit Scene(double covered) : coverage(new float[kSize * kSize]()) {
    target.Create(kSize, kSize);
    surface.Create(kSize, kSize);
    std::mt19937 random(42);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int i = 0; i < surface.stride * kSize; ++i) surface.bits[i] = static_cast<unsigned char>(random());
    for (int i = 0; i < target.stride * kSize; ++i) target.bits[i] = static_cast<unsigned char>(random());
    for (int i = 0; i < kSize * kSize; ++i)
      if (unit(random) < covered) coverage[i] = unit(random) * 0.999f + 0.001f;
    dirty = RECT{0, 0, kSize, kSize};
  }
  dib24 target;
  dib32 surface;
  std::unique_ptr<float[]> coverage;
  RECT dirty;
};

void Run(benchmark::State& state, double covered) {
  Scene scene(covered);
  const RECT paint{0, 0, kSize, kSize};
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    CompositeStroke(scene.target, scene.surface, scene.coverage.get(), scene.dirty, &paint);
    benchmark::ClobberMemory();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double pixels = double(kSize) * kSize * state.iterations();
  state.counters["ns_per_pixel"] = seconds * 1e9 / pixels;
  state.SetItemsProcessed(static_cast<int64_t>(pixels));
}

void BM_Composite600x600FivePercent(benchmark::State& state) { Run(state, 0.05); }
void BM_Composite600x600NoCoverage(benchmark::State& state) { Run(state, 0.0); }
void BM_Composite600x600FullCoverage(benchmark::State& state) { Run(state, 1.0); }
}  // namespace

BENCHMARK(BM_Composite600x600FivePercent)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Composite600x600NoCoverage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Composite600x600FullCoverage)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
