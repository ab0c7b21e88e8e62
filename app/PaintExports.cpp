// Placeholder exports until the canvas lands.
#include <windows.h>

extern "C" {
__declspec(dllexport) int Paint_Init(HWND) { return 0; }
__declspec(dllexport) int Paint_Load(HWND, const char*) { return 0; }
__declspec(dllexport) int Paint_Save(HWND) { return 0; }
}
