#include "modulePaths.h"

std::string defaultModulePath(const std::string& fileName) {
    const std::string executable = executablePath();
    const std::string::size_type separator = executable.find_last_of("/\\");
    if (separator == std::string::npos) return fileName;
    // The separator the platform gave the executable's path
    const std::string slash(1, executable[separator]);
    return executable.substr(0, separator) + slash + ".." + slash + "lib" + slash + fileName;
}
