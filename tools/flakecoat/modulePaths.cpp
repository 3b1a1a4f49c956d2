#include "modulePaths.h"

#include <climits>
#include <unistd.h>

#include <sys/stat.h>

namespace {

std::string executableDirectory() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length <= 0) return ".";
    std::string executable(buffer, size_t(length));
    const std::string::size_type slash = executable.rfind('/');
    return slash == std::string::npos ? "." : executable.substr(0, slash);
}

bool isFile(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

std::string defaultModulePath(const std::string& fileName) {
    static const std::string directory = executableDirectory();
    static const bool buildTree = isFile(directory + "/../lib/flakeCoat.so");
    if (buildTree) return directory + "/../lib/" + fileName;
    // The relative paths come from the install rules (FlakeCoatInstallDirs.cmake).
    if (fileName == "flakeCoat.so") return directory + "/" FLAKECOAT_BIN_TO_MAYA_PLUGINS "/" + fileName;
    if (fileName == "tarn_flakeCoat.so") return directory + "/" FLAKECOAT_BIN_TO_MENTALRAY_LIB "/" + fileName;
    if (fileName == "tarn_flakeCoat.mi") return directory + "/" FLAKECOAT_BIN_TO_MENTALRAY_INCLUDE "/" + fileName;
    return directory + "/" FLAKECOAT_BIN_TO_PRIVATE "/" + fileName;
}

flakecoat::preview::HostModules defaultHostModules() {
    flakecoat::preview::HostModules modules;
    modules.mayaPlugin = defaultModulePath("flakeCoat.so");
    modules.shaderLibrary = defaultModulePath("tarn_flakeCoat.so");
    modules.shaderDeclaration = defaultModulePath("tarn_flakeCoat.mi");
    modules.rendererModule = defaultModulePath("libmentalray_standin.so");
    return modules;
}
