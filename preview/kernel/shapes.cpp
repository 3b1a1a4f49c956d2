#include "kernel/shapes.h"

#include <algorithm>
#include <cmath>

namespace flakecoat::preview {

namespace {
constexpr float kPi = 3.14159265358979f;
}

bool intersect(const Sphere& sphere, const Ray& ray, float tMin, float tMax, float& t) {
    // Solve |o + t d - c|^2 = r^2 with |d| = 1: t = b -+ sqrt(b^2 - c). The
    // discriminant is formed as r^2 - |oc - b d|^2, which keeps its precision
    // for rays passing far from the centre.
    const Vec3 oc = ray.origin - sphere.center;
    const float b = -dot(oc, ray.direction);
    const Vec3 closest = oc + ray.direction * b;
    const float discriminant = sphere.radius * sphere.radius - dot(closest, closest);
    if (discriminant < 0.0f) return false;
    const float root = std::sqrt(discriminant);
    const float near = b - root;
    if (near > tMin && near < tMax) {
        t = near;
        return true;
    }
    const float far = b + root;
    if (far > tMin && far < tMax) {
        t = far;
        return true;
    }
    return false;
}

bool intersect(const Plane& plane, const Ray& ray, float tMin, float tMax, float& t) {
    const float denominator = dot(plane.normal, ray.direction);
    if (denominator == 0.0f) return false;  // parallel: never meets it
    const float hit = (plane.offset - dot(plane.normal, ray.origin)) / denominator;
    if (!(hit > tMin && hit < tMax)) return false;
    t = hit;
    return true;
}

Vec3 sphereNormal(const Sphere& sphere, const Vec3& point) { return normalize(point - sphere.center); }

void sphereUv(const Vec3& n, float& u, float& v) {
    u = 0.5f + std::atan2(n.x, n.z) / (2.0f * kPi);
    v = 0.5f + std::asin(std::clamp(n.y, -1.0f, 1.0f)) / kPi;
}

}  // namespace flakecoat::preview
