#include "shippedLooks.h"

#include <algorithm>
#include <filesystem>

#include "inputEcho.h"
#include "modulePaths.h"

namespace fs = std::filesystem;

std::vector<std::string> shippedLookNames() {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const fs::directory_entry& entry : fs::directory_iterator(defaultModulePath("looks"), ignored))
        if (entry.path().extension() == ".json") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string shippedLookPath(const std::string& name) { return defaultModulePath("looks/" + name + ".json"); }

bool readLookOption(const std::string& nameOrPath, flakecoat::preview::LookFile& file, std::string& error) {
    const bool path = nameOrPath.find('/') != std::string::npos ||
                      (nameOrPath.size() > 5 && nameOrPath.compare(nameOrPath.size() - 5, 5, ".json") == 0);
    if (!path) {
        const std::vector<std::string> names = shippedLookNames();
        if (std::find(names.begin(), names.end(), nameOrPath) == names.end()) {
            error = "--look " + flakecoat::echoInput(nameOrPath) + ": no shipped look of that name (";
            for (size_t i = 0; i < names.size(); ++i) error += (i ? ", " : "") + names[i];
            error += "); a look file's name ends in .json";
            return false;
        }
    }
    if (flakecoat::preview::readLookFile(path ? nameOrPath : shippedLookPath(nameOrPath), file, error)) return true;
    error = "--look " + error;
    return false;
}
