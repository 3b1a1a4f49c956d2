#include "pluginOption.h"

#include <CLI/CLI.hpp>

#include "modulePaths.h"

std::string& pluginPathOption() {
    static std::string path;
    return path;
}

void addPluginOption(CLI::App& command) {
    command.add_option("--plugin", pluginPathOption(),
                       std::string("Maya plug-in to load instead of the ") + kPluginFile + " built beside the tool");
}

std::string pluginPath(const std::string& defaultFileName) {
    return pluginPathOption().empty() ? defaultModulePath(defaultFileName) : pluginPathOption();
}
