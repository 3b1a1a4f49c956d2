#include "modulePaths.h"

#include <sys/stat.h>

namespace {

bool isFile(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// A path below the tool's directory, written with the separator the platform
// gave the tool's own path; relative holds '/' between its folders.
std::string besideTool(const std::string& relative) {
    const std::string executable = executablePath();
    const std::string::size_type separator = executable.find_last_of("/\\");
    if (separator == std::string::npos) return relative;
    std::string path = executable.substr(0, separator + 1) + relative;
    for (std::string::size_type i = separator + 1; i < path.size(); ++i)
        if (path[i] == '/') path[i] = executable[separator];
    return path;
}

}  // namespace

std::string defaultModulePath(const std::string& fileName) {
    // Either deliverable beside the tool's lib/ (a 32-bit build has no plug-in)
    static const bool buildTree = isFile(besideTool(std::string("../lib/") + kPluginFile)) ||
                                  isFile(besideTool(std::string("../lib/") + kShaderLibraryFile));
    if (buildTree) return besideTool("../lib/" + fileName);
    // The relative paths come from the install rules (FlakeCoatInstallDirs.cmake).
    if (fileName == kPluginFile) return besideTool(FLAKECOAT_BIN_TO_MAYA_PLUGINS "/" + fileName);
    if (fileName == kShaderLibraryFile) return besideTool(FLAKECOAT_BIN_TO_MENTALRAY_LIB "/" + fileName);
    if (fileName == kShaderDeclarationFile) return besideTool(FLAKECOAT_BIN_TO_MENTALRAY_INCLUDE "/" + fileName);
    return besideTool(FLAKECOAT_BIN_TO_PRIVATE "/" + fileName);
}
