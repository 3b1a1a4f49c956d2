// OBJ models: any text parsed as `flakecoat render --mesh` parses a file,
// read and assembled into a mesh ready to shade; a model that parses is then
// placed in its scene (turned, as --rotate turns it) and traced by a few eye
// and shadow rays, where the ray-tracing library checks what it is given.

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

#include "kernel/lights.h"
#include "kernel/meshGeometry.h"
#include "kernel/scene.h"
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
    if (!fp::parseObj(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.obj", mesh, error, limits)) {
        // However long a token, a message quotes a short prefix of it
        if (error.size() > 512) std::abort();
        return 0;
    }

    std::shared_ptr<const fp::MeshGeometry> model = fp::MeshGeometry::build(std::move(mesh), 30.0f, error);
    if (!model) return 0;
    std::vector<fp::Light> lights;
    fp::lightRig("studio", lights);
    const fp::Scene scene = fp::modelScene(1.0f, std::move(lights), fp::Environment(), model);
    for (int i = 0; i < 16; ++i) {
        const fp::Ray eye = scene.camera.primaryRay((float(i % 4) + 0.5f) / 4.0f, (float(i / 4) + 0.5f) / 4.0f);
        const fp::Hit hit = fp::intersectScene(scene, eye);
        if (hit.object == fp::HitObject::None) continue;
        const fp::Vec3 towardsLight = scene.lights.front().position - hit.point;
        fp::occluded(scene, fp::Ray{hit.point, fp::normalize(towardsLight)}, fp::length(towardsLight));
    }
    return 0;
}
