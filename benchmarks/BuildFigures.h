// The Windows benchmarks run once per build, 32-bit and 64-bit. Each keeps a
// one-line summary of its figures where the other build's run finds it, so
// that the run that comes second prints both side by side.
#pragma once
#include <string>

// "win32 build, 32-bit programs" or "win64 build, 64-bit programs".
const char* BuildLabel();
// Keeps this build's summary of `benchmark` and prints it; prints the other
// build's beside it when that build's run of this test command left one.
void PrintSummary(const char* benchmark, const std::string& summary);
