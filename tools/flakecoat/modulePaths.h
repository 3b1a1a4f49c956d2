#ifndef FLAKECOAT_TOOLS_MODULE_PATHS_H
#define FLAKECOAT_TOOLS_MODULE_PATHS_H

#include <string>

// Where the tool finds the libraries it loads at run time: beside it in
// <directory of the flakecoat executable>/../lib/<fileName>.
std::string defaultModulePath(const std::string& fileName);

#endif
