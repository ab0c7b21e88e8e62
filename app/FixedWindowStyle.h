// The style of the program's own windows, the main window and the colour
// picker: a caption with a system menu and a minimise box, without sizing
// border or maximise box (0xCA0000). Windows of the shared class without a
// sizing border also lose Minimize, Maximize and Size from their system menu.
#pragma once
#include <windows.h>

const DWORD kFixedWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
static_assert(kFixedWindowStyle == 0xCA0000, "the style the windows have always had");
