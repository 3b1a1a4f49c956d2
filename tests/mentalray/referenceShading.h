#ifndef FLAKECOAT_TESTS_MENTALRAY_REFERENCE_SHADING_H
#define FLAKECOAT_TESTS_MENTALRAY_REFERENCE_SHADING_H

// The shading model's light-sample formulas in double precision, as a
// reference for the single-precision shader. Vectors follow the shader's
// conventions: the view direction travels towards the surface, L points
// towards the light, N faces the viewer.

#include <cmath>

#include <flakeCoatParameters.h>

namespace reference {

struct Vec {
    double x, y, z;
};

inline Vec vec(const miVector& v) { return {v.x, v.y, v.z}; }
inline double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec operator*(double s, Vec a) { return {s * a.x, s * a.y, s * a.z}; }
inline Vec normalized(Vec v) {
    const double length = std::sqrt(dot(v, v));
    return length == 0.0 ? v : (1.0 / length) * v;
}
// Mirror image of V about the axis of N.
inline Vec mirrored(Vec V, Vec N) { return normalized(2.0 * dot(V, N) * N - V); }
// Snell's law for a direction V travelling towards the surface with relative
// index eta; zero at total internal reflection.
inline Vec refracted(Vec V, Vec N, double eta) {
    const double d = dot(V, N);
    const double k = 1.0 - (1.0 - d * d) * eta * eta;
    if (k <= 0.0) return {0.0, 0.0, 0.0};
    return normalized(eta * V - (eta * d + std::sqrt(k)) * N);
}

inline double channel(const miColor& c, int i) { return i == 0 ? c.r : i == 1 ? c.g : c.b; }
inline double channel(const miVector& v, int i) { return i == 0 ? v.x : i == 1 ? v.y : v.z; }

// filmDepth from the film noise, the flake normal from the flake noise as
// mi_noise_2d returned them.
inline double filmDepth(const flakeCoatParameters& p, double filmNoise) {
    return (1.0 - filmNoise) * p.depthRangeMin + filmNoise * p.depthRangeMax;
}
inline Vec flakeNormal(const flakeCoatParameters& p, Vec N, double flakeNoiseValue) {
    const double o = (2.0 * flakeNoiseValue - 0.5) * p.normalDeviation;
    return normalized(N + Vec{o, o, o});
}

inline double interferenceTerm(double n, double depth, double wavelength) {
    const double base = 3.0 * n / ((1.0 + n) * (1.0 + n));
    const double phase = 4.0 * M_PI * n * depth / wavelength;
    return (2.0 * std::cos(phase) * std::sqrt(base * (1.0 - base)) + 1.0) * 0.5;
}

// Diffuse plus specular of one light sample, per channel; nothing for a
// light not in front of the surface.
struct Terms {
    double rgb[3] = {0.0, 0.0, 0.0};
};

inline Terms lightSample(const flakeCoatParameters& p, Vec N, Vec flake, Vec view, double depth,
                         const miColor& Lc, Vec L) {
    Terms terms;
    const double d = dot(L, N);
    if (!(d > 0.0)) return terms;
    const double wavelengths[3] = {645.0, 525.0, 445.0};
    const double lightBase = std::pow(1.0 + d, 5.0);
    const double viewBase = std::pow(1.0 - dot(N, view), 5.0);
    const double coatLobe = std::pow(std::fabs(dot(view, mirrored(-1.0 * L, N))), p.specularMin);
    for (int c = 0; c < 3; ++c) {
        const double n = channel(p.refractiveIndex, c);
        const double m = 1.0 / n;
        const double fresnel = m + (1.0 - m) * lightBase;
        const double viewFresnel = m + (1.0 - m) * viewBase;
        const Vec flakeReflection = mirrored(refracted(-1.0 * L, N, m), flake);
        const double flakeLobe =
            std::pow(std::fabs(dot(flakeReflection, -1.0 * refracted(view, N, m))), p.specularMax);
        const double lobe = coatLobe * fresnel + flakeLobe * (viewFresnel - 1.0) * (fresnel - 1.0);
        const double diffuse = channel(Lc, c) * interferenceTerm(n, depth, wavelengths[c]) * p.diffuse *
                               channel(p.color, c) * d;
        const double specular = lobe * p.specularPower * channel(Lc, c) * channel(p.specularColor, c) * d;
        terms.rgb[c] = diffuse + specular;
    }
    return terms;
}

}  // namespace reference

#endif
