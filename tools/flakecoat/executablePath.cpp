#include <climits>
#include <unistd.h>

#include "modulePaths.h"

std::string executablePath() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    return length > 0 ? std::string(buffer, size_t(length)) : std::string();
}
