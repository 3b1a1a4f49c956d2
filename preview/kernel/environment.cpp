#include "kernel/environment.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace flakecoat::preview {

namespace {
constexpr float kPi = 3.14159265358979f;

const Color kZenith{0.22f, 0.42f, 0.85f};
const Color kHorizon{0.85f, 0.9f, 0.97f};
const Color kBelowHorizon{0.28f, 0.27f, 0.26f};
const Color kSunGlow{1.0f, 0.85f, 0.6f};
}  // namespace

Environment::Environment() : upperMean_(computeUpperMean()) {}

Environment::Environment(LatLongImage image) : image_(std::move(image)), upperMean_(computeUpperMean()) {}

Color Environment::computeUpperMean() const {
    // Midpoint quadrature of (1/pi) * integral of L cos(theta) over the
    // hemisphere, in theta (from the zenith) and phi.
    constexpr int kThetaSteps = 64;
    constexpr int kPhiSteps = 128;
    const float dTheta = (kPi / 2.0f) / float(kThetaSteps);
    const float dPhi = (2.0f * kPi) / float(kPhiSteps);
    Color sum;
    for (int i = 0; i < kThetaSteps; ++i) {
        const float theta = (float(i) + 0.5f) * dTheta;
        const float weight = std::cos(theta) * std::sin(theta) * dTheta * dPhi / kPi;
        for (int j = 0; j < kPhiSteps; ++j) {
            const float phi = (float(j) + 0.5f) * dPhi;
            const Vec3 d(std::sin(theta) * std::cos(phi), std::cos(theta), std::sin(theta) * std::sin(phi));
            sum += lookup(d) * weight;
        }
    }
    return sum;
}

Color Environment::lookup(const Vec3& direction) const {
    return isImage() ? imageLookup(direction) : sky(direction);
}

Color Environment::sky(const Vec3& d) const {
    if (d.y < 0.0f) {
        // Fade into the ground colour just below the horizon, so the horizon
        // line has no hard step.
        const float t = std::min(1.0f, -d.y * 8.0f);
        return lerp(kHorizon, kBelowHorizon, t);
    }
    Color c = lerp(kHorizon, kZenith, std::sqrt(d.y));
    // The glow sits where the "sun" rig's light comes from.
    const Vec3 towardsSun = normalize(Vec3(-0.6f, 0.45f, 0.65f));
    const float c0 = std::max(0.0f, dot(d, towardsSun));
    const float glow = std::pow(c0, 64.0f) * 2.0f + std::pow(c0, 8.0f) * 0.25f;
    return c + kSunGlow * glow;
}

Color Environment::texel(int x, int y) const {
    const float* p = &image_.rgb[(size_t(y) * size_t(image_.width) + size_t(x)) * 3];
    return {p[0], p[1], p[2]};
}

Color Environment::imageLookup(const Vec3& d) const {
    // Continuous pixel coordinates with pixel centres at +0.5; bilinear,
    // wrapping around in longitude and clamped at the poles.
    const float u = 0.5f + std::atan2(d.x, d.z) / (2.0f * kPi);
    const float v = std::acos(std::clamp(d.y, -1.0f, 1.0f)) / kPi;
    const float fx = u * float(image_.width) - 0.5f;
    const float fy = std::clamp(v * float(image_.height) - 0.5f, 0.0f, float(image_.height - 1));
    const float x0f = std::floor(fx);
    const float y0f = std::floor(fy);
    const float tx = fx - x0f;
    const float ty = fy - y0f;
    const int w = image_.width;
    const int x0 = ((int(x0f) % w) + w) % w;
    const int x1 = (x0 + 1) % w;
    const int y0 = int(y0f);
    const int y1 = std::min(y0 + 1, image_.height - 1);
    const Color top = lerp(texel(x0, y0), texel(x1, y0), tx);
    const Color bottom = lerp(texel(x0, y1), texel(x1, y1), tx);
    return lerp(top, bottom, ty);
}

}  // namespace flakecoat::preview
