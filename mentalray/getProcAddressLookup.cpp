// The lookup on Windows is GetProcAddress, with the module handle as the
// renderer gave it. A failure's number is taken from GetLastError at once,
// before anything else can overwrite it.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "dynload.h"

namespace dynload {

void* lookupFunction(ModuleHandle handle, const char* name, int* errorCode) {
    const FARPROC function = GetProcAddress(handle, name);
    if (!function) *errorCode = int(GetLastError());
    return reinterpret_cast<void*>(function);
}

}  // namespace dynload
