// Control commands that call into the program under test (see
// WINTAB_DOUBLE_CMD_LOAD and WINTAB_DOUBLE_CMD_GDI_OBJECTS).
#pragma once
#include <windows.h>

#include "tools/wintab32/DoubleState.h"

namespace wintab_double {

// Paint_Load of the program on the context's window: its result, -1 when the
// program exports no Paint_Load or no context is open.
LRESULT LoadInProgram(const Context* context, const COPYDATASTRUCT& command);
// GDI objects of this process.
LRESULT CountGdiObjects();

}  // namespace wintab_double
