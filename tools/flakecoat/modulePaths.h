#ifndef FLAKECOAT_TOOLS_MODULE_PATHS_H
#define FLAKECOAT_TOOLS_MODULE_PATHS_H

#include <string>

// Where the tool finds the libraries it loads at run time, relative to its
// own location so that a build or an installed tree can be moved:
//   build tree  every module in <tool directory>/../lib/
//   installed   the deliverables in their hosts' layouts (the Maya module's
//               plug-ins/, the mental ray tree's lib/ and include/), the
//               host stand-ins in the tool's private library folder
// fileName is one of the files named below.
std::string defaultModulePath(const std::string& fileName);

// The path of the running flakecoat executable; empty when the platform
// cannot tell. One implementation per platform.
std::string executablePath();

// The file names the build gave the loaded libraries (flakeCoat.so on
// Linux, flakeCoat.mll on Windows, and so on).
constexpr const char* kPluginFile = FLAKECOAT_PLUGIN_FILE;
constexpr const char* kShaderLibraryFile = TARN_FLAKECOAT_FILE;
constexpr const char* kRendererModuleFile = RENDERER_MODULE_FILE;
constexpr const char* kShaderDeclarationFile = "tarn_flakeCoat.mi";

#endif
