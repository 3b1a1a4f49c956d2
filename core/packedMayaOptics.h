#ifndef FLAKECOAT_CORE_PACKED_MAYA_OPTICS_H
#define FLAKECOAT_CORE_PACKED_MAYA_OPTICS_H

// The Maya form of the vector optics (mayaOptics.h) with x, y, z (or R, G, B)
// in the lanes of one SSE register, for the colour evaluation's hot path.
// Each lane rounds exactly as the scalar MFloatVector operator and optics
// step it stands for: the same single operation, the same operands, the same
// order of additions, so mayaOptics.h stays the readable reference these
// must equal bit for bit. The fourth lane carries nothing. SSE2 is part of
// every x86-64 processor.

#if !defined(__SSE2__)
#error "the colour evaluation's packed optics need SSE2 (every x86-64 processor has it)"
#endif

#include <emmintrin.h>

#include <maya/MFloatVector.h>

namespace flakecoat::maya::packed {

using Lanes = __m128;

inline Lanes lanes(float a, float b, float c, float d = 0.0f) { return _mm_setr_ps(a, b, c, d); }
inline Lanes load(const MFloatVector& v) { return _mm_setr_ps(v.x, v.y, v.z, 0.0f); }
inline Lanes load(const float (&v)[3]) { return _mm_setr_ps(v[0], v[1], v[2], 0.0f); }

inline void store(MFloatVector& to, Lanes v) {
    to.x = _mm_cvtss_f32(v);
    to.y = _mm_cvtss_f32(_mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 1, 1, 1)));
    to.z = _mm_cvtss_f32(_mm_shuffle_ps(v, v, _MM_SHUFFLE(2, 2, 2, 2)));
}

// Four floats at a 16-byte aligned address.
inline Lanes loadAligned(const float* lanes) { return _mm_load_ps(lanes); }
inline void storeAligned(float* lanes, Lanes v) { _mm_store_ps(lanes, v); }

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
inline Lanes squareRoots(Lanes v) { return _mm_sqrt_ps(v); }

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

// MFloatVector's dot product, (x*x' + y*y') + z*z', and the optics',
// (y*y' + x*x') + z*z': the same bits but for which NaN an all-NaN sum keeps.
inline float hostDot(Lanes a, Lanes b) { return _mm_cvtss_f32(hostDotLane(a, b)); }
inline float opticsDot(Lanes a, Lanes b) { return _mm_cvtss_f32(opticsDotLane(a, b)); }

inline Lanes firstLaneEverywhere(Lanes v) { return _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 0, 0, 0)); }

// MFloatVector::normalize(): lensq = (x*x + y*y) + z*z; when lensq > 1e-20
// (the float compared in double) each component times 1 / sqrt(lensq),
// otherwise (short, or a NaN) the vector as it is.
inline Lanes normalized(Lanes v) {
    const Lanes lensq = hostDotLane(v, v);
    if (_mm_cvtss_f32(lensq) > 1e-20) {
        const Lanes factor = _mm_div_ss(_mm_set_ss(1.0f), _mm_sqrt_ss(lensq));
        v = _mm_mul_ps(v, firstLaneEverywhere(factor));
    }
    return v;
}

// MFloatVector::normalize() of a vector that has just been normalised. Its
// length is usually exactly 1, the factor then 1 and v * 1 has the bits of
// v: the branch lets the processor go on with v without waiting for the
// division.
inline Lanes normalizedAgain(Lanes v) {
    const Lanes lensq = hostDotLane(v, v);
    const Lanes len = _mm_sqrt_ss(lensq);
    if (_mm_cvtss_f32(len) == 1.0f) return v;
    if (_mm_cvtss_f32(lensq) > 1e-20) v = _mm_mul_ps(v, firstLaneEverywhere(_mm_div_ss(_mm_set_ss(1.0f), len)));
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

// Up to four vectors at once, one to a lane, with their x, y and z in
// separate registers: the same steps as above, lane by lane.
struct Columns {
    Lanes x, y, z;
};

inline Lanes select(Lanes mask, Lanes a, Lanes b) { return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b)); }

// Lanes 0 and 1 hold a, lanes 2 and 3 hold b.
inline Columns columnsOf(Lanes a, Lanes b) {
    return {_mm_shuffle_ps(a, b, _MM_SHUFFLE(0, 0, 0, 0)), _mm_shuffle_ps(a, b, _MM_SHUFFLE(1, 1, 1, 1)),
            _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 2, 2, 2))};
}

// Lane j holds v[j]; the fourth lane is zero.
inline Columns columnsOf(Lanes v0, Lanes v1, Lanes v2) {
    Lanes v3 = _mm_setzero_ps();
    _MM_TRANSPOSE4_PS(v0, v1, v2, v3);
    return {v0, v1, v2};
}

// The vector of each lane, as x, y, z and a zero fourth.
inline void rowsOf(const Columns& c, Lanes (&row)[4]) {
    row[0] = c.x;
    row[1] = c.y;
    row[2] = c.z;
    row[3] = _mm_setzero_ps();
    _MM_TRANSPOSE4_PS(row[0], row[1], row[2], row[3]);
}

// opticsDot lane by lane.
inline Lanes opticsDots(const Columns& a, const Columns& b) {
    return _mm_add_ps(_mm_add_ps(_mm_mul_ps(a.y, b.y), _mm_mul_ps(a.x, b.x)), _mm_mul_ps(a.z, b.z));
}

// The float threshold equivalent to normalize()'s "lensq > 1e-20" compared
// in double: 1e-20f lies just below 1e-20, so "above the double" is "above
// the float" (the float being the nearest below, no float lies between).
constexpr float kNormalizeThreshold = 1e-20f;
static_assert(double(kNormalizeThreshold) < 1e-20, "the lane test needs the float below the double");

// MFloatVector::normalize() lane by lane.
inline Columns normalizedColumns(const Columns& v) {
    const Lanes lensq = _mm_add_ps(_mm_add_ps(_mm_mul_ps(v.x, v.x), _mm_mul_ps(v.y, v.y)), _mm_mul_ps(v.z, v.z));
    const Lanes factor = _mm_div_ps(_mm_set1_ps(1.0f), _mm_sqrt_ps(lensq));
    const Lanes scale = _mm_cmpgt_ps(lensq, _mm_set1_ps(kNormalizeThreshold));
    return {select(scale, _mm_mul_ps(v.x, factor), v.x), select(scale, _mm_mul_ps(v.y, factor), v.y),
            select(scale, _mm_mul_ps(v.z, factor), v.z)};
}

inline Columns splatColumns(Lanes v) {
    return {_mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 0, 0, 0)), _mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 1, 1, 1)),
            _mm_shuffle_ps(v, v, _MM_SHUFFLE(2, 2, 2, 2))};
}

// reflectVector lane by lane against one normal N (before its own second
// normalisation, which the callers add).
inline Columns reflectColumns(const Columns& V, Lanes N) {
    const Columns n = splatColumns(N);
    const Lanes d = opticsDots(V, n);
    const Lanes two = _mm_set1_ps(2.0f);
    return normalizedColumns({_mm_sub_ps(_mm_mul_ps(_mm_mul_ps(n.x, two), d), V.x),
                              _mm_sub_ps(_mm_mul_ps(_mm_mul_ps(n.y, two), d), V.y),
                              _mm_sub_ps(_mm_mul_ps(_mm_mul_ps(n.z, two), d), V.z)});
}

// refractVector lane by lane against one normal N, with each lane's eta.
// k <= 0 gives the zero vector; a NaN k keeps T, as the ordered test does.
inline Columns refractColumns(const Columns& V, Lanes N, Lanes eta) {
    const Columns n = splatColumns(N);
    const Lanes d = opticsDots(V, n);
    const Lanes one = _mm_set1_ps(1.0f);
    const Lanes k = _mm_sub_ps(one, _mm_mul_ps(_mm_sub_ps(one, _mm_mul_ps(d, d)), _mm_mul_ps(eta, eta)));
    const Lanes m = _mm_add_ps(_mm_mul_ps(eta, d), _mm_sqrt_ps(k));
    const Lanes keep = _mm_cmpnle_ps(k, _mm_setzero_ps());
    return {_mm_and_ps(keep, _mm_sub_ps(_mm_mul_ps(V.x, eta), _mm_mul_ps(n.x, m))),
            _mm_and_ps(keep, _mm_sub_ps(_mm_mul_ps(V.y, eta), _mm_mul_ps(n.y, m))),
            _mm_and_ps(keep, _mm_sub_ps(_mm_mul_ps(V.z, eta), _mm_mul_ps(n.z, m)))};
}

}  // namespace flakecoat::maya::packed

#endif
