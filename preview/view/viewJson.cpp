#include "view/viewJson.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "kernel/builtinEnvironments.h"
#include "kernel/lights.h"
#include "look/inputFrames.h"
#include "view/progressiveRender.h"

namespace flakecoat::preview::view {

namespace {

using nlohmann::json;

json numbers(const double* values, int count) { return json(std::vector<double>(values, values + count)); }

json inputJson(const ShadingInput& input) {
    json out;
    out["name"] = input.name;
    out["kind"] = kindName(input);
    out["arity"] = input.arity;
    out["default"] = input.defaults;
    out["softMin"] = input.hasSoftMin ? json(input.softMin) : json();
    out["softMax"] = input.hasSoftMax ? json(input.softMax) : json();
    out["min"] = input.hasHardMin ? numbers(input.hardMin, input.arity) : json();
    out["max"] = input.hasHardMax ? numbers(input.hardMax, input.arity) : json();
    out["usedAsColor"] = input.isColor;
    out["group"] = input.group;
    out["label"] = input.label;
    out["description"] = input.description;
    out["children"] = input.children;
    return out;
}

// The inputs with a control, in the template's order: by frame, then by
// place in the frame; inputs it does not place keep their own order after
// the rest.
std::vector<const ShadingInput*> shownInputs(const RenderHost& host) {
    std::vector<const ShadingInput*> shown;
    for (const ShadingInput& input : host.inputs())
        if (input.shown) shown.push_back(&input);
    std::stable_sort(shown.begin(), shown.end(), [](const ShadingInput* a, const ShadingInput* b) {
        return controlRank(a->name) < controlRank(b->name);
    });
    return shown;
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
    const RenderHost* host = session.host(hostName);
    json out;
    out["host"] = hostName;
    out["groups"] = controlGroupOrder();
    out["inputs"] = json::array();
    if (host)
        for (const ShadingInput* input : shownInputs(*host)) out["inputs"].push_back(inputJson(*input));
    return dump(out);
}

std::string stateJson(const ViewSession& session) {
    const ViewSettings settings = session.settings();
    const Stage& stage = settings.stage;
    json out;
    out["host"] = settings.host;
    out["hosts"] = session.hostNames();
    out["lights"] = stage.lights;
    out["lightRigs"] = splitNames(lightRigNames());
    out["environment"] = stage.environmentFile.empty()                     ? "sky"
                         : isBuiltinEnvironment(stage.environmentFile) ? stage.environmentFile
                                                                       : "image";
    out["environments"] = json::array({json{{"value", "sky"}, {"label", "procedural sky"}}});
    for (const std::string& name : splitNames(builtinEnvironmentNames()))
        out["environments"].push_back(json{{"value", name}, {"label", name + " (built-in)"}});
    if (!session.environmentFile().empty())
        out["environments"].push_back(json{{"value", "image"}, {"label", session.environmentFile()}});
    out["floor"] = stage.floor;
    out["floors"] = json::array({"checker", "shadow", "none"});
    out["exposure"] = stage.exposure;
    const StageCamera& camera = stage.camera;
    out["camera"] = json{{"orbit", camera.orbit},   {"elevation", camera.elevation}, {"zoom", camera.zoom},
                         {"fov", camera.fov},       {"frame", camera.frame},         {"shot", camera.shot}};
    out["values"] = json::object();
    for (const ShadingInput* input : shownInputs(*session.host(settings.host)))
        out["values"][input->name] = settings.look.effective(input->name);
    out["sets"] = settings.look.arguments();
    out["command"] = session.renderCommand(settings);
    out["generation"] = settings.generation;
    out["width"] = stage.width;
    out["height"] = stage.height;
    out["steps"] = std::vector<int>(std::begin(ProgressiveRender::kSteps), std::end(ProgressiveRender::kSteps));
    return dump(out);
}

std::string lookLoadedJson(std::uint64_t generation, const std::vector<std::string>& notes) {
    return dump(json{{"generation", generation}, {"notes", notes}});
}

}  // namespace flakecoat::preview::view
