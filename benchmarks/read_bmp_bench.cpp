// ReadBmp of a 24-bit 4000 x 3000 file (36 MB) against a plain fread of the
// same bytes, into new memory (what any loader pays: the system hands out and
// zeroes fresh pages) and into a buffer already in use; prints the ratios.
// An 8-bit file of the same size shows the cost of palette expansion.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "image/dib24.h"

namespace {
const int kWidth = 4000, kHeight = 3000;
const char* const kFile24 = "read_bmp_bench_24.bmp";
const char* const kFile8 = "read_bmp_bench_8.bmp";

void Put32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

long WriteFile(const char* name, int bits) {
  const uint32_t palette = bits == 8 ? 1024 : 0;
  const uint32_t row = (kWidth * bits / 8 + 3) & ~3u;
  const uint32_t offBits = 54 + palette;
  std::vector<unsigned char> header(offBits, 0);
  header[0] = 'B';
  header[1] = 'M';
  Put32(&header[2], offBits + row * kHeight);
  Put32(&header[10], offBits);
  Put32(&header[14], 40);
  Put32(&header[18], kWidth);
  Put32(&header[22], kHeight);
  header[26] = 1;
  header[28] = static_cast<unsigned char>(bits);
  for (uint32_t i = 0; i < palette; ++i) header[54 + i] = static_cast<unsigned char>(i * 7);
  std::FILE* f = std::fopen(name, "wb");
  std::fwrite(header.data(), 1, header.size(), f);
  std::vector<unsigned char> pixels(row);
  for (int y = 0; y < kHeight; ++y) {
    for (uint32_t i = 0; i < row; ++i) pixels[i] = static_cast<unsigned char>(i * 31 + y);
    std::fwrite(pixels.data(), 1, row, f);
  }
  std::fclose(f);
  return static_cast<long>(offBits + row * kHeight);
}

long fileBytes24 = 0, fileBytes8 = 0;

void BM_ReadBmp24(benchmark::State& state) {
  for (auto _ : state) {
    dib24 image;
    std::FILE* f = std::fopen(kFile24, "rb");
    if (!image.ReadBmp(f)) state.SkipWithError("ReadBmp failed");
    std::fclose(f);
    benchmark::DoNotOptimize(image.bits);
  }
  state.SetBytesProcessed(state.iterations() * fileBytes24);
}

void BM_FreadSameBytes(benchmark::State& state) {
  std::unique_ptr<unsigned char[]> buffer(new unsigned char[fileBytes24]);
  for (auto _ : state) {
    std::FILE* f = std::fopen(kFile24, "rb");
    if (std::fread(buffer.get(), 1, fileBytes24, f) != static_cast<size_t>(fileBytes24)) state.SkipWithError("short");
    std::fclose(f);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * fileBytes24);
}

// The same read into new memory each time, as any reader must produce.
void BM_FreadIntoNewMemory(benchmark::State& state) {
  for (auto _ : state) {
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[fileBytes24]);
    std::FILE* f = std::fopen(kFile24, "rb");
    if (std::fread(buffer.get(), 1, fileBytes24, f) != static_cast<size_t>(fileBytes24)) state.SkipWithError("short");
    std::fclose(f);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * fileBytes24);
}

void BM_ReadBmp8(benchmark::State& state) {
  for (auto _ : state) {
    dib24 image;
    std::FILE* f = std::fopen(kFile8, "rb");
    if (!image.ReadBmp(f)) state.SkipWithError("ReadBmp failed");
    std::fclose(f);
    benchmark::DoNotOptimize(image.bits);
  }
  state.SetBytesProcessed(state.iterations() * fileBytes8);
}

// Keeps each run's time per iteration so that main can print the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) seconds[run.benchmark_name()] = run.GetAdjustedRealTime() / 1e3;
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;  // per iteration
};
}  // namespace

BENCHMARK(BM_ReadBmp24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreadSameBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreadIntoNewMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadBmp8)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  fileBytes24 = WriteFile(kFile24, 24);
  fileBytes8 = WriteFile(kFile8, 8);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const double read = reporter.seconds["BM_ReadBmp24"], fresh = reporter.seconds["BM_FreadIntoNewMemory"],
               warm = reporter.seconds["BM_FreadSameBytes"];
  if (read > 0 && fresh > 0 && warm > 0) {
    std::printf("ReadBmp 24-bit %dx%d: %.0f MB/s; fread into new memory %.0f MB/s, into a used buffer %.0f MB/s\n",
                kWidth, kHeight, fileBytes24 / read / 1e6, fileBytes24 / fresh / 1e6, fileBytes24 / warm / 1e6);
    std::printf("ReadBmp time / fread into new memory = %.2f (target <= 2); / fread into a used buffer = %.2f\n",
                read / fresh, read / warm);
  }
  std::remove(kFile24);
  std::remove(kFile8);
  return 0;
}
