#ifndef FLAKECOAT_TOOLS_RENDER_OPTIONS_H
#define FLAKECOAT_TOOLS_RENDER_OPTIONS_H

#include <cstdint>
#include <string>
#include <vector>

#include "image/exrReader.h"
#include "meshes/paintedObject.h"

// The bound on an image's pixels, raised by --max-pixels. An image takes
// about 20 bytes a pixel while it is made and written (linear RGBA floats,
// then the encoded file's pixels): 8192 x 8192 is some 1.3 GB. The
// environment's bound (--max-env-pixels) is the reader's.
constexpr std::uint64_t kDefaultMaxPixels = std::uint64_t(8192) * 8192;

// The options of `flakecoat render`, as given on the command line.
struct RenderOptions {
    std::string host = "both";       // maya, mentalray or both
    std::string out = "shaderball.png";
    std::string size = "512x512";
    int samplesPerPixel = 4;
    int threads = 0;                 // 0: every core
    std::vector<std::string> sets;   // NAME=VALUE
    std::string environmentFile;     // empty: the procedural sky
    std::string lights = "studio";
    std::string seed = "1";
    float exposure = 0.0f;
    std::uint64_t maxPixels = kDefaultMaxPixels;
    std::uint64_t maxEnvironmentPixels = flakecoat::preview::kDefaultMaxEnvironmentPixels;
    flakecoat::preview::PaintedObject object;  // --shape, --mesh, --rotate
};

// The checked form: sizes parsed, one output path per host.
struct RenderPlan {
    int width = 0;
    int height = 0;
    std::uint64_t seed = 1;
    std::vector<std::string> hosts;
    std::vector<std::string> outputs;  // parallel to hosts
    std::string sideBySide;            // with both hosts: NAME-both.EXT, the two images side by side
};

// Checks everything that can be checked without loading a host and fills
// the plan; on failure error is the message to print.
bool planRender(const RenderOptions& options, RenderPlan& plan, std::string& error);

// "640x480" into its sides; error names --size.
bool parseImageSize(const std::string& text, int& width, int& height, std::string& error);

// "out/ball.png" for host maya with two hosts: "out/ball-maya.png"; for
// host "both", the side-by-side image: "out/ball-both.png".
std::string outputPathForHost(const std::string& out, const std::string& host);

#endif
