# 32-bit Windows build: the deliverables. Built and inspected here, never run.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(INKSTONE_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
