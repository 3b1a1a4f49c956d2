#include "view/controlGroups.h"

#include <utility>

namespace flakecoat::preview::view {

namespace {

const std::vector<std::pair<std::string, std::vector<std::string>>>& groupTable() {
    static const std::vector<std::pair<std::string, std::vector<std::string>>> kGroups = {
        {"Base colour and diffuse", {"color", "transparency", "ambientColor", "incandescence", "diffuse"}},
        {"Thin film", {"depthRange", "refractiveIndex"}},
        {"Coat and specular", {"specular", "specularPower", "specularColor"}},
        {"Flakes", {"frequency", "normalDeviation", "seed"}},
        {"Reflection", {"reflectivity", "useIrradiance", "irradianceColor"}},
        {"Extra", {}},
    };
    return kGroups;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() > suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

const std::vector<std::string>& controlGroupOrder() {
    static const std::vector<std::string> kOrder = [] {
        std::vector<std::string> order;
        for (const auto& group : groupTable()) order.push_back(group.first);
        return order;
    }();
    return kOrder;
}

std::string controlGroupOf(const std::string& inputName) {
    std::vector<std::string> candidates{inputName};
    for (const char* suffix : {"Min", "Max", "X", "Y"})
        if (endsWith(inputName, suffix)) candidates.push_back(inputName.substr(0, inputName.size() - std::string(suffix).size()));
    for (const std::string& name : candidates)
        for (const auto& group : groupTable())
            for (const std::string& member : group.second)
                if (member == name) return group.first;
    return groupTable().back().first;
}

}  // namespace flakecoat::preview::view
