#ifndef FLAKECOAT_PREVIEW_KERNEL_SHAPES_H
#define FLAKECOAT_PREVIEW_KERNEL_SHAPES_H

// Rays and the two shapes of the shader-ball scene.

#include "kernel/vec3.h"

namespace flakecoat::preview {

// direction is unit length; points on the ray are origin + t * direction.
struct Ray {
    Vec3 origin;
    Vec3 direction;
    Vec3 at(float t) const { return origin + direction * t; }
};

struct Sphere {
    Vec3 center;
    float radius = 1.0f;
};

// The plane of points p with dot(p, normal) == offset; normal is unit and
// the plane is seen from either side.
struct Plane {
    Vec3 normal{0.0f, 1.0f, 0.0f};
    float offset = 0.0f;
};

// The nearest t in (tMin, tMax) where the ray meets the shape, or false. A
// ray starting inside the sphere meets its far side; a ray grazing it
// (tangent) counts as a hit at the touching point.
bool intersect(const Sphere& sphere, const Ray& ray, float tMin, float tMax, float& t);
bool intersect(const Plane& plane, const Ray& ray, float tMin, float tMax, float& t);

// The sphere's outward unit normal at a point on it.
Vec3 sphereNormal(const Sphere& sphere, const Vec3& point);

// Texture coordinates of the unit normal n on the sphere: u is the longitude
// (0 and 1 at -z, 0.5 at +z, increasing towards +x), v the latitude from 0
// at the bottom pole to 1 at the top.
void sphereUv(const Vec3& n, float& u, float& v);

}  // namespace flakecoat::preview

#endif
