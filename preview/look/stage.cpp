#include "look/stage.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

#include "inputEcho.h"
#include "kernel/builtinEnvironments.h"
#include "kernel/lights.h"
#include "look/look.h"
#include "look/setting.h"

namespace flakecoat::preview {

namespace {

constexpr int kMaxSamplesPerPixel = 4096;

const std::string kSizeReason = "expected WIDTHxHEIGHT, each from 1 to " + std::to_string(kMaxImageSide);
const std::string kSamplesReason = "expected 1 to " + std::to_string(kMaxSamplesPerPixel) + " samples per pixel";
const char* const kExposureReason = "expected -20 to 20 stops";
const char* const kRotateReason = "expected a finite number of degrees";
const std::string kEnvironmentLightsReason =
    "expected auto or a whole number of lights from 0 to " + std::to_string(kMaxEnvironmentLights);
const char* const kFloorReason = "choose one of checker, none, shadow";

bool isFloorName(const std::string& name) { return name == "checker" || name == "none" || name == "shadow"; }

std::string sizeText(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

// Digits only, within [low, high].
bool parseWhole(const std::string& text, std::uint64_t low, std::uint64_t high, std::uint64_t& value) {
    if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    errno = 0;
    value = std::strtoull(text.c_str(), nullptr, 10);
    return errno == 0 && value >= low && value <= high;
}

bool parseFloat(const std::string& text, float& value) {
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !std::isfinite(parsed) || std::fabs(parsed) > 3.0e38)
        return false;
    value = float(parsed);
    return true;
}

bool parseSize(const std::string& text, int& width, int& height) {
    const std::string::size_type x = text.find('x');
    std::uint64_t w = 0, h = 0;
    if (x == std::string::npos || !parseWhole(text.substr(0, x), 1, kMaxImageSide, w) ||
        !parseWhole(text.substr(x + 1), 1, kMaxImageSide, h))
        return false;
    width = int(w);
    height = int(h);
    return true;
}

std::optional<StageProblem> environmentProblem(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
        return StageProblem{"env", path, errno == ENOENT ? "no such file" : std::strerror(errno)};
    if (!S_ISREG(status.st_mode))
        return StageProblem{"env", path, S_ISDIR(status.st_mode) ? "it is a directory" : "it is not a regular file"};
    return std::nullopt;
}

std::optional<StageProblem> objectProblem(const PaintedObject& object) {
    if (!isShapeName(object.shape))
        return StageProblem{"shape", object.shape, std::string("choose one of ") + shapeNames()};
    if (!object.meshFile.empty() && object.shape != "ball")
        return StageProblem{"mesh", object.meshFile, "give either --mesh or --shape " + object.shape + ", not both"};
    if (!std::isfinite(object.rotateDegrees)) return StageProblem{"rotate", "", kRotateReason};
    if (object.rotateDegrees != 0.0f && object.meshFile.empty() && object.shape == "ball")
        return StageProblem{"rotate", "", "turns a model (--mesh or --shape swatch); the ball needs no turning"};
    return std::nullopt;
}

}  // namespace

std::string onCommandLine(const StageProblem& problem) {
    return "--" + problem.key + (problem.value.empty() ? "" : " " + echoInput(problem.value)) + ": " + problem.reason;
}

std::optional<StageProblem> Stage::problem() const {
    const std::string size = sizeText(width, height);
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide)
        return StageProblem{"size", size, kSizeReason};
    const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height);
    if (pixels > bounds.maxPixels)
        return StageProblem{"size", size,
                            std::to_string(pixels) + " pixels is over the bound of " +
                                std::to_string(bounds.maxPixels) + " pixels (" + bounds.pixelsHint + ")"};
    if (samplesPerPixel < 1 || samplesPerPixel > kMaxSamplesPerPixel)
        return StageProblem{"spp", std::to_string(samplesPerPixel), kSamplesReason};
    std::vector<Light> rig;
    if (!lightRig(lights, rig))
        return StageProblem{"lights", lights, std::string("unknown rig; choose one of ") + lightRigNames()};
    if (!(exposure >= -20.0f && exposure <= 20.0f)) return StageProblem{"exposure", "", kExposureReason};
    if (!environmentFile.empty() && !isBuiltinEnvironment(environmentFile))
        if (std::optional<StageProblem> problem = environmentProblem(environmentFile)) return problem;
    if (environmentLights < -1 || environmentLights > kMaxEnvironmentLights)
        return StageProblem{"env-lights", std::to_string(environmentLights), kEnvironmentLightsReason};
    if (!std::isfinite(environmentRotate)) return StageProblem{"env-rotate", "", kRotateReason};
    if (!isFloorName(floor)) return StageProblem{"floor", floor, kFloorReason};
    if (std::optional<StageProblem> problem = cameraProblem(camera)) return problem;
    return objectProblem(object);
}

bool Stage::check(std::string& error) const {
    const std::optional<StageProblem> found = problem();
    if (found) error = onCommandLine(*found);
    return !found;
}

int Stage::effectiveEnvironmentLights() const {
    if (environmentLights >= 0) return environmentLights;
    return !environmentFile.empty() || lights == "none" ? kDefaultEnvironmentLights : 0;
}

bool Stage::readEnvironment(Environment& environment, std::string& error) const {
    environment = Environment();
    if (environmentFile.empty()) return true;
    if (isBuiltinEnvironment(environmentFile)) {
        environment = Environment(builtinEnvironment(environmentFile));
        return true;
    }
    LatLongImage image;
    if (!readLatLongExr(environmentFile, image, error, bounds.maxEnvironmentPixels)) {
        error = "--env " + error;
        return false;
    }
    environment = Environment(std::move(image));
    return true;
}

std::optional<Scene> Stage::buildScene(Environment environment, std::string& error,
                                       const std::atomic<bool>* cancel) const {
    std::vector<Light> rig;
    lightRig(lights, rig);
    if (environmentRotate != 0.0f) environment.setRotation(environmentRotate);
    std::optional<Scene> scene = paintedObjectScene(object, float(width) / float(height), std::move(rig),
                                                    std::move(environment), error, cancel);
    if (!scene) {
        if (!object.meshFile.empty()) error = "--mesh " + error;
        return scene;
    }
    scene->camera = aim(*scene, Look());
    scene->environmentLights =
        makeEnvironmentLights(scene->environment, effectiveEnvironmentLights(), floor != "none",
                              lights == "none" ? kEnvironmentPicks : kEnvironmentPicksBesideRig);
    scene->hasGround = floor != "none";
    scene->shadowCatcher = floor == "shadow";
    return scene;
}

std::optional<Scene> Stage::build(std::string& error, const std::atomic<bool>* cancel) const {
    Environment environment;
    if (!readEnvironment(environment, error)) return std::nullopt;
    return buildScene(std::move(environment), error, cancel);
}

Camera Stage::aim(const Scene& scene, const Look& look) const {
    const bool ball = object.meshFile.empty() && object.shape == "ball";
    return aimCamera(scene, cameraAim(camera, ball), width, height, flakeScale(look));
}

RenderSettings Stage::renderSettings() const {
    RenderSettings settings;
    settings.width = width;
    settings.height = height;
    settings.samplesPerPixel = samplesPerPixel;
    settings.seed = seed;
    return settings;
}

const std::vector<StageOption>& stageOptions() {
    static const std::vector<StageOption> kOptions = {
        {"size", false, true, "Image size WIDTHxHEIGHT"},
        {"spp", true, true, "Samples per pixel (stratified)"},
        {"lights", false, true, "Light rig: studio, softbox, sun, or none (the environment's light alone)"},
        {"mesh", false, true,
         "Paint this OBJ model instead (in its own coordinates; lit and grounded as the ball, framed by --frame)"},
        {"shape", false, true, "The painted object: ball or swatch"},
        {"rotate", true, true, "Turn the model by DEG degrees about the vertical through its centre"},
        {"env", false, true,
         "Latitude-longitude environment image (.exr), or a built-in: studio, overcast, sun (./NAME for a file so "
         "named)"},
        {"env-lights", false, true,
         "Directional lights made of the environment, 0 to 1024; auto: 64 with --env or --lights none, else 0"},
        {"env-rotate", true, true, "Turn the environment (lights, reflections, backdrop) by DEG degrees about the vertical"},
        {"floor", false, true, "The floor: checker, none, or shadow (shows only the object's shadow)"},
        {"exposure", true, true, "Exposure of the PNG view transform, in stops"},
        {"seed", true, true, "Seed of the sample pattern, 0 to 2^64 - 1"},
        {"orbit", true, true,
         "Camera: degrees about the vertical; 0 looks at the object's front (its +z side), more moves towards +x",
         false},
        {"elevation", true, true, "Camera: degrees above the horizontal, -90 to 90", false},
        {"zoom", true, true, "Camera: this many times closer than the framing puts it, 0.001 to 1000", false},
        {"fov", true, true, "Camera: vertical field of view in degrees, 0.5 to 170 (the framing keeps the size)",
         false},
        {"frame", false, true,
         "Framing: fill (the object fills 90% of the image) or sphere (the ball's view); default: sphere for the "
         "ball, fill for a model or the swatch",
         false},
        {"shot", false, true,
         "whole, or closeup: the middle of the object from close enough that a flake spans about 4 pixels", false},
        {"max-pixels", true, false, "Largest image, in pixels, the render allocates"},
        {"max-env-pixels", true, false, "Largest environment image, in pixels, --env reads"},
    };
    return kOptions;
}

bool setStageOption(Stage& stage, const std::string& key, const std::string& text, StageProblem& problem) {
    problem = StageProblem{key, text, ""};
    std::uint64_t whole = 0;
    if (key == "size") {
        if (!parseSize(text, stage.width, stage.height)) problem.reason = kSizeReason;
    } else if (key == "spp") {
        if (parseWhole(text, 1, kMaxSamplesPerPixel, whole))
            stage.samplesPerPixel = int(whole);
        else
            problem.reason = kSamplesReason;
    } else if (key == "seed") {
        if (!parseWhole(text, 0, UINT64_MAX, stage.seed))
            problem.reason = "expected a whole number from 0 to 18446744073709551615";
    } else if (key == "exposure" || key == "rotate") {
        // These messages never repeated the value.
        problem.value.clear();
        if (key == "rotate" && !parseFloat(text, stage.object.rotateDegrees)) problem.reason = kRotateReason;
        if (key == "exposure" &&
            (!parseFloat(text, stage.exposure) || !(stage.exposure >= -20.0f && stage.exposure <= 20.0f)))
            problem.reason = kExposureReason;
    } else if (key == "max-pixels" || key == "max-env-pixels") {
        const bool image = key == "max-pixels";
        const std::uint64_t largest = image ? kLargestMaxPixels : kLargestMaxEnvironmentPixels;
        if (parseWhole(text, 1, largest, whole))
            (image ? stage.bounds.maxPixels : stage.bounds.maxEnvironmentPixels) = whole;
        else
            problem.reason = "expected a whole number of pixels from 1 to " + std::to_string(largest);
    } else if (key == "env-lights") {
        if (text == "auto")
            stage.environmentLights = -1;
        else if (parseWhole(text, 0, kMaxEnvironmentLights, whole))
            stage.environmentLights = int(whole);
        else
            problem.reason = kEnvironmentLightsReason;
    } else if (key == "env-rotate") {
        problem.value.clear();
        if (!parseFloat(text, stage.environmentRotate)) problem.reason = kRotateReason;
    } else if (key == "floor") {
        if (isFloorName(text))
            stage.floor = text;
        else
            problem.reason = kFloorReason;
    } else if (key == "lights" || key == "shape") {
        (key == "lights" ? stage.lights : stage.object.shape) = text;
    } else if (key == "env" || key == "mesh") {
        if (text.empty())
            problem.reason = key == "env" ? std::string("expected the path of an .exr image or one of ") +
                                                builtinEnvironmentNames()
                                          : "expected the path of an .obj model";
        else
            (key == "env" ? stage.environmentFile : stage.object.meshFile) = text;
    } else if (isCameraOption(key)) {
        return setCameraOption(stage.camera, key, text, problem);
    } else {
        problem.reason = "not an option of the stage";
    }
    return problem.reason.empty();
}

std::string stageOptionText(const Stage& stage, const std::string& key) {
    if (key == "size") return sizeText(stage.width, stage.height);
    if (key == "spp") return std::to_string(stage.samplesPerPixel);
    if (key == "seed") return std::to_string(stage.seed);
    if (key == "exposure") return valueText(stage.exposure);
    if (key == "rotate") return valueText(stage.object.rotateDegrees);
    if (key == "max-pixels") return std::to_string(stage.bounds.maxPixels);
    if (key == "max-env-pixels") return std::to_string(stage.bounds.maxEnvironmentPixels);
    if (key == "lights") return stage.lights;
    if (key == "shape") return stage.object.shape;
    if (key == "env") return stage.environmentFile;
    if (key == "mesh") return stage.object.meshFile;
    if (key == "env-lights")
        return stage.environmentLights < 0 ? "auto" : std::to_string(stage.environmentLights);
    if (key == "env-rotate") return valueText(stage.environmentRotate);
    if (key == "floor") return stage.floor;
    if (isCameraOption(key)) return cameraOptionText(stage.camera, key);
    return "";
}

std::vector<std::string> Stage::arguments() const {
    const Stage defaults;
    std::vector<std::string> words;
    for (const StageOption& option : stageOptions()) {
        const std::string key = option.key;
        const std::string value = stageOptionText(*this, key);
        const bool always = key == "size" || key == "spp" || key == "lights";
        // A model names no shape; the ball is the shape without one.
        if (key == "shape" && !object.meshFile.empty()) continue;
        if (always || value != stageOptionText(defaults, key)) {
            words.push_back("--" + key);
            words.push_back(value);
        }
    }
    return words;
}

}  // namespace flakecoat::preview
