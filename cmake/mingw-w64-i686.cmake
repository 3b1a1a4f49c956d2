# Cross-compiling for 32-bit Windows with Debian's MinGW-w64 (posix threads,
# so std::thread and std::mutex work). Programs run under 32-bit Wine.
# Single precision stays single precision: arithmetic in SSE2 registers, not
# the x87 unit, whose 80-bit registers would round float expressions once
# instead of at every operation.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(FLAKECOAT_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${FLAKECOAT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FLAKECOAT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${FLAKECOAT_MINGW_TRIPLE}-windres)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

# Libraries and headers of the target only; programs (objdump, wine) from the
# build machine. Header-only packages of the build machine are brought in by
# cmake/WindowsBuild.cmake, never the whole of /usr/include.
set(CMAKE_FIND_ROOT_PATH /usr/${FLAKECOAT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ runtime, libgcc and winpthreads linked into every program and
# library, so nothing outside the build folder is needed to run them. A DLL
# that exports all its symbols (the host stand-ins) must not export the
# runtime's too, or the next DLL linked against it gets two of each.
# (Not --exclude-libs,ALL: CMake hands a DLL's own objects to the linker as
# an archive too.)
set(FLAKECOAT_RUNTIME_ARCHIVES libstdc++.a:libgcc.a:libgcc_eh.a:libpthread.a:libwinpthread.a)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -Wl,--exclude-libs,${FLAKECOAT_RUNTIME_ARCHIVES}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -Wl,--exclude-libs,${FLAKECOAT_RUNTIME_ARCHIVES}")
