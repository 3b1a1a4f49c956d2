#ifndef FLAKECOAT_TOOLS_MODULE_PATHS_H
#define FLAKECOAT_TOOLS_MODULE_PATHS_H

#include <string>

// Where the tool finds the libraries it loads at run time: beside it in
// <directory of the flakecoat executable>/../lib/<fileName>.
std::string defaultModulePath(const std::string& fileName);

// The path of the running flakecoat executable; empty when the platform
// cannot tell. One implementation per platform.
std::string executablePath();

// The file names the build gave the loaded libraries (flakeCoat.so on
// Linux, flakeCoat.mll on Windows, and so on).
constexpr const char* kPluginFile = FLAKECOAT_PLUGIN_FILE;
constexpr const char* kShaderLibraryFile = TARN_FLAKECOAT_FILE;
constexpr const char* kRendererModuleFile = RENDERER_MODULE_FILE;

#endif
