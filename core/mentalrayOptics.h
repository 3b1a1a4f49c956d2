#ifndef FLAKECOAT_CORE_MENTALRAY_OPTICS_H
#define FLAKECOAT_CORE_MENTALRAY_OPTICS_H

// Vector optics over any plain three-float vector with members x, y, z (the
// renderer's miVector layout). Intermediates are double; results are rounded
// to single precision at the dot product, at k, at the square root, at each
// stored component and at the reflection's length and reciprocal.

#include <cmath>

namespace flakecoat::mentalray {

template <class Vector>
float opticsDot(const Vector& a, const Vector& b) {
    return float((double(a.y) * b.y + double(a.x) * b.x) + double(a.z) * b.z);
}

// V mirrored about the axis of N (R.N == V.N), normalised. A zero-length
// mirror image (V == 0) is returned as it is, not as non-numbers.
template <class Vector>
Vector reflectVector(Vector V, Vector N) {
    const double d = opticsDot(V, N);
    Vector R = V;
    R.x = float(2.0 * N.x * d - V.x);
    R.y = float(2.0 * N.y * d - V.y);
    R.z = float(2.0 * N.z * d - V.z);
    const float lengthSquared = float((double(R.x) * R.x + double(R.y) * R.y) + double(R.z) * R.z);
    const float length = float(std::sqrt(double(lengthSquared)));
    if (length == 0.0f) return R;
    const float inv = float(1.0 / length);
    R.x = R.x * inv;
    R.y = R.y * inv;
    R.z = R.z * inv;
    return R;
}

// V bent through the surface with normal N and relative index eta; see the
// Maya form. The zero vector when k <= 0 (total internal reflection).
template <class Vector>
Vector refractVector(Vector V, Vector N, float eta) {
    const double d = opticsDot(V, N);
    const float k = float(1.0 - (1.0 - d * d) * (double(eta) * eta));
    const float s = float(std::sqrt(double(k)));
    const double m = double(eta) * d + s;
    Vector T = V;
    if (k <= 0.0f) {
        T.x = T.y = T.z = 0.0f;
        return T;
    }
    T.x = float(double(V.x) * eta - N.x * m);
    T.y = float(double(V.y) * eta - N.y * m);
    T.z = float(double(V.z) * eta - N.z * m);
    return T;
}

}  // namespace flakecoat::mentalray

#endif
