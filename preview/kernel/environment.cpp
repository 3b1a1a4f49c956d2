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
            sum += unturnedLookup(d) * weight;
        }
    }
    return sum;
}

Color Environment::lookup(const Vec3& direction) const {
    if (rotationDegrees_ == 0.0f) return unturnedLookup(direction);
    // The turn undone: rotate by -angle about +y.
    const Vec3 d(rotationCos_ * direction.x - rotationSin_ * direction.z, direction.y,
                 rotationSin_ * direction.x + rotationCos_ * direction.z);
    return unturnedLookup(d);
}

Color Environment::unturnedLookup(const Vec3& direction) const {
    return isImage() ? imageLookup(direction) : sky(direction);
}

void Environment::setRotation(float degrees) {
    rotationDegrees_ = std::fmod(degrees, 360.0f);
    const double radians = double(rotationDegrees_) * 3.14159265358979323846 / 180.0;
    rotationCos_ = float(std::cos(radians));
    rotationSin_ = float(std::sin(radians));
}

Vec3 Environment::toWorld(const Vec3& d) const {
    // Counter-clockwise seen from above (+y towards the eye): +z turns towards +x.
    return {rotationCos_ * d.x + rotationSin_ * d.z, d.y, -rotationSin_ * d.x + rotationCos_ * d.z};
}

Vec3 latLongDirection(int x, int y, int width, int height) {
    // The inverse of imageLookup's mapping.
    const float u = (float(x) + 0.5f) / float(width);
    const float v = (float(y) + 0.5f) / float(height);
    const float phi = (u - 0.5f) * 2.0f * kPi;
    const float theta = v * kPi;
    return {std::sin(theta) * std::sin(phi), std::cos(theta), std::sin(theta) * std::cos(phi)};
}

float latLongSolidAngle(int y, int width, int height) {
    const float top = float(y) * kPi / float(height);
    const float bottom = float(y + 1) * kPi / float(height);
    return (std::cos(top) - std::cos(bottom)) * 2.0f * kPi / float(width);
}

LatLongImage Environment::radianceMap(int maxWidth) const {
    LatLongImage map;
    if (!isImage()) {
        map.width = std::max(2, maxWidth);
        map.height = map.width / 2;
        map.rgb.resize(size_t(map.width) * size_t(map.height) * 3);
        for (int y = 0; y < map.height; ++y)
            for (int x = 0; x < map.width; ++x) {
                const Color c = sky(latLongDirection(x, y, map.width, map.height));
                float* p = &map.rgb[(size_t(y) * size_t(map.width) + size_t(x)) * 3];
                p[0] = c.x;
                p[1] = c.y;
                p[2] = c.z;
            }
        return map;
    }
    const int factor = std::max(1, (image_.width + maxWidth - 1) / std::max(1, maxWidth));
    map.width = std::max(1, image_.width / factor);
    map.height = std::max(1, image_.height / factor);
    map.rgb.assign(size_t(map.width) * size_t(map.height) * 3, 0.0f);
    // Blocks of factor x factor source pixels, the last row and column of
    // blocks taking what is left over.
    for (int y = 0; y < image_.height; ++y) {
        const int my = std::min(y / factor, map.height - 1);
        for (int x = 0; x < image_.width; ++x) {
            const int mx = std::min(x / factor, map.width - 1);
            const Color c = texel(x, y);
            float* p = &map.rgb[(size_t(my) * size_t(map.width) + size_t(mx)) * 3];
            p[0] += c.x;
            p[1] += c.y;
            p[2] += c.z;
        }
    }
    for (int my = 0; my < map.height; ++my) {
        const int rows = (my == map.height - 1 ? image_.height - my * factor : factor);
        for (int mx = 0; mx < map.width; ++mx) {
            const int columns = (mx == map.width - 1 ? image_.width - mx * factor : factor);
            float* p = &map.rgb[(size_t(my) * size_t(map.width) + size_t(mx)) * 3];
            const float scale = 1.0f / float(rows * columns);
            for (int c = 0; c < 3; ++c) p[c] *= scale;
        }
    }
    return map;
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
