# Cross-compiling for 32-bit Windows with Debian's MinGW-w64 (posix threads,
# so std::thread and std::mutex work). Programs run under 32-bit Wine.
# Single precision stays single precision: arithmetic in SSE2 registers, not
# the x87 unit, whose 80-bit registers would round float expressions once
# instead of at every operation.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(FLAKECOAT_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
