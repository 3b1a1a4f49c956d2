#ifndef FLAKECOAT_TOOLS_PLUGIN_OPTION_H
#define FLAKECOAT_TOOLS_PLUGIN_OPTION_H

#include <string>

namespace CLI {
class App;
}

// The --plugin PATH option of a subcommand: the deliverable library to load
// instead of the one built beside the tool. Empty when not given.
std::string& pluginPathOption();
void addPluginOption(CLI::App& command);

// The option's value, or <tool directory>/../lib/<defaultFileName>. A bare
// file name names the file in the current directory: it is not looked up
// along the loader's search path as dlopen would.
std::string pluginPath(const std::string& defaultFileName);

#endif
