#include "kernel/builtinEnvironments.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace flakecoat::preview {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr int kWidth = 1024;
constexpr int kHeight = 512;

float radians(float degrees) { return degrees * kPi / 180.0f; }

// 0 below edge0, 1 above edge1, smooth between: soft edges that a 1024-wide
// image resolves without stair steps.
float smoothStep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

Vec3 towards(float azimuthDegrees, float elevationDegrees) {
    // Azimuth 0 along +z (towards the camera), positive towards +x.
    const float a = radians(azimuthDegrees);
    const float e = radians(elevationDegrees);
    return {std::cos(e) * std::sin(a), std::sin(e), std::cos(e) * std::cos(a)};
}

// A softbox: a rectangle facing the centre, given by its centre's azimuth
// and elevation and its angular half sizes, with a soft one-degree rim.
struct Softbox {
    float azimuth, elevation, halfWidth, halfHeight;
    Color radiance;
};

float insideSoftbox(const Softbox& box, const Vec3& d) {
    const float azimuth = std::atan2(d.x, d.z) * 180.0f / kPi;
    const float elevation = std::asin(std::clamp(d.y, -1.0f, 1.0f)) * 180.0f / kPi;
    float across = std::fabs(azimuth - box.azimuth);
    across = std::min(across, 360.0f - across) * std::cos(radians(elevation));
    const float up = std::fabs(elevation - box.elevation);
    return (1.0f - smoothStep(box.halfWidth - 1.0f, box.halfWidth, across)) *
           (1.0f - smoothStep(box.halfHeight - 1.0f, box.halfHeight, up));
}

Color studio(const Vec3& d) {
    static const Softbox kBoxes[] = {
        {-45.0f, 30.0f, 22.0f, 16.0f, {2.6f, 2.55f, 2.45f}},  // key
        {65.0f, 12.0f, 7.0f, 28.0f, {1.2f, 1.25f, 1.35f}},    // strip
        {180.0f, 25.0f, 30.0f, 8.0f, {0.5f, 0.5f, 0.5f}},   // rim behind
    };
    Color c = d.y >= 0.0f ? Color(0.035f, 0.035f, 0.04f) : Color(0.025f, 0.025f, 0.025f);
    for (const Softbox& box : kBoxes) c += box.radiance * insideSoftbox(box, d);
    // The overhead panel: within 18 degrees of the zenith.
    c += Color(0.7f, 0.7f, 0.7f) * smoothStep(std::cos(radians(18.0f)), std::cos(radians(17.0f)), d.y);
    return c;
}

Color overcast(const Vec3& d) {
    const Color zenith{0.45f, 0.46f, 0.48f};
    const Color ground{0.22f, 0.22f, 0.2f};
    if (d.y < 0.0f) return lerp(zenith * (1.0f / 3.0f), ground, std::min(1.0f, -d.y * 10.0f));
    // The overcast-sky law: L = Lz (1 + 2 cos theta) / 3.
    return zenith * ((1.0f + 2.0f * d.y) / 3.0f);
}

Color sun(const Vec3& d) {
    const Color zenith{0.1f, 0.22f, 0.55f};
    const Color horizon{0.5f, 0.58f, 0.7f};
    const Color ground{0.3f, 0.27f, 0.22f};
    if (d.y < 0.0f) return lerp(horizon * 0.5f, ground, std::min(1.0f, -d.y * 10.0f));
    Color c = lerp(horizon, zenith, std::sqrt(d.y));
    // A disc of 1.5 degrees (about three times the real sun, so that it
    // stays whole in a downsampled image) giving about 1.5 to a surface
    // facing it, half as much again as the sky gives the ground, and a glow.
    const float cosine = dot(d, builtinSunDirection());
    const float disc = smoothStep(std::cos(radians(1.6f)), std::cos(radians(1.4f)), cosine);
    c += Color(1.0f, 0.95f, 0.85f) * (700.0f * disc);
    c += Color(1.0f, 0.9f, 0.7f) * (0.6f * std::pow(std::max(0.0f, cosine), 48.0f));
    return c;
}

LatLongImage draw(const std::function<Color(const Vec3&)>& radiance) {
    LatLongImage image;
    image.width = kWidth;
    image.height = kHeight;
    image.rgb.resize(size_t(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const Color c = radiance(latLongDirection(x, y, kWidth, kHeight));
            float* p = &image.rgb[(size_t(y) * kWidth + size_t(x)) * 3];
            p[0] = c.x;
            p[1] = c.y;
            p[2] = c.z;
        }
    return image;
}

}  // namespace

Vec3 builtinSunDirection() { return towards(-60.0f, 33.0f); }

bool isBuiltinEnvironment(const std::string& name) {
    return name == "studio" || name == "overcast" || name == "sun";
}

const char* builtinEnvironmentNames() { return "studio, overcast, sun"; }

const LatLongImage& builtinEnvironment(const std::string& name) {
    // Each drawn on its first use; static initialisation is safe under
    // concurrent first calls.
    static const LatLongImage kNone;
    if (name == "studio") {
        static const LatLongImage kStudio = draw(studio);
        return kStudio;
    }
    if (name == "overcast") {
        static const LatLongImage kOvercast = draw(overcast);
        return kOvercast;
    }
    if (name == "sun") {
        static const LatLongImage kSun = draw(sun);
        return kSun;
    }
    return kNone;
}

}  // namespace flakecoat::preview
