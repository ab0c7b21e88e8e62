# The 32-bit MinGW compilers as a 64-bit Windows host gives them to CMake:
# the processor is the host's, AMD64.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(INKSTONE_MINGW_PREFIX i686-w64-mingw32)
set(INKSTONE_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/../../../cmake/toolchain-mingw-common.cmake)
