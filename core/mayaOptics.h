#ifndef FLAKECOAT_CORE_MAYA_OPTICS_H
#define FLAKECOAT_CORE_MAYA_OPTICS_H

// Vector optics over the host's MFloatVector. Every step rounds to single
// precision through MFloatVector's own operators, in the order written.
// Dot products add the x and y products, then the z product, each rounded:
// (V.y*N.y + V.x*N.x) + V.z*N.z. Whether x or y is written first changes no
// bit but which NaN comes out when both are NaN.

#include <cmath>

#include <maya/MFloatVector.h>

namespace flakecoat::maya {

inline float opticsDot(const MFloatVector& a, const MFloatVector& b) {
    return (a.y * b.y + a.x * b.x) + a.z * b.z;
}

// v divided by its length. No zero check: a zero vector gives non-numbers,
// so callers pass a vector of non-zero length.
inline MFloatVector normalizeVector(const MFloatVector& v) {
    const float len = std::sqrt((v.y * v.y + v.x * v.x) + v.z * v.z);
    return v / len;
}

// V mirrored about the axis of N (R.N == V.N), then normalised in place.
// N is the surface normal; V may lie on either side of it.
inline MFloatVector reflectVector(const MFloatVector& V, const MFloatVector& N) {
    const float d = opticsDot(V, N);
    MFloatVector R = (2 * N) * d - V;
    R.normalize();
    return R;
}

// V bent through the surface with normal N and relative index eta (index on
// V's side over index on the far side). For V travelling towards the surface
// (V.N < 0) this is Snell's transmitted direction, not normalised. When
// k <= 0 (total internal reflection) the zero vector is returned; a NaN k
// fails that ordered test and T is returned as computed.
inline MFloatVector refractVector(const MFloatVector& V, const MFloatVector& N, float eta) {
    const float d = opticsDot(V, N);
    const float k = 1.0f - (1.0f - d * d) * (eta * eta);
    const float s = std::sqrt(k);
    const MFloatVector T = eta * V - (eta * d + s) * N;
    if (k <= 0.0f) return MFloatVector(0.0f, 0.0f, 0.0f);
    return T;
}

}  // namespace flakecoat::maya

#endif
