#ifndef TARN_FLAKECOAT_DYNLOAD_H
#define TARN_FLAKECOAT_DYNLOAD_H

// DYNLOAD: the run-time binding to the renderer. The library links against
// no renderer library; the renderer hands over the handle of the module that
// exports its functions (miSetModuleHandle), and each renderer function is
// looked up by name on its first call and cached in a fixed slot.

#include <atomic>

// The platform's module handle and export marking: what dlopen returns on
// Linux, an HMODULE on Windows (declared as <windows.h> declares it, without
// pulling that header into every source).
#if defined(_WIN32)
struct HINSTANCE__;
using ModuleHandle = HINSTANCE__*;
#define TARN_EXPORT extern "C" __declspec(dllexport)
#else
using ModuleHandle = void*;
#define TARN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// The renderer module's handle; null until the renderer sets it.
extern std::atomic<ModuleHandle> dl_handle;

// Cached renderer-function addresses, null until looked up and after every
// miSetModuleHandle. Slots are atomics: binders on several threads may find a
// slot empty together, look the same name up and store the same address.
constexpr int kFunctionSlots = 500;
extern std::atomic<void*> dl_functions[kFunctionSlots];

// Stores the renderer module's handle and empties every slot, so each binder
// looks its function up afresh in that module. Returns 0.
TARN_EXPORT int miSetModuleHandle(ModuleHandle handle);

namespace dynload {

// The fixed slots of the renderer functions this library calls.
enum Slot : int {
    kComputeIrradiance = 50,
    kTraceReflection = 68,
    kTraceEnvironment = 71,
    kSampleLight = 85,
    kPhenEval = 91,
    kReflectionDir = 160,
    kNoise2d = 218,
};

// The address of the renderer function `name` for `slot`: the cached one, or
// the result of looking it up in dl_handle's module now (reporting a failure
// on standard error). Null while the function cannot be found.
void* boundFunction(Slot slot, const char* name);

// The platform lookup: the address of `name` in the module `handle`, or null
// with *errorCode set. On Linux a null handle fails without searching
// anything; on Windows GetProcAddress then searches the program itself.
void* lookupFunction(ModuleHandle handle, const char* name, int* errorCode);

}  // namespace dynload

#endif
