#include "dib24.h"

// Placeholder until the reader lands: refuses every file.
bool dib24::ReadBmp(std::FILE*) { return false; }
