#ifndef FLAKECOAT_PREVIEW_LOOK_STAGE_H
#define FLAKECOAT_PREVIEW_LOOK_STAGE_H

// What the paint is seen on and how the image is taken: the painted object,
// the light rig, the environment, the image size, samples per pixel, the
// sample pattern's seed, the exposure of the PNG view, and the bounds that
// keep a size or an environment image from exhausting memory. One check,
// one build of the scene, and the command-line options that reproduce it.
// Messages name the command-line option ("--lights disco: ...").

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/exrReader.h"
#include "kernel/renderer.h"
#include "kernel/scene.h"
#include "meshes/paintedObject.h"

namespace flakecoat::preview {

// The bound on an image's pixels, raised by --max-pixels. An image takes
// about 20 bytes a pixel while it is made and written (linear RGBA floats,
// then the encoded file's pixels): 8192 x 8192 is some 1.3 GB. The
// environment's bound (--max-env-pixels) is the reader's.
constexpr std::uint64_t kDefaultMaxPixels = std::uint64_t(8192) * 8192;

struct StageBounds {
    std::uint64_t maxPixels = kDefaultMaxPixels;
    std::uint64_t maxEnvironmentPixels = kDefaultMaxEnvironmentPixels;
};

struct Stage {
    PaintedObject object;          // --shape, --mesh, --rotate
    std::string lights = "studio";  // --lights: a rig of lightRig()
    std::string environmentFile;   // --env; empty: the procedural sky
    int width = 512;               // --size
    int height = 512;
    int samplesPerPixel = 4;       // --spp
    std::uint64_t seed = 1;        // --seed
    float exposure = 0.0f;         // --exposure, in stops
    StageBounds bounds;            // --max-pixels, --max-env-pixels

    // Everything that can be known before reading a file: the size within
    // its bound, the samples, the rig, the exposure, the environment a
    // regular file, the object (a known shape, not both a shape and a
    // model, a finite turn and only for a model).
    bool check(std::string& error) const;

    // The environment: the sky, or the --env image read within its bound.
    bool readEnvironment(Environment& environment, std::string& error) const;
    // The scene around the object in this environment; a model that cannot
    // be read is reported with its file and line.
    std::optional<Scene> buildScene(Environment environment, std::string& error) const;
    std::optional<Scene> build(std::string& error) const;
    // The renderer's size, samples and seed (threads and the rest left as
    // RenderSettings has them).
    RenderSettings renderSettings() const;

    // The options that reproduce it: size, samples and rig always, the rest
    // where they differ from the defaults.
    std::vector<std::string> arguments() const;
};

// "640x480" into its sides, each from 1 to kMaxImageSide; error names --size.
constexpr int kMaxImageSide = 16384;
bool parseImageSize(const std::string& text, int& width, int& height, std::string& error);

}  // namespace flakecoat::preview

#endif
