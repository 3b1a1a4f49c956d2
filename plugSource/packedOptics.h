#ifndef FLAKECOAT_PLUGSOURCE_PACKED_OPTICS_H
#define FLAKECOAT_PLUGSOURCE_PACKED_OPTICS_H

// The colour evaluation's vector steps with x, y, z (or R, G, B) in the
// lanes of one SSE register. Each lane rounds exactly as the scalar
// MFloatVector operator and optics step it stands for: the same single
// operation, the same operands, the same order of additions. The fourth
// lane carries nothing. SSE2 is part of every x86-64 processor.

#include <emmintrin.h>

#include <maya/MFloatVector.h>

namespace flakecoat::maya::packed {

using Lanes = __m128;

inline Lanes load(const MFloatVector& v) { return _mm_setr_ps(v.x, v.y, v.z, 0.0f); }
inline Lanes load(const float (&v)[3]) { return _mm_setr_ps(v[0], v[1], v[2], 0.0f); }

inline void store(MFloatVector& to, Lanes v) {
    to.x = _mm_cvtss_f32(v);
    to.y = _mm_cvtss_f32(_mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 1, 1, 1)));
    to.z = _mm_cvtss_f32(_mm_shuffle_ps(v, v, _MM_SHUFFLE(2, 2, 2, 2)));
}

inline MFloatVector toVector(Lanes v) {
    MFloatVector out;
    store(out, v);
    return out;
}

inline Lanes splat(float s) { return _mm_set1_ps(s); }
inline Lanes zero() { return _mm_setzero_ps(); }
inline Lanes add(Lanes a, Lanes b) { return _mm_add_ps(a, b); }
inline Lanes sub(Lanes a, Lanes b) { return _mm_sub_ps(a, b); }
inline Lanes mul(Lanes a, Lanes b) { return _mm_mul_ps(a, b); }
inline Lanes div(Lanes a, Lanes b) { return _mm_div_ps(a, b); }
inline Lanes negate(Lanes v) { return _mm_xor_ps(v, _mm_set1_ps(-0.0f)); }
inline Lanes absolute(Lanes v) { return _mm_andnot_ps(_mm_set1_ps(-0.0f), v); }

inline float squareRoot(float s) { return _mm_cvtss_f32(_mm_sqrt_ss(_mm_set_ss(s))); }

// The dot products below leave their sum in the first lane; the other lanes
// carry nothing.
inline Lanes hostDotLane(Lanes a, Lanes b) {
    const Lanes p = _mm_mul_ps(a, b);
    const Lanes y = _mm_shuffle_ps(p, p, _MM_SHUFFLE(1, 1, 1, 1));
    const Lanes z = _mm_shuffle_ps(p, p, _MM_SHUFFLE(2, 2, 2, 2));
    return _mm_add_ss(_mm_add_ss(p, y), z);
}

inline Lanes opticsDotLane(Lanes a, Lanes b) {
    const Lanes p = _mm_mul_ps(a, b);
    const Lanes y = _mm_shuffle_ps(p, p, _MM_SHUFFLE(1, 1, 1, 1));
    const Lanes z = _mm_shuffle_ps(p, p, _MM_SHUFFLE(2, 2, 2, 2));
    return _mm_add_ss(_mm_add_ss(y, p), z);
}

// MFloatVector's dot product: (x*x' + y*y') + z*z'.
inline float hostDot(Lanes a, Lanes b) { return _mm_cvtss_f32(hostDotLane(a, b)); }

// The optics' dot product: (y*y' + x*x') + z*z'.
inline float opticsDot(Lanes a, Lanes b) { return _mm_cvtss_f32(opticsDotLane(a, b)); }

inline Lanes firstLaneEverywhere(Lanes v) { return _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 0, 0, 0)); }

// MFloatVector::normalize(): divided by its length unless that is zero.
inline Lanes normalized(Lanes v) {
    const Lanes len = _mm_sqrt_ss(hostDotLane(v, v));
    if (_mm_cvtss_f32(len) != 0.0f) v = _mm_div_ps(v, firstLaneEverywhere(len));
    return v;
}

// MFloatVector::normalize() of a vector that has just been normalised. Its
// length is usually exactly 1, and v / 1 has the bits of v: the branch lets
// the processor go on with v without waiting for the division.
inline Lanes normalizedAgain(Lanes v) {
    const Lanes len = _mm_sqrt_ss(hostDotLane(v, v));
    if (_mm_cvtss_f32(len) == 1.0f) return v;
    if (_mm_cvtss_f32(len) != 0.0f) v = _mm_div_ps(v, firstLaneEverywhere(len));
    return v;
}

// normalizeVector(): divided by its length, no zero check.
inline Lanes normalizeVector(Lanes v) { return _mm_div_ps(v, firstLaneEverywhere(_mm_sqrt_ss(opticsDotLane(v, v)))); }

// reflectVector(V, N): (2N)d - V, normalised.
inline Lanes reflectVector(Lanes V, Lanes N) {
    const float d = opticsDot(V, N);
    return normalized(_mm_sub_ps(_mm_mul_ps(_mm_mul_ps(N, _mm_set1_ps(2.0f)), _mm_set1_ps(d)), V));
}

// refractVector(V, N, eta): eta V - (eta d + s) N, or zero when k <= 0.
inline Lanes refractVector(Lanes V, Lanes N, float eta) {
    const float d = opticsDot(V, N);
    const float k = 1.0f - (1.0f - d * d) * (eta * eta);
    const float s = squareRoot(k);
    const Lanes T = _mm_sub_ps(_mm_mul_ps(V, _mm_set1_ps(eta)), _mm_mul_ps(N, _mm_set1_ps(eta * d + s)));
    if (k <= 0.0f) return _mm_setzero_ps();
    return T;
}

}  // namespace flakecoat::maya::packed

#endif
