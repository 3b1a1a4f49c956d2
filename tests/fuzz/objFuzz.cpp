// OBJ models: any text parsed as `flakecoat render --mesh` parses a file,
// checked line by line and assembled into a mesh ready to shade.

#include <cstdint>
#include <string_view>

#include "meshes/objLoader.h"

namespace fp = flakecoat::preview;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Bounds well under the tool's keep each run quick; the checks are the same.
    fp::ObjLimits limits;
    limits.maxTriangles = 1 << 12;
    limits.maxElements = 1 << 12;
    limits.maxSplitWork = 1 << 20;
    fp::TriangleMesh mesh;
    std::string error;
    fp::parseObj(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.obj", mesh, error, limits);
    return 0;
}
