#include "view/viewJson.h"

#include <nlohmann/json.hpp>

#include "kernel/lights.h"
#include "view/controlGroups.h"
#include "view/progressiveRender.h"

namespace flakecoat::preview::view {

namespace {

using nlohmann::json;

json numbers(const double* values, int count) { return json(std::vector<double>(values, values + count)); }

json controlJson(const InputControl& control) {
    json out;
    out["name"] = control.name;
    out["kind"] = controlKindName(control.kind);
    out["arity"] = control.arity;
    out["default"] = numbers(control.defaults, control.arity);
    out["softMin"] = control.hasSoftMin ? json(control.softMin) : json();
    out["softMax"] = control.hasSoftMax ? json(control.softMax) : json();
    out["min"] = control.hasHardMin ? numbers(control.hardMin, control.arity) : json();
    out["max"] = control.hasHardMax ? numbers(control.hardMax, control.arity) : json();
    out["usedAsColor"] = control.kind == ControlKind::Color;
    out["group"] = control.group;
    out["children"] = control.children;
    return out;
}

std::vector<std::string> splitNames(const std::string& list) {
    std::vector<std::string> names;
    std::string::size_type start = 0;
    while (start < list.size()) {
        const std::string::size_type comma = list.find(", ", start);
        names.push_back(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) break;
        start = comma + 2;
    }
    return names;
}

// Names and paths are the user's: never let odd bytes throw.
std::string dump(const json& value) { return value.dump(-1, ' ', false, json::error_handler_t::replace); }

}  // namespace

std::string inputsJson(const ViewSession& session, const std::string& hostName) {
    const ViewHost* host = session.host(hostName);
    json out;
    out["host"] = hostName;
    out["groups"] = controlGroupOrder();
    out["inputs"] = json::array();
    if (host)
        for (const InputControl& control : host->controls) out["inputs"].push_back(controlJson(control));
    return dump(out);
}

std::string stateJson(const ViewSession& session) {
    const ViewSettings settings = session.settings();
    const ViewConfig& config = session.config();
    json out;
    out["host"] = settings.host;
    out["hosts"] = session.hostNames();
    out["lights"] = settings.lights;
    out["lightRigs"] = splitNames(lightRigNames());
    out["environment"] = settings.imageEnvironment ? "image" : "sky";
    out["environments"] = json::array({json{{"value", "sky"}, {"label", "procedural sky"}}});
    if (!config.environmentFile.empty())
        out["environments"].push_back(json{{"value", "image"}, {"label", config.environmentFile}});
    out["exposure"] = settings.exposure;
    const std::vector<InputControl>& controls = session.host(settings.host)->controls;
    const std::vector<std::vector<double>> values = session.currentValues(settings);
    out["values"] = json::object();
    for (size_t i = 0; i < controls.size(); ++i) out["values"][controls[i].name] = values[i];
    out["sets"] = json::array();
    for (const ParameterOverride& value : settings.overrides) out["sets"].push_back(settingText(value));
    out["command"] = session.renderCommand(settings);
    out["generation"] = settings.generation;
    out["width"] = config.width;
    out["height"] = config.height;
    out["steps"] = std::vector<int>(std::begin(ProgressiveRender::kSteps), std::end(ProgressiveRender::kSteps));
    return dump(out);
}

}  // namespace flakecoat::preview::view
