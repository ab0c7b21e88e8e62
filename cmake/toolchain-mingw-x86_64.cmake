# 64-bit Windows build: everything; the tests run under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(INKSTONE_MINGW_PREFIX x86_64-w64-mingw32)
set(INKSTONE_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
