// Commands that run inside the program under test, on the thread of its
// tablet context: its own exported Paint_Load, and a count of its GDI objects.
#include "tools/wintab32/ProgramCommands.h"

#include <string>

namespace wintab_double {

LRESULT LoadInProgram(const Context* context, const COPYDATASTRUCT& command) {
  typedef int(__cdecl * LoadProc)(HWND window, const char* path);
  const LoadProc load =
      reinterpret_cast<LoadProc>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA(nullptr), "Paint_Load")));
  if (!load || !context || !command.lpData) return -1;
  // The path as sent, ended at its first zero or at the end of the data.
  const char* data = static_cast<const char*>(command.lpData);
  std::string path(data, command.cbData);
  path.resize(path.find('\0') == std::string::npos ? path.size() : path.find('\0'));
  return load(context->window, path.c_str());
}

LRESULT CountGdiObjects() {
  const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (reported) return reported;
  // No count from the system (Wine's GetGuiResources answers 0): every handle
  // table index is probed instead. Wine takes a handle given by its index
  // alone (the upper word 0) as the live object at that index.
  LRESULT count = 0;
  for (ULONG_PTR index = 1; index <= 0xFFFF; ++index) {
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++count;
  }
  return count;
}

}  // namespace wintab_double
