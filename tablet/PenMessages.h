#pragma once

// Private messages, without parameters, that the tablet context sends to the
// canvas window for each pen packet.
//
// The values are part of the program's interface and stay as they are: fixed
// numbers rather than registered ones, so that whatever watches the window's
// messages (tests, message spies) knows them. They are WM_USER + 0x147 to
// 0x149, in the range a window class keeps for its own messages; the canvas
// consumes them in front of the window's procedure, so a window class of an
// embedding program that used these numbers itself would not see them while
// a canvas is attached.
const unsigned int UM_PENDOWN = 0x547;
const unsigned int UM_PENMOVE = 0x548;
const unsigned int UM_PENUP = 0x549;
