#pragma once

// Private messages, without parameters, that the tablet context sends to the
// canvas window for each pen packet.
const unsigned int UM_PENDOWN = 0x547;
const unsigned int UM_PENMOVE = 0x548;
const unsigned int UM_PENUP = 0x549;
