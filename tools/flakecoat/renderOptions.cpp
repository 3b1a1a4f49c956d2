#include "renderOptions.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <sys/stat.h>

#include "inputEcho.h"
#include "kernel/lights.h"
#include "objectOptions.h"

namespace {

// Sides beyond this are almost surely a typo; the pixel count has its own
// bound (options.maxPixels).
constexpr int kMaxSide = 16384;
constexpr int kMaxSamplesPerPixel = 4096;
constexpr int kMaxThreads = 1024;

bool parseSide(const std::string& text, int& side) {
    if (text.empty() || text.size() > 6) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    side = std::atoi(text.c_str());
    return side >= 1 && side <= kMaxSide;
}

bool hasImageExtension(const std::string& path) {
    const std::string::size_type dot = path.rfind('.');
    const std::string::size_type slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    std::string extension = path.substr(dot);
    for (char& c : extension) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension == ".png" || extension == ".exr";
}

}  // namespace

std::string outputPathForHost(const std::string& out, const std::string& host) {
    const std::string::size_type dot = out.rfind('.');
    const std::string::size_type slash = out.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return out + "-" + host;
    return out.substr(0, dot) + "-" + host + out.substr(dot);
}

bool parseImageSize(const std::string& text, int& width, int& height, std::string& error) {
    const std::string::size_type x = text.find('x');
    if (x == std::string::npos || !parseSide(text.substr(0, x), width) || !parseSide(text.substr(x + 1), height)) {
        error = "--size " + flakecoat::echoInput(text) + ": expected WIDTHxHEIGHT, each from 1 to " + std::to_string(kMaxSide);
        return false;
    }
    return true;
}

bool planRender(const RenderOptions& options, RenderPlan& plan, std::string& error) {
    plan = RenderPlan();
    if (options.host == "both") {
        plan.hosts = {"maya", "mentalray"};
    } else if (options.host == "maya" || options.host == "mentalray") {
        plan.hosts = {options.host};
    } else {
        error = "--host " + flakecoat::echoInput(options.host) + ": expected maya, mentalray or both";
        return false;
    }

    if (!parseImageSize(options.size, plan.width, plan.height, error)) return false;
    const std::uint64_t pixels = std::uint64_t(plan.width) * std::uint64_t(plan.height);
    if (pixels > options.maxPixels) {
        error = "--size " + flakecoat::echoInput(options.size) + ": " + std::to_string(pixels) + " pixels is over the bound of " +
                std::to_string(options.maxPixels) + " pixels (--max-pixels raises it; each pixel takes about 20 bytes)";
        return false;
    }
    if (options.samplesPerPixel < 1 || options.samplesPerPixel > kMaxSamplesPerPixel) {
        error = "--spp " + std::to_string(options.samplesPerPixel) + ": expected 1 to " +
                std::to_string(kMaxSamplesPerPixel) + " samples per pixel";
        return false;
    }
    if (options.threads < 0 || options.threads > kMaxThreads) {
        error = "--threads " + std::to_string(options.threads) + ": expected 1 to " + std::to_string(kMaxThreads) +
                ", or 0 for every core";
        return false;
    }
    errno = 0;
    char* end = nullptr;
    plan.seed = std::strtoull(options.seed.c_str(), &end, 10);
    if (options.seed.empty() || options.seed.find_first_not_of("0123456789") != std::string::npos || errno != 0 ||
        *end != '\0') {
        error = "--seed " + flakecoat::echoInput(options.seed) + ": expected a whole number from 0 to 18446744073709551615";
        return false;
    }
    std::vector<flakecoat::preview::Light> rig;
    if (!flakecoat::preview::lightRig(options.lights, rig)) {
        error = "--lights " + flakecoat::echoInput(options.lights) + ": unknown rig; choose one of " +
                flakecoat::preview::lightRigNames();
        return false;
    }
    if (!(options.exposure >= -20.0f && options.exposure <= 20.0f)) {
        error = "--exposure: expected -20 to 20 stops";
        return false;
    }
    if (!options.environmentFile.empty()) {
        struct stat status;
        if (stat(options.environmentFile.c_str(), &status) != 0) {
            const std::string reason = errno == ENOENT ? "no such file" : std::strerror(errno);
            error = "--env " + options.environmentFile + ": " + reason;
            return false;
        }
        if (!S_ISREG(status.st_mode)) {
            error = "--env " + options.environmentFile + ": " +
                    (S_ISDIR(status.st_mode) ? "it is a directory" : "it is not a regular file");
            return false;
        }
    }
    if (!checkPaintedObject(options.object, error)) return false;
    if (!hasImageExtension(options.out)) {
        error = "--out " + options.out + ": the file name must end in .png or .exr";
        return false;
    }
    for (const std::string& host : plan.hosts)
        plan.outputs.push_back(plan.hosts.size() == 1 ? options.out : outputPathForHost(options.out, host));
    if (plan.hosts.size() > 1) plan.sideBySide = outputPathForHost(options.out, "both");
    return true;
}
