#ifndef TARN_FLAKECOAT_SHADING_MATH_H
#define TARN_FLAKECOAT_SHADING_MATH_H

// Single-precision vector helpers of the shader body. Every operation rounds
// to float as it goes; a dot product adds the x and y products, then z.

#include <cmath>

#include <shader.h>

namespace flakecoat::shading {

inline float dot(const miVector& a, const miVector& b) { return (a.y * b.y + a.x * b.x) + a.z * b.z; }

inline miVector negated(const miVector& v) { return {-v.x, -v.y, -v.z}; }

// Scaled to unit length by the rounded reciprocal of its length; a zero
// vector stays zero.
inline miVector normalizedZeroSafe(miVector v) {
    const float length = std::sqrt((v.x * v.x + v.y * v.y) + v.z * v.z);
    if (length == 0.0f) return v;
    const float inv = 1.0f / length;
    return {v.x * inv, v.y * inv, v.z * inv};
}

inline float channel(const miColor& c, int i) { return i == 0 ? c.r : i == 1 ? c.g : c.b; }
inline float channel(const miVector& v, int i) { return i == 0 ? v.x : i == 1 ? v.y : v.z; }

}  // namespace flakecoat::shading

#endif
