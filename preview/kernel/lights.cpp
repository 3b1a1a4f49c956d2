#include "kernel/lights.h"

#include <cmath>
#include <limits>

namespace flakecoat::preview {

LightSample sampleLight(const Light& light, const Vec3& point, float su, float sv) {
    LightSample sample;
    switch (light.kind) {
        case LightKind::Point: {
            const Vec3 offset = light.position - point;
            const float distanceSquared = dot(offset, offset);
            sample.distance = std::sqrt(distanceSquared);
            sample.towardsLight = offset / sample.distance;
            sample.intensity = light.color * (light.intensity / distanceSquared);
            break;
        }
        case LightKind::Directional:
            sample.towardsLight = -normalize(light.direction);
            sample.distance = std::numeric_limits<float>::infinity();
            sample.intensity = light.color * light.intensity;
            break;
        case LightKind::Area: {
            const Vec3 onLight = light.position + light.edgeU * (su - 0.5f) + light.edgeV * (sv - 0.5f);
            const Vec3 offset = onLight - point;
            const float distanceSquared = dot(offset, offset);
            sample.distance = std::sqrt(distanceSquared);
            sample.towardsLight = offset / sample.distance;
            // One-sided: nothing reaches points behind the rectangle.
            const Vec3 facing = normalize(cross(light.edgeU, light.edgeV));
            const float cosineAtLight = -dot(facing, sample.towardsLight);
            const float weight = cosineAtLight > 0.0f ? cosineAtLight / distanceSquared : 0.0f;
            sample.intensity = light.color * (light.intensity * weight);
            break;
        }
        case LightKind::Ambient:
            sample.intensity = light.color * light.intensity;
            break;
    }
    return sample;
}

int lightSampleCount(const Light& light) {
    switch (light.kind) {
        case LightKind::Area: return light.samples > 0 ? light.samples : 1;
        case LightKind::Ambient: return 0;
        default: return 1;
    }
}

namespace {

Light pointLight(const Vec3& position, float intensity, const Color& color) {
    Light light;
    light.kind = LightKind::Point;
    light.position = position;
    light.intensity = intensity;
    light.color = color;
    return light;
}

}  // namespace

bool lightRig(const std::string& name, std::vector<Light>& lights) {
    lights.clear();
    // Intensities are chosen so each key light delivers about 1 at the ball.
    if (name == "studio") {
        lights.push_back(pointLight({-4.0f, 5.0f, 4.0f}, 45.0f, {1.0f, 0.97f, 0.92f}));
        lights.push_back(pointLight({4.5f, 2.5f, 3.0f}, 12.0f, {0.85f, 0.9f, 1.0f}));
        return true;
    }
    if (name == "softbox") {
        Light key;
        key.kind = LightKind::Area;
        key.position = {-3.0f, 4.5f, 3.0f};
        // A 2.5 x 2.5 square facing the ball.
        const Vec3 facing = normalize(Vec3(0.0f, 1.0f, 0.0f) - key.position);
        const Vec3 across = normalize(cross(facing, Vec3(0.0f, 1.0f, 0.0f)));
        key.edgeU = across * 2.5f;
        key.edgeV = cross(facing, across) * 2.5f;  // cross(edgeU, edgeV) along facing
        key.intensity = 30.0f;
        // Two stratified samples at each shading point (one in
        // reflections): the pixel's samples smooth the rest, at under
        // twice the studio rig's cost through either host.
        key.samples = 2;
        lights.push_back(key);
        lights.push_back(pointLight({4.5f, 2.5f, 3.0f}, 10.0f, {0.85f, 0.9f, 1.0f}));
        Light ambient;
        ambient.kind = LightKind::Ambient;
        ambient.intensity = 0.08f;
        lights.push_back(ambient);
        return true;
    }
    if (name == "sun") {
        Light sun;
        sun.kind = LightKind::Directional;
        sun.direction = normalize(Vec3(0.6f, -0.45f, -0.65f));
        sun.intensity = 1.2f;
        sun.color = {1.0f, 0.93f, 0.82f};
        lights.push_back(sun);
        return true;
    }
    // No rig: the environment alone lights the object.
    return name == "none";
}

const char* lightRigNames() { return "studio, softbox, sun, none"; }

}  // namespace flakecoat::preview
