#include "look/stageCamera.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "look/look.h"
#include "look/setting.h"
#include "look/stage.h"

namespace flakecoat::preview {

namespace {

// The bounds keep the framing's distance, radius x 6.3 x
// tan(14 deg) / tan(fov / 2) / zoom, within floats for the largest model.
constexpr float kMinZoom = 0.001f, kMaxZoom = 1000.0f;
constexpr float kMinFov = 0.5f, kMaxFov = 170.0f;

struct Range {
    const char* key;
    float low, high;
    const char* reason;
};
const Range kRanges[] = {
    {"orbit", -3.0e38f, 3.0e38f, "expected a finite number of degrees"},
    {"elevation", -90.0f, 90.0f, "expected -90 to 90 degrees"},
    {"zoom", kMinZoom, kMaxZoom, "expected a factor from 0.001 to 1000"},
    {"fov", kMinFov, kMaxFov, "expected 0.5 to 170 degrees"},
};
const char* const kFrameReason = "expected fill or sphere";
const char* const kShotReason = "expected whole or closeup";

float* member(StageCamera& camera, const std::string& key) {
    if (key == "orbit") return &camera.orbit;
    if (key == "elevation") return &camera.elevation;
    if (key == "zoom") return &camera.zoom;
    if (key == "fov") return &camera.fov;
    return nullptr;
}

bool inRange(const Range& range, double value) { return value >= range.low && value <= range.high; }

}  // namespace

bool isCameraOption(const std::string& key) {
    return key == "orbit" || key == "elevation" || key == "zoom" || key == "fov" || key == "frame" || key == "shot";
}

bool setCameraOption(StageCamera& camera, const std::string& key, const std::string& text, StageProblem& problem) {
    problem = StageProblem{key, text, ""};
    if (key == "frame" || key == "shot") {
        const bool frame = key == "frame";
        if (frame ? text == "fill" || text == "sphere" : text == "whole" || text == "closeup")
            (frame ? camera.frame : camera.shot) = text;
        else
            problem.reason = frame ? kFrameReason : kShotReason;
        return problem.reason.empty();
    }
    for (const Range& range : kRanges) {
        if (key != range.key) continue;
        char* end = nullptr;
        errno = 0;
        const double value = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0' || errno != 0 || !std::isfinite(value) || !inRange(range, value))
            problem.reason = range.reason;
        else
            *member(camera, key) = float(value);
        return problem.reason.empty();
    }
    problem.reason = "not an option of the stage";
    return false;
}

std::string cameraOptionText(const StageCamera& camera, const std::string& key) {
    if (key == "frame") return camera.frame;
    if (key == "shot") return camera.shot;
    float* value = member(const_cast<StageCamera&>(camera), key);
    return value ? valueText(*value) : "";
}

std::optional<StageProblem> cameraProblem(const StageCamera& camera) {
    for (const Range& range : kRanges) {
        const float value = *member(const_cast<StageCamera&>(camera), range.key);
        if (!inRange(range, value)) return StageProblem{range.key, valueText(value), range.reason};
    }
    if (!camera.frame.empty() && camera.frame != "fill" && camera.frame != "sphere")
        return StageProblem{"frame", camera.frame, kFrameReason};
    if (camera.shot != "whole" && camera.shot != "closeup") return StageProblem{"shot", camera.shot, kShotReason};
    return std::nullopt;
}

CameraAim cameraAim(const StageCamera& camera, bool ball) {
    CameraAim aim;
    aim.orbitDegrees = camera.orbit;
    aim.elevationDegrees = camera.elevation;
    aim.zoom = camera.zoom;
    aim.fovDegrees = camera.fov;
    const bool fill = camera.frame.empty() ? !ball : camera.frame == "fill";
    aim.framing = fill ? Framing::Fill : Framing::Sphere;
    aim.closeUp = camera.shot == "closeup";
    return aim;
}

FlakeScale flakeScale(const Look& look) {
    FlakeScale flakes;
    const std::vector<double> frequency = look.effective("frequencyY");
    if (frequency.size() == 1) flakes.frequency = float(frequency[0]);
    flakes.inTextureSpace = look.host() == "mentalray";
    return flakes;
}

}  // namespace flakecoat::preview
