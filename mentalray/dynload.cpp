#include "dynload.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>

std::atomic<ModuleHandle> dl_handle{nullptr};
std::atomic<void*> dl_functions[kFunctionSlots];

// Not synchronised with running binders: the renderer sets the handle before
// it starts shading.
TARN_EXPORT int miSetModuleHandle(ModuleHandle handle) {
    dl_handle.store(handle, std::memory_order_release);
    for (std::atomic<void*>& slot : dl_functions) slot.store(nullptr, std::memory_order_release);
    return 0;
}

namespace dynload {

void* boundFunction(Slot slot, const char* name) {
    // Cached address
    void* function = dl_functions[slot].load(std::memory_order_acquire);
    if (function) return function;

    // Look it up; a failure is not cached, so the next call tries again
    ModuleHandle handle = dl_handle.load(std::memory_order_acquire);
    if (!handle) std::fprintf(stderr, "DYNLOAD: dl_handle null\n");
    int errorCode = 0;
    function = lookupFunction(handle, name, &errorCode);
    dl_functions[slot].store(function, std::memory_order_release);
    if (!function) {
        // The handle at full pointer width, at least eight digits
        std::fprintf(stderr, "dlsym failed on \"%s\" (handle: %08" PRIxPTR " error: %d)\n", name,
                     reinterpret_cast<std::uintptr_t>(handle), errorCode);
    }
    return function;
}

}  // namespace dynload
