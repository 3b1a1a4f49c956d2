#include "kernel/scene.h"

#include <utility>

namespace flakecoat::preview {

Hit intersectScene(const Scene& scene, const Ray& ray, float tMax) {
    Hit hit;
    float t;
    if (intersect(scene.ball, ray, kRayEpsilon, tMax, t)) {
        hit.object = HitObject::Ball;
        hit.t = t;
        tMax = t;
    }
    if (scene.hasGround && intersect(scene.ground, ray, kRayEpsilon, tMax, t)) {
        hit.object = HitObject::Ground;
        hit.t = t;
    }
    if (hit.object == HitObject::None) return hit;
    hit.point = ray.at(hit.t);
    if (hit.object == HitObject::Ball) {
        hit.normal = sphereNormal(scene.ball, hit.point);
    } else {
        const Vec3 n = scene.ground.normal;
        hit.normal = dot(n, ray.direction) < 0.0f ? n : -n;
    }
    return hit;
}

bool occluded(const Scene& scene, const Ray& ray, float maxDistance) {
    const float tMax = maxDistance - kRayEpsilon;
    float t;
    if (intersect(scene.ball, ray, kRayEpsilon, tMax, t)) return true;
    return scene.hasGround && intersect(scene.ground, ray, kRayEpsilon, tMax, t);
}

Scene shaderBallScene(float aspect, std::vector<Light> lights, Environment environment) {
    Scene scene{Camera({0.0f, 1.9f, 6.2f}, {0.0f, 0.8f, 0.0f}, {0.0f, 1.0f, 0.0f}, 28.0f, aspect),
                Sphere{{0.0f, 1.0f, 0.0f}, 1.0f},
                true,
                Plane{{0.0f, 1.0f, 0.0f}, 0.0f},
                std::move(lights),
                std::move(environment)};
    return scene;
}

}  // namespace flakecoat::preview
