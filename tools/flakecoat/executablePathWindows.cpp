#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "modulePaths.h"

std::string executablePath() {
    char buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof(buffer));
    // A length of the whole buffer means the path was cut
    return length > 0 && length < sizeof(buffer) ? std::string(buffer, length) : std::string();
}
