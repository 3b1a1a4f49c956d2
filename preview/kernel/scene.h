#ifndef FLAKECOAT_PREVIEW_KERNEL_SCENE_H
#define FLAKECOAT_PREVIEW_KERNEL_SCENE_H

// The preview scene: one painted ball, an optional ground plane shaded by
// the renderer itself, lights, an environment and the camera.

#include <limits>
#include <vector>

#include "kernel/camera.h"
#include "kernel/environment.h"
#include "kernel/lights.h"
#include "kernel/shapes.h"

namespace flakecoat::preview {

struct Scene {
    Camera camera;
    Sphere ball;
    bool hasGround = true;
    Plane ground;
    std::vector<Light> lights;
    Environment environment;
};

enum class HitObject { None, Ball, Ground };

struct Hit {
    HitObject object = HitObject::None;
    float t = 0.0f;
    Vec3 point;
    Vec3 normal;  // unit; the ball's outward normal, the ground's facing the ray
};

// Offset along a surface normal that keeps secondary rays off the surface
// they start from; the scene is a few units across.
constexpr float kRayEpsilon = 1e-3f;

// The nearest surface along the ray in (kRayEpsilon, tMax).
Hit intersectScene(const Scene& scene, const Ray& ray,
                   float tMax = std::numeric_limits<float>::infinity());

// Whether anything lies on the ray in (0, maxDistance), exclusive of a
// kRayEpsilon band at both ends.
bool occluded(const Scene& scene, const Ray& ray, float maxDistance);

// The default shader ball: a unit ball resting on the plane y = 0 at the
// origin, seen from the front and slightly above, framed for an image of the
// given aspect ratio (width / height).
Scene shaderBallScene(float aspect, std::vector<Light> lights, Environment environment);

}  // namespace flakecoat::preview

#endif
