#include "view/viewSession.h"

#include <cstdlib>
#include <filesystem>

#include "inputEcho.h"
#include "kernel/builtinEnvironments.h"
#include "kernel/lights.h"

namespace flakecoat::preview::view {

namespace {

// Single quotes unless the text is plainly safe for a shell.
std::string shellWord(const std::string& text) {
    if (!text.empty() && text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                "0123456789_-+=.,/:@%") == std::string::npos)
        return text;
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Paths as a look file from anywhere can name them.
std::string absolutePath(const std::string& path) {
    return path.empty() ? path : std::filesystem::absolute(path).lexically_normal().string();
}

bool splitAssignment(const std::string& text, std::string& key, std::string& value) {
    const std::string::size_type equals = text.find('=');
    if (equals == std::string::npos) return false;
    key = text.substr(0, equals);
    value = text.substr(equals + 1);
    return true;
}

}  // namespace

ViewSession::ViewSession(RenderHosts hosts, Stage stage, std::vector<Look> looks, std::string toolName)
    : hosts_(std::move(hosts)), looks_(looks.size() == hosts_.size() ? std::move(looks) : defaultLooks(hosts_)),
      environmentFile_(stage.environmentFile), toolName_(std::move(toolName)), stage_(std::move(stage)) {}

size_t ViewSession::indexOf(const std::string& name) const {
    for (size_t i = 0; i < hosts_.size(); ++i)
        if (hosts_[i]->name() == name) return i;
    return hosts_.size();
}

std::uint64_t ViewSession::changedLocked() {
    ++generation_;
    cancel_.store(true);
    changed_.notify_all();
    return generation_;
}

bool ViewSession::setInput(const std::string& text, std::uint64_t& generation, std::string& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!looks_[shown_].set(text, error)) return false;
    generation = changedLocked();
    return true;
}

bool ViewSession::setView(const std::string& text, std::uint64_t& generation, std::string& error) {
    std::string key, value;
    if (!splitAssignment(text, key, value)) {
        error = "expected KEY=VALUE with KEY one of host, lights, environment, floor, exposure or a camera part";
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (key == "host") {
        const size_t index = indexOf(value);
        if (index == hosts_.size()) {
            error = "host=" + echoInput(value) + ": no such host loaded";
            return false;
        }
        // The look goes along where the other host has the same inputs.
        if (index != shown_) looks_[index].carryFrom(looks_[shown_]);
        shown_ = index;
    } else if (key == "lights") {
        std::vector<Light> rig;
        if (!lightRig(value, rig)) {
            error = "lights=" + echoInput(value) + ": unknown rig; choose one of " + lightRigNames();
            return false;
        }
        stage_.lights = value;
    } else if (key == "environment") {
        if (value != "sky" && !isBuiltinEnvironment(value) && !(value == "image" && !environmentFile_.empty())) {
            error = "environment=" + echoInput(value) + ": expected sky, " + builtinEnvironmentNames() +
                    (environmentFile_.empty() ? " (start with --env FILE for an image)" : " or image");
            return false;
        }
        stage_.environmentFile = value == "image" ? environmentFile_ : value == "sky" ? "" : value;
    } else if (key == "floor") {
        StageProblem problem;
        if (!setStageOption(stage_, "floor", value, problem)) {
            error = "floor=" + echoInput(value) + ": " + problem.reason;
            return false;
        }
    } else if (key == "exposure") {
        char* end = nullptr;
        const double stops = std::strtod(value.c_str(), &end);
        if (value.empty() || *end != '\0' || !(stops >= -20.0 && stops <= 20.0)) {
            error = "exposure=" + echoInput(value) + ": expected -20 to 20 stops";
            return false;
        }
        stage_.exposure = float(stops);
    } else if (isCameraOption(key)) {
        StageProblem problem;
        StageCamera camera = stage_.camera;
        if (!setCameraOption(camera, key, value, problem)) {
            error = key + "=" + echoInput(value) + ": " + problem.reason;
            return false;
        }
        stage_.camera = camera;
    } else {
        error = "'" + echoInput(key) +
                "' is not a view setting; expected host, lights, environment, floor, exposure or " +
                "a camera part (orbit, elevation, zoom, fov, frame, shot)";
        return false;
    }
    generation = changedLocked();
    return true;
}

std::uint64_t ViewSession::resetInputs() {
    std::lock_guard<std::mutex> lock(mutex_);
    looks_[shown_].reset();
    return changedLocked();
}

std::string ViewSession::lookText() const {
    std::lock_guard<std::mutex> lock(mutex_);
    Stage stage = stage_;
    stage.object.meshFile = absolutePath(stage.object.meshFile);
    if (!isBuiltinEnvironment(stage.environmentFile)) stage.environmentFile = absolutePath(stage.environmentFile);
    LookInfo info;
    info.name = "flakecoat-view";
    info.host = hosts_[shown_]->name();
    return lookFileText(info, looks_, &stage);
}

bool ViewSession::loadLook(const std::string& text, std::uint64_t& generation, std::vector<std::string>& notes,
                           std::string& error) {
    LookFile file;
    if (!parseLookFile(text, "the look", file, error)) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Look> looks = defaultLooks(hosts_);
    // What the file leaves out takes its default, as render --look of the
    // file has it; the object and size are this viewer's (see the note below).
    Stage given;
    given.object = stage_.object;
    given.width = stage_.width;
    given.height = stage_.height;
    given.samplesPerPixel = stage_.samplesPerPixel;
    given.bounds = stage_.bounds;
    if (!applyLookSettings(file, looks, error) || !applyLookStage(file, given, error)) return false;

    // What the viewer can change without starting again
    Stage stage = stage_;
    stage.lights = given.lights;
    stage.exposure = given.exposure;
    stage.seed = given.seed;
    stage.camera = given.camera;
    stage.environmentLights = given.environmentLights;
    stage.environmentRotate = given.environmentRotate;
    stage.floor = given.floor;
    if (given.environmentFile.empty() || isBuiltinEnvironment(given.environmentFile))
        stage.environmentFile = given.environmentFile;
    else if (absolutePath(given.environmentFile) == absolutePath(environmentFile_))
        stage.environmentFile = environmentFile_;
    else
        notes.push_back("kept the environment: this viewer shows the sky, a built-in or " +
                        (environmentFile_.empty() ? std::string("no image") : environmentFile_) +
                        " (start flakecoat view --look FILE for the look's)");
    if (given.width != stage.width || given.height != stage.height || given.object.shape != stage.object.shape ||
        absolutePath(given.object.meshFile) != absolutePath(stage.object.meshFile) ||
        given.object.rotateDegrees != stage.object.rotateDegrees)
        notes.push_back("kept this viewer's object and size (start flakecoat view --look FILE for the look's)");

    looks_ = std::move(looks);
    stage_ = std::move(stage);
    if (const size_t index = indexOf(file.info.host); index < hosts_.size()) shown_ = index;
    generation = changedLocked();
    return true;
}

ViewSettings ViewSession::settings() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return ViewSettings{hosts_[shown_]->name(), looks_[shown_], stage_, generation_};
}

const RenderHost* ViewSession::host(const std::string& name) const {
    const size_t index = indexOf(name);
    return index < hosts_.size() ? hosts_[index].get() : nullptr;
}

std::vector<std::string> ViewSession::hostNames() const {
    std::vector<std::string> names;
    for (const auto& host : hosts_) names.push_back(host->name());
    return names;
}

std::string ViewSession::renderCommand(const ViewSettings& settings) const {
    std::string command = toolName_ + " render --host " + settings.host;
    for (const std::string& word : settings.stage.arguments()) command += " " + shellWord(word);
    for (const std::string& value : settings.look.arguments()) command += " --set " + shellWord(value);
    return command + " --out flakecoat-" + settings.host + ".png";
}

bool ViewSession::waitForChange(std::uint64_t seen, ViewSettings& settings) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return closed_ || generation_ != seen; });
    if (closed_) return false;
    settings = ViewSettings{hosts_[shown_]->name(), looks_[shown_], stage_, generation_};
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
