#ifndef FLAKECOAT_TOOLS_PLUGIN_OPTION_H
#define FLAKECOAT_TOOLS_PLUGIN_OPTION_H

#include <string>

namespace CLI {
class App;
}

// The --plugin PATH option of a subcommand: the plug-in library to load
// instead of the one built beside the tool. Empty when not given.
std::string& pluginPathOption();
void addPluginOption(CLI::App& command);

// The option's value, or <tool directory>/../lib/<defaultFileName>.
std::string pluginPath(const std::string& defaultFileName);

#endif
