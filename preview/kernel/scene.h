#ifndef FLAKECOAT_PREVIEW_KERNEL_SCENE_H
#define FLAKECOAT_PREVIEW_KERNEL_SCENE_H

// The preview scene: one painted object (the analytic ball or a triangle
// model), an optional ground plane shaded by the renderer itself, lights, an
// environment and the camera.

#include <limits>
#include <memory>
#include <vector>

#include "kernel/camera.h"
#include "kernel/environment.h"
#include "kernel/environmentLights.h"
#include "kernel/lights.h"
#include "kernel/meshGeometry.h"
#include "kernel/shapes.h"

namespace flakecoat::preview {

// Offset along a surface normal that keeps secondary rays off the surface
// they start from, for the shader ball's scene, a few units across.
constexpr float kRayEpsilon = 1e-3f;

struct Scene {
    Camera camera;
    // The painted ball; with a model, the model's enclosing sphere (its
    // size and place; the ground's sky is hidden by the model itself).
    Sphere ball;
    bool hasGround = true;
    Plane ground;
    std::vector<Light> lights;
    Environment environment;
    // When set, the painted object in place of the ball.
    std::shared_ptr<const MeshGeometry> model;
    // Lengths that follow the painted object's size: the offset of
    // secondary rays and the side of the ground's checker squares.
    float rayEpsilon = kRayEpsilon;
    float groundTile = 1.0f;
    // The environment's light as directional lights (none: the environment
    // lights only through reflections and the ground's sky term).
    EnvironmentLights environmentLights;
    // The ground shows the backdrop darkened by the object's shadow only.
    bool shadowCatcher = false;
};

// The shader ball and the view that frames it: the eye and the point it
// looks at, and the vertical field of view in degrees. Around a model they
// keep their places relative to its enclosing sphere.
constexpr Vec3 kBallCentre{0.0f, 1.0f, 0.0f};
constexpr Vec3 kBallEye{0.0f, 1.9f, 6.2f};
constexpr Vec3 kBallTarget{0.0f, 0.8f, 0.0f};
constexpr float kBallFov = 28.0f;

// The ball's view moved to the same place around `sphere` (the camera of
// both scenes below).
Camera ballViewCamera(const Sphere& sphere, float aspect);

enum class HitObject { None, Painted, Ground };

// Normals are unit. On the ball both are its outward normal; on a model
// they are a MeshHit's (on the side the ray came from); on the ground both
// face the ray. (u, v) are the painted object's texture coordinates.
struct Hit {
    HitObject object = HitObject::None;
    float t = 0.0f;
    Vec3 point;
    Vec3 normal;  // the shading normal
    Vec3 geometricNormal;
    float u = 0.0f;
    float v = 0.0f;
};

// The nearest surface along the ray in (rayEpsilon, tMax).
Hit intersectScene(const Scene& scene, const Ray& ray,
                   float tMax = std::numeric_limits<float>::infinity());
// The same for `count` (at most kRayBundleSize) neighbouring rays at once,
// with no bound beyond: hits[i] is exactly intersectScene(scene, rays[i]).
void intersectScene(const Scene& scene, const Ray* rays, int count, Hit* hits);

// Whether anything lies on the ray in (0, maxDistance), exclusive of a
// rayEpsilon band at both ends.
bool occluded(const Scene& scene, const Ray& ray, float maxDistance);

// The default shader ball: a unit ball resting on the plane y = 0 with its
// centre at (0, 1, 0), seen from the front and slightly above, framed for an
// image of the given aspect ratio (width / height); the lights are placed
// around it (see lightRig).
Scene shaderBallScene(float aspect, std::vector<Light> lights, Environment environment);

// The same scene around a model, the model's enclosing sphere in the ball's
// place: camera and lights keep their places relative to that sphere,
// scaled by its radius (light intensities by the radius squared, so that
// they deliver at the model what they deliver at the ball); the ground lies
// under the model's lowest point; the ray offset and checker squares scale
// with the radius. A model whose enclosing sphere is the ball's is seen and
// lit as the ball is.
Scene modelScene(float aspect, std::vector<Light> lights, Environment environment,
                 std::shared_ptr<const MeshGeometry> model);

}  // namespace flakecoat::preview

#endif
