#ifndef FLAKECOAT_TOOLS_SHIPPED_LOOKS_H
#define FLAKECOAT_TOOLS_SHIPPED_LOOKS_H

// The looks shipped beside the libraries (looks/NAME.json, found as the
// tool finds its modules: modulePaths.h), and --look's argument: a shipped
// look's name, or a look file's path (one with a '/' or ending in .json).

#include <string>
#include <vector>

#include "look/lookFile.h"

// The shipped looks' names, sorted.
std::vector<std::string> shippedLookNames();
std::string shippedLookPath(const std::string& name);

// Reads --look's look; error names --look and the file.
bool readLookOption(const std::string& nameOrPath, flakecoat::preview::LookFile& file, std::string& error);

#endif
