#ifndef FLAKECOAT_PREVIEW_LOOK_STAGE_H
#define FLAKECOAT_PREVIEW_LOOK_STAGE_H

// What the paint is seen on and how the image is taken: the painted object,
// the light rig, the environment, the image size, samples per pixel, the
// sample pattern's seed, the exposure of the PNG view, and the bounds that
// keep a size or an environment image from exhausting memory. One check,
// one build of the scene, and the options that reproduce it.
//
// Every part has an option key, the command line's name without "--"
// ("size", "lights", ...), and is read from text the same way wherever it
// comes from: the command line, the viewer, a look file. A problem is one
// wording, StageProblem, that each of them prefixes its own way.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/exrReader.h"
#include "kernel/renderer.h"
#include "kernel/scene.h"
#include "look/stageCamera.h"
#include "meshes/paintedObject.h"

namespace flakecoat::preview {

// The bound on an image's pixels, raised by --max-pixels. An image takes
// about 20 bytes a pixel while it is made and written (linear RGBA floats,
// then the encoded file's pixels): 8192 x 8192 is some 1.3 GB. The
// environment's bound (--max-env-pixels) is the reader's.
constexpr std::uint64_t kDefaultMaxPixels = std::uint64_t(8192) * 8192;
constexpr int kMaxImageSide = 16384;
// No size can ask for more than the largest sides allow; an environment
// beyond 2^32 pixels (48 GB once read) is no bound at all.
constexpr std::uint64_t kLargestMaxPixels = std::uint64_t(kMaxImageSide) * kMaxImageSide;
constexpr std::uint64_t kLargestMaxEnvironmentPixels = std::uint64_t(1) << 32;
// Environment lights: the default (see the README for the measurement
// behind it) and the most a stage may ask for.
constexpr int kDefaultEnvironmentLights = 64;
constexpr int kMaxEnvironmentLights = 1024;

struct StageBounds {
    std::uint64_t maxPixels = kDefaultMaxPixels;
    std::uint64_t maxEnvironmentPixels = kDefaultMaxEnvironmentPixels;
    // What the size message suggests beyond the bound.
    std::string pixelsHint = "--max-pixels raises it; each pixel takes about 20 bytes";
};

struct StageProblem {
    std::string key;     // the option: "lights"
    std::string value;   // as given; empty where the message does not repeat it
    std::string reason;  // "unknown rig; choose one of studio, softbox, sun"
};

// "--lights disco: unknown rig; ..." (or "--rotate: ..." without a value).
std::string onCommandLine(const StageProblem& problem);

struct Stage {
    PaintedObject object;           // shape, mesh, rotate
    std::string lights = "studio";  // a rig of lightRig()
    std::string environmentFile;    // env; empty: the procedural sky; or a built-in's name
    // env-lights: directional lights made of the environment; -1: the
    // default, kDefaultEnvironmentLights for an image or built-in or when
    // the rig is none, else 0 (the sky lights only the ground, as a term).
    int environmentLights = -1;
    float environmentRotate = 0.0f;  // env-rotate, degrees about the vertical
    std::string floor = "checker";   // checker, none or shadow (a shadow catcher)
    int width = 512;                // size
    int height = 512;
    int samplesPerPixel = 4;        // spp
    std::uint64_t seed = 1;
    float exposure = 0.0f;          // in stops
    StageBounds bounds;             // max-pixels, max-env-pixels
    StageCamera camera;             // orbit, elevation, zoom, fov, frame, shot

    // Everything that can be known before reading a file: each part in its
    // range, the size within its bound, a known rig, the environment a
    // regular file, the object (not both a shape and a model, a turn only
    // for a model).
    std::optional<StageProblem> problem() const;
    // The same as a command-line message.
    bool check(std::string& error) const;

    // The number of environment lights the scene gets.
    int effectiveEnvironmentLights() const;

    // The environment: the sky, a built-in, or the environment image read
    // within its bound (unturned: buildScene turns it).
    bool readEnvironment(Environment& environment, std::string& error) const;
    // The scene around the object in this environment (turned, made into
    // lights, the floor set as the stage says); a model that cannot
    // be read is reported with its file and line. Reading and building a
    // model stop soon after `cancel` is raised (error "...: interrupted").
    std::optional<Scene> buildScene(Environment environment, std::string& error,
                                    const std::atomic<bool>* cancel = nullptr) const;
    std::optional<Scene> build(std::string& error, const std::atomic<bool>* cancel = nullptr) const;
    // The camera for a look: a close-up frames that look's flakes. The
    // scene buildScene gives has the camera for the defaults' flakes.
    Camera aim(const Scene& scene, const Look& look) const;
    // The renderer's size, samples and seed (threads and the rest left as
    // RenderSettings has them).
    RenderSettings renderSettings() const;

    // The options that reproduce it: size, samples and rig always, the rest
    // where they differ from the defaults.
    std::vector<std::string> arguments() const;
};

struct StageOption {
    const char* key;
    bool numeric;       // a number in a look file (size is text: "640x480")
    bool inLookFiles;   // bounds are the command's, never a file's
    const char* help;
    // In a look file even at its default (the camera's parts are not, so
    // a look saved with the default view reads as before they were).
    bool writtenWhenDefault = true;
};
// Every option, in the order commands list them.
const std::vector<StageOption>& stageOptions();

// Sets one part from its text, checked as far as the text alone tells: a
// number of the right kind in its range, a path that is not empty.
bool setStageOption(Stage& stage, const std::string& key, const std::string& text, StageProblem& problem);
// The part as that text.
std::string stageOptionText(const Stage& stage, const std::string& key);

}  // namespace flakecoat::preview

#endif
