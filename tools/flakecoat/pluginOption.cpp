#include "pluginOption.h"

#include <CLI/CLI.hpp>

#include "modulePaths.h"

std::string& pluginPathOption() {
    static std::string path;
    return path;
}

void addPluginOption(CLI::App& command) {
    command.add_option("--plugin", pluginPathOption(),
                       std::string("Deliverable library to load instead of the one built beside the tool (") +
                           kPluginFile + " for Maya, " + kShaderLibraryFile + " for mental ray)");
}

std::string pluginPath(const std::string& defaultFileName) {
    const std::string& given = pluginPathOption();
    if (given.empty()) return defaultModulePath(defaultFileName);
#ifdef _WIN32
    const std::string here = ".\\";
#else
    const std::string here = "./";
#endif
    return given.find_first_of("/\\") == std::string::npos ? here + given : given;
}
