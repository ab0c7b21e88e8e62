// Loading a program (.exe) as a module of another process: the system maps it
// but leaves its imports unresolved, as for DONT_RESOLVE_DLL_REFERENCES, and
// Wine also leaves it unrelocated when it cannot have its preferred address.
// An embedding program finishes the loading itself before it calls an export.
#pragma once
#include <windows.h>

// Loads the program, relocates it where needed and binds its imports; null on
// failure.
HMODULE LoadProgramAsModule(const char* path);
