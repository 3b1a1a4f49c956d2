#ifndef FLAKECOAT_PREVIEW_MESHES_PAINTED_OBJECT_H
#define FLAKECOAT_PREVIEW_MESHES_PAINTED_OBJECT_H

// What carries the paint: the analytic shader ball, a built-in shape or
// the user's OBJ model, and the scene built around it.

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "kernel/scene.h"

namespace flakecoat::preview {

struct PaintedObject {
    std::string shape = "ball";  // ball or swatch; ignored when meshFile is set
    std::string meshFile;        // an OBJ model
    float rotateDegrees = 0.0f;  // about the vertical through the model's centre
};

bool isShapeName(const std::string& name);
const char* shapeNames();  // for messages: "ball, swatch"

// The scene around the object: the shader-ball scene for the ball, the
// model scene (see modelScene) for a shape or a model. Empty with error set
// when the model cannot be read or built; the error names the file and
// line where there is one. Reading and building a model stop soon after
// `cancel` is raised (error "...: interrupted").
std::optional<Scene> paintedObjectScene(const PaintedObject& object, float aspect, std::vector<Light> lights,
                                        Environment environment, std::string& error,
                                        const std::atomic<bool>* cancel = nullptr);

}  // namespace flakecoat::preview

#endif
