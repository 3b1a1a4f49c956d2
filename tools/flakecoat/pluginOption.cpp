#include "pluginOption.h"

#include <CLI/CLI.hpp>

#include "modulePaths.h"

std::string& pluginPathOption() {
    static std::string path;
    return path;
}

void addPluginOption(CLI::App& command) {
    command.add_option("--plugin", pluginPathOption(),
                       "Deliverable library to load instead of the one built beside the tool "
                       "(flakeCoat.so for Maya, tarn_flakeCoat.so for mental ray)");
}

std::string pluginPath(const std::string& defaultFileName) {
    const std::string& given = pluginPathOption();
    if (given.empty()) return defaultModulePath(defaultFileName);
    return given.find('/') == std::string::npos ? "./" + given : given;
}
