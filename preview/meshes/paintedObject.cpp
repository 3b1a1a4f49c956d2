#include "meshes/paintedObject.h"

#include <utility>

#include "meshes/objLoader.h"
#include "meshes/paintSwatch.h"

namespace flakecoat::preview {

bool isShapeName(const std::string& name) { return name == "ball" || name == "swatch"; }

const char* shapeNames() { return "ball, swatch"; }

std::optional<Scene> paintedObjectScene(const PaintedObject& object, float aspect, std::vector<Light> lights,
                                        Environment environment, std::string& error,
                                        const std::atomic<bool>* cancel) {
    if (object.meshFile.empty() && object.shape == "ball")
        return shaderBallScene(aspect, std::move(lights), std::move(environment));
    TriangleMesh mesh;
    if (!object.meshFile.empty()) {
        if (!loadObjFile(object.meshFile, mesh, error, cancel)) return std::nullopt;
    } else if (object.shape == "swatch") {
        mesh = paintSwatch();
    } else {
        error = "no shape named " + object.shape + "; choose one of " + shapeNames();
        return std::nullopt;
    }
    std::shared_ptr<const MeshGeometry> model =
        MeshGeometry::build(std::move(mesh), object.rotateDegrees, error, cancel);
    if (!model) {
        error = (object.meshFile.empty() ? object.shape : object.meshFile) + ": " + error;
        return std::nullopt;
    }
    return modelScene(aspect, std::move(lights), std::move(environment), std::move(model));
}

}  // namespace flakecoat::preview
