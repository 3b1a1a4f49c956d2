# What both Windows toolchains share: Debian's MinGW-w64 compilers for
# FLAKECOAT_MINGW_TRIPLE (posix threads, so std::thread and std::mutex work),
# the target's own libraries and headers, and a runtime linked in statically.
set(CMAKE_C_COMPILER ${FLAKECOAT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FLAKECOAT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${FLAKECOAT_MINGW_TRIPLE}-windres)

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
