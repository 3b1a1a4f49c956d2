#include "kernel/scene.h"

#include <utility>

namespace flakecoat::preview {

namespace {

// A point of the ball's scene moved to the same place around `sphere`.
Vec3 aroundSphere(const Vec3& point, const Sphere& sphere) {
    return sphere.center + (point - kBallCentre) * sphere.radius;
}

// The nearest surface along the ray in (rayEpsilon, tMax), given what the
// ray meets of a model (modelHit, null for none); the ball is intersected
// here.
Hit nearestHit(const Scene& scene, const Ray& ray, float tMax, const MeshHit* modelHit) {
    Hit hit;
    float t;
    if (scene.model) {
        if (modelHit) {
            hit.object = HitObject::Painted;
            hit.t = modelHit->t;
            tMax = modelHit->t;
        }
    } else if (intersect(scene.ball, ray, scene.rayEpsilon, tMax, t)) {
        hit.object = HitObject::Painted;
        hit.t = t;
        tMax = t;
    }
    if (scene.hasGround && intersect(scene.ground, ray, scene.rayEpsilon, tMax, t)) {
        hit.object = HitObject::Ground;
        hit.t = t;
    }

    switch (hit.object) {
        case HitObject::None:
            break;
        case HitObject::Painted:
            if (scene.model) {
                hit.point = modelHit->point;
                hit.normal = modelHit->shadingNormal;
                hit.geometricNormal = modelHit->geometricNormal;
                hit.u = modelHit->u;
                hit.v = modelHit->v;
            } else {
                hit.point = ray.at(hit.t);
                hit.normal = hit.geometricNormal = sphereNormal(scene.ball, hit.point);
                sphereUv(hit.normal, hit.u, hit.v);
            }
            break;
        case HitObject::Ground: {
            hit.point = ray.at(hit.t);
            const Vec3 n = scene.ground.normal;
            hit.normal = hit.geometricNormal = dot(n, ray.direction) < 0.0f ? n : -n;
            break;
        }
    }
    return hit;
}

}  // namespace

Hit intersectScene(const Scene& scene, const Ray& ray, float tMax) {
    MeshHit modelHit;
    const bool onModel = scene.model && scene.model->intersect(ray, scene.rayEpsilon, tMax, modelHit);
    return nearestHit(scene, ray, tMax, onModel ? &modelHit : nullptr);
}

void intersectScene(const Scene& scene, const Ray* rays, int count, Hit* hits) {
    constexpr float tMax = std::numeric_limits<float>::infinity();
    if (!scene.model) {
        for (int i = 0; i < count; ++i) hits[i] = nearestHit(scene, rays[i], tMax, nullptr);
        return;
    }
    MeshHit modelHits[kRayBundleSize];
    bool onModel[kRayBundleSize];
    scene.model->intersectBundle(rays, count, scene.rayEpsilon, tMax, modelHits, onModel);
    for (int i = 0; i < count; ++i) hits[i] = nearestHit(scene, rays[i], tMax, onModel[i] ? &modelHits[i] : nullptr);
}

bool occluded(const Scene& scene, const Ray& ray, float maxDistance) {
    const float tMin = scene.rayEpsilon;
    const float tMax = maxDistance - scene.rayEpsilon;
    float t;
    if (scene.model ? scene.model->occluded(ray, tMin, tMax) : intersect(scene.ball, ray, tMin, tMax, t))
        return true;
    return scene.hasGround && intersect(scene.ground, ray, tMin, tMax, t);
}

Camera ballViewCamera(const Sphere& sphere, float aspect) {
    return Camera(aroundSphere(kBallEye, sphere), aroundSphere(kBallTarget, sphere), {0.0f, 1.0f, 0.0f}, kBallFov,
                  aspect);
}

Scene shaderBallScene(float aspect, std::vector<Light> lights, Environment environment) {
    Scene scene{Camera(kBallEye, kBallTarget, {0.0f, 1.0f, 0.0f}, kBallFov, aspect),
                Sphere{kBallCentre, 1.0f},
                true,
                Plane{{0.0f, 1.0f, 0.0f}, 0.0f},
                std::move(lights),
                std::move(environment),
                nullptr,
                kRayEpsilon,
                1.0f,
                {},
                false};
    return scene;
}

Scene modelScene(float aspect, std::vector<Light> lights, Environment environment,
                 std::shared_ptr<const MeshGeometry> model) {
    const Sphere bounds = model->enclosingSphere();
    const float scale = bounds.radius;
    for (Light& light : lights) {
        light.position = aroundSphere(light.position, bounds);
        light.edgeU = light.edgeU * scale;
        light.edgeV = light.edgeV * scale;
        // Directional and ambient light do not fall off with distance.
        if (light.kind == LightKind::Point || light.kind == LightKind::Area) light.intensity *= scale * scale;
    }
    Scene scene{ballViewCamera(bounds, aspect),
                bounds,
                true,
                Plane{{0.0f, 1.0f, 0.0f}, model->lowestPoint()},
                std::move(lights),
                std::move(environment),
                std::move(model),
                kRayEpsilon * scale,
                scale,
                {},
                false};
    return scene;
}

}  // namespace flakecoat::preview
