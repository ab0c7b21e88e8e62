# 32-bit Windows build: the deliverables, and everything else; the tests run
# under Wine's WoW64 where this machine runs 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(INKSTONE_MINGW_PREFIX i686-w64-mingw32)
# The Win32 thread model: the POSIX threads runtime, linked into every module,
# would take a thread-local slot at each load of a module (the unwinder's
# frame registration starts it) and never give it back.
set(INKSTONE_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
