// The lookup on Linux is dlsym. dlsym reports its failures as text (dlerror),
// so the binding reports Windows error numbers, where the message's error
// field came from:
//   6   the handle is null (ERROR_INVALID_HANDLE); dlsym is not called, since
//       a null handle would make it search every loaded module. (On Windows
//       GetProcAddress searches the program itself then, and reports 127.)
//   127 the module has no such function, or it resolves to null
//       (ERROR_PROC_NOT_FOUND).

#include <dlfcn.h>

#include "dynload.h"

namespace dynload {

namespace {
constexpr int kErrorInvalidHandle = 6;
constexpr int kErrorProcNotFound = 127;
}  // namespace

void* lookupFunction(ModuleHandle handle, const char* name, int* errorCode) {
    if (!handle) {
        *errorCode = kErrorInvalidHandle;
        return nullptr;
    }
    dlerror();  // clear a stale message of this thread
    void* function = dlsym(handle, name);
    if (!function) {
        dlerror();
        *errorCode = kErrorProcNotFound;
    }
    return function;
}

}  // namespace dynload
