#include "look/stage.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

#include "kernel/lights.h"

namespace flakecoat::preview {

namespace {

constexpr int kMaxSamplesPerPixel = 4096;

bool parseSide(const std::string& text, int& side) {
    if (text.empty() || text.size() > 6) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    side = std::atoi(text.c_str());
    return side >= 1 && side <= kMaxImageSide;
}

std::string formatValue(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

bool fail(std::string& error, const std::string& message) {
    error = message;
    return false;
}

bool checkObject(const PaintedObject& object, std::string& error) {
    if (!isShapeName(object.shape)) return fail(error, "--shape " + object.shape + ": choose one of " + shapeNames());
    if (!object.meshFile.empty() && object.shape != "ball")
        return fail(error,
                    "--mesh " + object.meshFile + ": give either --mesh or --shape " + object.shape + ", not both");
    if (!std::isfinite(object.rotateDegrees)) return fail(error, "--rotate: expected a finite number of degrees");
    if (object.rotateDegrees != 0.0f && object.meshFile.empty() && object.shape == "ball")
        return fail(error, "--rotate: turns a model (--mesh or --shape swatch); the ball needs no turning");
    return true;
}

bool checkEnvironmentFile(const std::string& path, std::string& error) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        const std::string reason = errno == ENOENT ? "no such file" : std::strerror(errno);
        return fail(error, "--env " + path + ": " + reason);
    }
    if (!S_ISREG(status.st_mode))
        return fail(error, "--env " + path + ": " +
                               (S_ISDIR(status.st_mode) ? "it is a directory" : "it is not a regular file"));
    return true;
}

}  // namespace

bool parseImageSize(const std::string& text, int& width, int& height, std::string& error) {
    const std::string::size_type x = text.find('x');
    if (x == std::string::npos || !parseSide(text.substr(0, x), width) || !parseSide(text.substr(x + 1), height))
        return fail(error, "--size " + text + ": expected WIDTHxHEIGHT, each from 1 to " + std::to_string(kMaxImageSide));
    return true;
}

bool Stage::check(std::string& error) const {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide)
        return fail(error, "--size " + size + ": expected WIDTHxHEIGHT, each from 1 to " + std::to_string(kMaxImageSide));
    const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height);
    if (pixels > bounds.maxPixels)
        return fail(error, "--size " + size + ": " + std::to_string(pixels) + " pixels is over the bound of " +
                               std::to_string(bounds.maxPixels) +
                               " pixels (--max-pixels raises it; each pixel takes about 20 bytes)");
    if (samplesPerPixel < 1 || samplesPerPixel > kMaxSamplesPerPixel)
        return fail(error, "--spp " + std::to_string(samplesPerPixel) + ": expected 1 to " +
                               std::to_string(kMaxSamplesPerPixel) + " samples per pixel");
    std::vector<Light> rig;
    if (!lightRig(lights, rig))
        return fail(error, "--lights " + lights + ": unknown rig; choose one of " + lightRigNames());
    if (!(exposure >= -20.0f && exposure <= 20.0f)) return fail(error, "--exposure: expected -20 to 20 stops");
    if (!environmentFile.empty() && !checkEnvironmentFile(environmentFile, error)) return false;
    return checkObject(object, error);
}

bool Stage::readEnvironment(Environment& environment, std::string& error) const {
    environment = Environment();
    if (environmentFile.empty()) return true;
    LatLongImage image;
    if (!readLatLongExr(environmentFile, image, error, bounds.maxEnvironmentPixels)) {
        error = "--env " + error;
        return false;
    }
    environment = Environment(std::move(image));
    return true;
}

std::optional<Scene> Stage::buildScene(Environment environment, std::string& error) const {
    std::vector<Light> rig;
    lightRig(lights, rig);
    std::optional<Scene> scene =
        paintedObjectScene(object, float(width) / float(height), std::move(rig), std::move(environment), error);
    if (!scene && !object.meshFile.empty()) error = "--mesh " + error;
    return scene;
}

std::optional<Scene> Stage::build(std::string& error) const {
    Environment environment;
    if (!readEnvironment(environment, error)) return std::nullopt;
    return buildScene(std::move(environment), error);
}

RenderSettings Stage::renderSettings() const {
    RenderSettings settings;
    settings.width = width;
    settings.height = height;
    settings.samplesPerPixel = samplesPerPixel;
    settings.seed = seed;
    return settings;
}

std::vector<std::string> Stage::arguments() const {
    const Stage defaults;
    std::vector<std::string> words = {"--size", std::to_string(width) + "x" + std::to_string(height),
                                      "--spp",  std::to_string(samplesPerPixel),
                                      "--lights", lights};
    const auto add = [&words](const char* option, const std::string& value) {
        words.push_back(option);
        words.push_back(value);
    };
    if (!object.meshFile.empty()) add("--mesh", object.meshFile);
    if (object.meshFile.empty() && object.shape != defaults.object.shape) add("--shape", object.shape);
    if (object.rotateDegrees != 0.0f) add("--rotate", formatValue(object.rotateDegrees));
    if (!environmentFile.empty()) add("--env", environmentFile);
    if (exposure != 0.0f) add("--exposure", formatValue(exposure));
    if (seed != defaults.seed) add("--seed", std::to_string(seed));
    if (bounds.maxPixels != defaults.bounds.maxPixels) add("--max-pixels", std::to_string(bounds.maxPixels));
    if (bounds.maxEnvironmentPixels != defaults.bounds.maxEnvironmentPixels)
        add("--max-env-pixels", std::to_string(bounds.maxEnvironmentPixels));
    return words;
}

}  // namespace flakecoat::preview
