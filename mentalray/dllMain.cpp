// The library's loader entry on Windows, and the DLL's entry point (see
// mentalray/CMakeLists.txt: the library runs without the C runtime's
// start-up). The library keeps no per-thread state, so it asks the loader to
// spare it the thread attach and detach notifications that would otherwise
// run on every thread the renderer starts.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}

// Without the runtime's start-up the DLL has no list of functions to run at
// unload. MinGW's printf registers one there (freeing the locks of its
// floating-point formatting, which the library never uses); nothing needs
// to run, so the registration succeeds and is dropped.
extern "C" int atexit(void (*)(void)) { return 0; }
