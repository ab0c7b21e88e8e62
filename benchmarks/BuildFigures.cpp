#include "BuildFigures.h"

#include <windows.h>

#include <cstdio>

namespace {
const bool k32Bit = sizeof(void*) == 4;

std::string SummaryPath(const char* benchmark, bool of32Bit) {
  return std::string(INKSTONE_FIGURES_DIR) + "/" + benchmark + (of32Bit ? "-win32" : "-win64") + ".txt";
}
}  // namespace

const char* BuildLabel() { return k32Bit ? "win32 build, 32-bit programs" : "win64 build, 64-bit programs"; }

void PrintSummary(const char* benchmark, const std::string& summary) {
  CreateDirectoryA(INKSTONE_FIGURES_DIR, nullptr);
  if (std::FILE* file = std::fopen(SummaryPath(benchmark, k32Bit).c_str(), "w")) {
    std::fputs(summary.c_str(), file);
    std::fclose(file);
  }
  std::string other = "not run";
  if (std::FILE* file = std::fopen(SummaryPath(benchmark, !k32Bit).c_str(), "r")) {
    char line[1024];
    if (std::fgets(line, sizeof line, file)) other = line;
    std::fclose(file);
  }
  const std::string& win32 = k32Bit ? summary : other;
  const std::string& win64 = k32Bit ? other : summary;
  std::printf("summary %s: win32: %s | win64: %s\n", benchmark, win32.c_str(), win64.c_str());
}
