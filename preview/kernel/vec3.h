#ifndef FLAKECOAT_PREVIEW_KERNEL_VEC3_H
#define FLAKECOAT_PREVIEW_KERNEL_VEC3_H

// The scene kernel's own three-float vector, used for points, directions and
// linear RGB colours alike. The kernel is not part of the shading contract,
// so it rounds however the compiler writes it (never with contraction).

#include <algorithm>
#include <cmath>
#include <limits>

namespace flakecoat::preview {

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr Vec3() = default;
    constexpr Vec3(float xx, float yy, float zz) : x(xx), y(yy), z(zz) {}

    constexpr Vec3 operator-() const { return {-x, -y, -z}; }
    constexpr Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    constexpr Vec3 operator/(float s) const { return {x / s, y / s, z / s}; }
    Vec3& operator+=(const Vec3& o) { x += o.x; y += o.y; z += o.z; return *this; }
    Vec3& operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
    constexpr bool operator==(const Vec3& o) const { return x == o.x && y == o.y && z == o.z; }
    constexpr bool operator!=(const Vec3& o) const { return !(*this == o); }
};

// Linear RGB in x, y, z.
using Color = Vec3;

constexpr Vec3 operator*(float s, const Vec3& v) { return v * s; }
// Component-wise product (colour times colour).
constexpr Vec3 mul(const Vec3& a, const Vec3& b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
constexpr float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
constexpr Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(const Vec3& v) { return std::sqrt(dot(v, v)); }
// Unit vector along v, at any scale; the zero vector (and one not finite)
// stays as it is.
inline Vec3 normalize(const Vec3& v) {
    const float lengthSquared = dot(v, v);
    if (lengthSquared >= std::numeric_limits<float>::min() && lengthSquared <= std::numeric_limits<float>::max())
        return v / std::sqrt(lengthSquared);
    // Too long or too short to square in single precision: scaled first
    const float largest = std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
    if (!(largest > 0.0f) || !std::isfinite(largest)) return v;
    const Vec3 scaled = v / largest;
    return scaled / length(scaled);
}
// Mirror image of the incoming direction d about the normal n (both unit;
// d points towards the surface, the result away from it).
constexpr Vec3 reflect(const Vec3& d, const Vec3& n) { return d - n * (2.0f * dot(d, n)); }
inline bool isFinite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
constexpr Vec3 lerp(const Vec3& a, const Vec3& b, float t) { return a * (1.0f - t) + b * t; }

}  // namespace flakecoat::preview

#endif
