#include "settings/hostSettings.h"

namespace flakecoat::preview {

namespace {
bool declares(const RenderHost& host, const std::string& name) {
    for (const SettableInput& input : host.shadingInputs())
        if (input.name == name) return true;
    return false;
}
}  // namespace

bool applySettings(const std::vector<std::string>& texts, std::vector<std::unique_ptr<RenderHost>>& hosts,
                   std::vector<std::string>& notes, std::string& error) {
    std::vector<std::vector<ParameterOverride>> perHost(hosts.size());
    for (const std::string& text : texts) {
        ParameterOverride parsed;
        if (!parseOverride(text, parsed, error)) return false;
        int known = 0;
        for (size_t h = 0; h < hosts.size(); ++h) {
            if (hosts.size() > 1 && !declares(*hosts[h], parsed.name)) continue;
            if (!checkOverride(hosts[h]->shadingInputs(), parsed, hosts[h]->name(), error)) return false;
            perHost[h].push_back(parsed);
            ++known;
        }
        if (known == 0) {
            error = "--set " + parsed.name + ": neither host has a shading input named '" + parsed.name + "'";
            return false;
        }
        if (known < int(hosts.size()))
            for (const auto& host : hosts)
                if (!declares(*host, parsed.name))
                    notes.push_back("--set " + parsed.name + " does not apply to " + host->name());
    }
    for (size_t h = 0; h < hosts.size(); ++h)
        if (!hosts[h]->applyOverrides(perHost[h], error)) return false;
    return true;
}

}  // namespace flakecoat::preview
