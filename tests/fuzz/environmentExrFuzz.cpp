// Environment images: any bytes as an EXR file, read as `flakecoat render
// --env` reads one (through OpenEXR, header first, under a bound), then
// looked up as the renderer looks it up.

#include <cstdint>

#include "image/exrReader.h"
#include "kernel/environment.h"

namespace fp = flakecoat::preview;

// A bound well under the tool's keeps each run quick; the checks are the same.
constexpr std::uint64_t kMaxPixels = std::uint64_t(1) << 16;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fp::LatLongImage image;
    std::string error;
    if (!fp::readLatLongExrBytes(reinterpret_cast<const char*>(data), size, "fuzz.exr", image, error, kMaxPixels))
        return 0;
    const fp::Environment environment(std::move(image));
    const fp::Vec3 directions[] = {{0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {-0.6f, 0.48f, 0.64f}};
    for (const fp::Vec3& d : directions) (void)environment.lookup(d);
    return 0;
}
