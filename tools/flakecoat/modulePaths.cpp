#include "modulePaths.h"

#include <climits>
#include <unistd.h>

std::string defaultModulePath(const std::string& fileName) {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length <= 0) return fileName;
    std::string executable(buffer, size_t(length));
    const std::string::size_type slash = executable.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : executable.substr(0, slash);
    return directory + "/../lib/" + fileName;
}
