# 32-bit Windows build: the deliverables, and everything else; the tests run
# under Wine's WoW64 where this machine runs 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(INKSTONE_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
