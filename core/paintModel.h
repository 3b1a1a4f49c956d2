#ifndef FLAKECOAT_CORE_PAINT_MODEL_H
#define FLAKECOAT_CORE_PAINT_MODEL_H

// The pieces of the paint model that both deliverables compute with the same
// single-precision operations: the fixed constants, the noise coordinates,
// the film depth, the thin-film interference and the Fresnel weight. Each
// rounds to float after every operation, in the order written.

#include <cmath>

namespace flakecoat::paint {

// Noise lattice offsets: the two noises are taken far apart. Near 19928 a
// float resolves steps of 1/512, near 1998122 only 1/8, so the noise is
// sampled on that grid.
constexpr float kFirstNoiseOffset = 19928.0f;
constexpr float kOtherNoiseOffset = 1998122.0f;

// Wavelengths of the interference, R, G, B, in the units of the film depth.
constexpr float kFilmWavelengths[3] = {645.0f, 525.0f, 445.0f};

// 4 pi rounded to single precision.
constexpr float kFourPi = 12.566371f;

constexpr float kFresnelExponent = 5.0f;

// The first noise coordinate, and the others (halved), at `position` along
// their axis for noise frequency f.
inline float firstNoiseCoordinate(float position, float f, float seed) {
    return ((f * position) + seed) + kFirstNoiseOffset;
}
inline float otherNoiseCoordinate(float position, float f, float seed) {
    return (((f * position) * 0.5f) + seed) + kOtherNoiseOffset;
}

// The bounds need not be ordered: min above max runs the other way.
inline float filmDepth(float filmNoise, float depthRangeMin, float depthRangeMax) {
    return ((1.0f - filmNoise) * depthRangeMin) + (filmNoise * depthRangeMax);
}

// 3n / (n + 1)^2 for the coat's refractive index n.
inline float interferenceBase(float n) { return (n / ((n + 1.0f) * (n + 1.0f))) * 3.0f; }

inline float interferencePhase(float n, float filmDepth, float wavelength) {
    return ((n * kFourPi) * filmDepth) / wavelength;
}

// The diffuse weight of one channel: the thin film's reflectance swinging
// with the phase around 1/2.
inline float interferenceTerm(float n, float filmDepth, float wavelength) {
    const float base = interferenceBase(n);
    return ((2.0f * std::cos(interferencePhase(n, filmDepth, wavelength))) * std::sqrt((1.0f - base) * base) + 1.0f) *
           0.5f;
}

// (1 - cosine)^5, where cosine is the normal's dot product with the ray
// arriving at the surface: 1 + L.N for a light direction L.
inline float fresnelBase(float cosine) { return std::pow(1.0f - cosine, kFresnelExponent); }

// The coat's Fresnel weight for relative index m = 1/n; not limited to 1.
inline float fresnelWeight(float fresnelBase, float m) { return (fresnelBase * (1.0f - m)) + m; }

}  // namespace flakecoat::paint

#endif
