// The binding layer's platform lookup for the binding tests: dlsym, as in the
// library, counting the lookups per name so the tests can see the cache.

#include <dlfcn.h>

#include <map>
#include <mutex>
#include <string>

#include "countingLookup.h"
#include "dynload.h"

namespace {
std::mutex countsMutex;
std::map<std::string, int> counts;
}  // namespace

int lookupCount(const std::string& name) {
    std::lock_guard<std::mutex> lock(countsMutex);
    const auto found = counts.find(name);
    return found == counts.end() ? 0 : found->second;
}

namespace dynload {

void* lookupFunction(ModuleHandle handle, const char* name, int* errorCode) {
    {
        std::lock_guard<std::mutex> lock(countsMutex);
        ++counts[name];
    }
    if (!handle) {
        *errorCode = 6;
        return nullptr;
    }
    void* function = dlsym(handle, name);
    if (!function) *errorCode = 127;
    return function;
}

}  // namespace dynload
