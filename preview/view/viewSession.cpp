#include "view/viewSession.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "inputEcho.h"
#include "kernel/lights.h"

namespace flakecoat::preview::view {

namespace {

std::string formatValue(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

// Single quotes unless the text is plainly safe for a shell.
std::string shellWord(const std::string& text) {
    if (!text.empty() && text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                "0123456789_-+=.,/:@%") == std::string::npos)
        return text;
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool splitAssignment(const std::string& text, std::string& key, std::string& value) {
    const std::string::size_type equals = text.find('=');
    if (equals == std::string::npos) return false;
    key = text.substr(0, equals);
    value = text.substr(equals + 1);
    return true;
}

}  // namespace

std::string settingText(const ParameterOverride& value) {
    std::string text = value.name + "=";
    for (int i = 0; i < value.count; ++i) text += (i ? "," : "") + formatValue(value.values[i]);
    return text;
}

ViewSession::ViewSession(std::vector<ViewHost> hosts, ViewConfig config, ViewSettings initial)
    : config_(std::move(config)), settings_(std::move(initial)) {
    for (ViewHost& entry : hosts) {
        const std::string name = entry.host->name();
        order_.push_back(name);
        hosts_.emplace(name, std::move(entry));
    }
    settings_.host = order_.front();
    overridesByHost_[settings_.host] = settings_.overrides;
    settings_.generation = 1;
}

std::uint64_t ViewSession::changedLocked() {
    ++settings_.generation;
    cancel_.store(true);
    changed_.notify_all();
    return settings_.generation;
}

bool ViewSession::setInput(const std::string& text, std::uint64_t& generation, std::string& error) {
    ParameterOverride parsed;
    if (!parseOverride(text, parsed, error)) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    const RenderHost& host = *hosts_.at(settings_.host).host;
    if (!checkOverride(host.shadingInputs(), parsed, host.name(), error)) return false;
    std::vector<ParameterOverride>& overrides = overridesByHost_[settings_.host];
    // A later setting of the same name replaces the earlier one; a parent
    // and its children keep their relative order.
    for (auto it = overrides.begin(); it != overrides.end(); ++it)
        if (it->name == parsed.name) {
            overrides.erase(it);
            break;
        }
    overrides.push_back(parsed);
    settings_.overrides = overrides;
    generation = changedLocked();
    return true;
}

bool ViewSession::setView(const std::string& text, std::uint64_t& generation, std::string& error) {
    std::string key, value;
    if (!splitAssignment(text, key, value)) {
        error = "expected KEY=VALUE with KEY one of host, lights, environment, exposure";
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (key == "host") {
        if (!hosts_.count(value)) {
            error = "host=" + echoInput(value) + ": no such host loaded";
            return false;
        }
        settings_.host = value;
        settings_.overrides = overridesByHost_[value];
    } else if (key == "lights") {
        std::vector<Light> rig;
        if (!lightRig(value, rig)) {
            error = "lights=" + echoInput(value) + ": unknown rig; choose one of " + lightRigNames();
            return false;
        }
        settings_.lights = value;
    } else if (key == "environment") {
        if (value != "sky" && !(value == "image" && !config_.environmentFile.empty())) {
            error = "environment=" + echoInput(value) + (config_.environmentFile.empty()
                                                  ? ": only sky (start with --env FILE for an image)"
                                                  : ": expected sky or image");
            return false;
        }
        settings_.imageEnvironment = value == "image";
    } else if (key == "exposure") {
        char* end = nullptr;
        const double stops = std::strtod(value.c_str(), &end);
        if (value.empty() || *end != '\0' || !(stops >= -20.0 && stops <= 20.0)) {
            error = "exposure=" + echoInput(value) + ": expected -20 to 20 stops";
            return false;
        }
        settings_.exposure = float(stops);
    } else {
        error = "'" + echoInput(key) + "' is not a view setting; expected host, lights, environment or exposure";
        return false;
    }
    generation = changedLocked();
    return true;
}

std::uint64_t ViewSession::resetInputs() {
    std::lock_guard<std::mutex> lock(mutex_);
    overridesByHost_[settings_.host].clear();
    settings_.overrides.clear();
    return changedLocked();
}

ViewSettings ViewSession::settings() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return settings_;
}

const ViewHost* ViewSession::host(const std::string& name) const {
    const auto found = hosts_.find(name);
    return found == hosts_.end() ? nullptr : &found->second;
}

std::vector<std::string> ViewSession::hostNames() const { return order_; }

std::vector<std::vector<double>> ViewSession::currentValues(const ViewSettings& settings) const {
    const std::vector<InputControl>& controls = hosts_.at(settings.host).controls;
    std::vector<std::vector<double>> values;
    for (const InputControl& control : controls)
        values.emplace_back(control.defaults, control.defaults + control.arity);
    for (const ParameterOverride& value : settings.overrides) {
        for (size_t c = 0; c < controls.size(); ++c) {
            if (controls[c].name == value.name)
                values[c].assign(value.values, value.values + value.count);
            for (size_t i = 0; i < controls[c].children.size(); ++i)
                if (controls[c].children[i] == value.name && i < values[c].size()) values[c][i] = value.values[0];
        }
    }
    return values;
}

std::string ViewSession::renderCommand(const ViewSettings& settings) const {
    std::string command = config_.toolName + " render --host " + settings.host + " --size " +
                          std::to_string(config_.width) + "x" + std::to_string(config_.height) + " --spp " +
                          std::to_string(config_.finalSamplesPerPixel) + " --lights " + settings.lights;
    const PaintedObject& object = config_.object;
    if (!object.meshFile.empty()) command += " --mesh " + shellWord(object.meshFile);
    if (object.meshFile.empty() && object.shape != PaintedObject().shape) command += " --shape " + object.shape;
    if (object.rotateDegrees != 0.0f) command += " --rotate " + formatValue(object.rotateDegrees);
    if (settings.imageEnvironment) command += " --env " + shellWord(config_.environmentFile);
    if (settings.exposure != 0.0f) command += " --exposure " + formatValue(settings.exposure);
    for (const ParameterOverride& value : settings.overrides) command += " --set " + settingText(value);
    return command + " --out flakecoat-" + settings.host + ".png";
}

bool ViewSession::waitForChange(std::uint64_t seen, ViewSettings& settings) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return closed_ || settings_.generation != seen; });
    if (closed_) return false;
    settings = settings_;
    cancel_.store(false);
    return true;
}

void ViewSession::close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    closedFlag_.store(true);
    cancel_.store(true);
    changed_.notify_all();
}

}  // namespace flakecoat::preview::view
