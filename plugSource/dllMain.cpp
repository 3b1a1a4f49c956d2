// The plug-in's loader entry on Windows: it keeps the module's instance
// handle, the way a Windows plug-in finds what ships beside it.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

HINSTANCE pluginInstance = nullptr;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
    pluginInstance = instance;
    return TRUE;
}
