#include "kernel/shadingServices.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "kernel/sampling.h"

namespace flakecoat::preview {

namespace {
constexpr float kPi = 3.14159265358979f;

// A ground point's cosine-weighted light, with its shadows and without them.
struct GroundLight {
    Color lit, open;
    void add(const ShadowedLightSample& sample, const Vec3& normal) {
        const float cosine = dot(normal, sample.light.towardsLight);
        if (cosine > 0.0f) {
            lit += sample.light.intensity * cosine;
            open += sample.unshadowedIntensity * cosine;
        }
    }
};
}

Color groundAlbedo(const Vec3& point) {
    const int parity = (int(std::floor(point.x)) + int(std::floor(point.z))) & 1;
    return parity ? Color(0.42f, 0.42f, 0.42f) : Color(0.34f, 0.34f, 0.34f);
}

ShadowedLightSample ShadingServices::sampleShadowedLight(int lightIndex, const Vec3& point,
                                                         const Vec3& normal, int sampleIndex,
                                                         int sampleCount) {
    const Light& lightSource = light(lightIndex);
    float su = 0.5f, sv = 0.5f;
    if (lightSource.kind == LightKind::Area) {
        const float jx = random_.next();
        const float jy = random_.next();
        stratifiedPoint(strataFor(sampleCount), sampleIndex, jx, jy, su, sv);
    }
    const LightSample sample = sampleLight(lightSource, point, su, sv);
    if (lightSource.kind == LightKind::Ambient) return ShadowedLightSample{sample, sample.intensity, false};
    return shadowTested(sample, point, normal);
}

ShadowedLightSample ShadingServices::shadowTested(const LightSample& sample, const Vec3& point,
                                                  const Vec3& normal) const {
    ShadowedLightSample result;
    result.light = sample;
    result.unshadowedIntensity = result.light.intensity;
    // Leave the surface on the side the light is on.
    if (occluded(scene_, leavingRay(point, normal, result.light.towardsLight), result.light.distance)) {
        result.shadowed = true;
        result.light.intensity = Color();
    }
    return result;
}

ShadowedLightSample ShadingServices::sampleEnvironmentLight(int pick, int pickCount, const Vec3& point,
                                                            const Vec3& normal) {
    float weight = 1.0f;
    const Light& picked = pickEnvironmentLight(scene_.environmentLights, pick, pickCount, random_.next(), weight);
    LightSample sample = sampleLight(picked, point, 0.5f, 0.5f);
    sample.intensity = sample.intensity * weight;
    return shadowTested(sample, point, normal);
}

LightSample ShadingServices::averagedLight(int lightIndex, const Vec3& point, const Vec3& normal,
                                           Color* unshadowedIntensity, int depth) {
    const Light& lightSource = light(lightIndex);
    const int count = lightSamples(lightIndex, depth);
    LightSample element = sampleLight(lightSource, point, 0.5f, 0.5f);
    if (count == 0) {
        if (unshadowedIntensity) *unshadowedIntensity = element.intensity;
        return element;
    }
    Color sum, unshadowedSum;
    for (int i = 0; i < count; ++i) {
        const ShadowedLightSample sample = sampleShadowedLight(lightIndex, point, normal, i, count);
        sum += sample.light.intensity;
        unshadowedSum += sample.unshadowedIntensity;
    }
    element.intensity = sum / float(count);
    if (unshadowedIntensity) *unshadowedIntensity = unshadowedSum / float(count);
    return element;
}

TraceResult ShadingServices::trace(const Ray& ray, int depth) {
    TraceResult result;
    if (depth > kMaxTraceDepth) {
        result.color = environment(ray.direction);
        return result;
    }
    return shadeHit(ray, intersectScene(scene_, ray), depth);
}

TraceResult ShadingServices::shadeHit(const Ray& ray, const Hit& hit, int depth) {
    TraceResult result;
    switch (hit.object) {
        case HitObject::None:
            result.color = environment(ray.direction);
            return result;
        case HitObject::Painted:
            result.hit = true;
            result.hitPainted = true;
            result.color = shadePainted(ray, hit, depth);
            return result;
        case HitObject::Ground:
            result.hit = true;
            result.color = shadeGround(ray, hit, depth);
            return result;
    }
    return result;
}

Color ShadingServices::shadePainted(const Ray& ray, const Hit& hit, int depth) {
    SurfaceSample sample;
    sample.pointWorld = hit.point;
    sample.normalWorld = hit.normal;
    sample.geometricNormalWorld = hit.geometricNormal;
    sample.rayOriginWorld = ray.origin;
    sample.rayDirectionWorld = ray.direction;
    sample.pointCamera = camera().pointToCamera(hit.point);
    sample.normalCamera = camera().directionToCamera(hit.normal);
    sample.rayDirectionCamera = camera().directionToCamera(ray.direction);
    sample.u = hit.u;
    sample.v = hit.v;
    sample.rayDepth = depth;
    sample.object = scene_.model ? static_cast<const void*>(scene_.model.get()) : &scene_.ball;
    return worker_.shade(sample, *this);
}

Color ShadingServices::shadeGround(const Ray& ray, const Hit& hit, int depth) {
    // Lambertian in the hosts' units: each light's intensity times the
    // cosine, shadowed, plus a little of the environment. The shadow catcher
    // keeps the same sum without shadows too: their ratio is its shadow.
    Color incoming, unshadowed;
    for (int i = 0; i < lightCount(); ++i) {
        const Light& lightSource = light(i);
        if (lightSource.kind == LightKind::Ambient) {
            incoming += lightSource.color * lightSource.intensity;
            unshadowed += lightSource.color * lightSource.intensity;
            continue;
        }
        const int count = lightSamples(i, depth);
        GroundLight sum;
        for (int s = 0; s < count; ++s) sum.add(sampleShadowedLight(i, hit.point, hit.normal, s, count), hit.normal);
        incoming += sum.lit / float(count);
        unshadowed += sum.open / float(count);
    }
    const int picks = environmentPickCount(depth);
    if (picks > 0) {
        // The environment's lights take the place of its sky term, at full
        // weight: they cast the shadows.
        GroundLight sum;
        for (int k = 0; k < picks; ++k) sum.add(sampleEnvironmentLight(k, picks, hit.point, hit.normal), hit.normal);
        incoming += sum.lit / float(picks);
        unshadowed += sum.open / float(picks);
    } else {
        const Color sky = scene_.environment.upperHemisphereMean() * kGroundEnvironmentWeight;
        incoming += sky * groundSkyVisibility(hit);
        unshadowed += sky;
    }
    if (scene_.shadowCatcher) {
        const float open = luminance(unshadowed);
        const float lit = open > 0.0f ? std::clamp(luminance(incoming) / open, 0.0f, 1.0f) : 1.0f;
        return environment(ray.direction) * lit;
    }
    return mul(groundAlbedo(hit.point / scene_.groundTile), incoming);
}

float ShadingServices::groundSkyVisibility(const Hit& hit) {
    // Seen from below, nothing is hidden.
    if (hit.normal.y <= 0.0f) return 1.0f;
    if (scene_.model) {
        // One ray towards the sky, cosine-weighted: the model's own shape
        // hides the sky, the samples of a pixel average it out.
        const float su = random_.next();
        const float sv = random_.next();
        const Vec3 direction = cosineHemisphere(hit.normal, su, sv);
        return occluded(scene_, leavingRay(hit.point, hit.geometricNormal, direction),
                        std::numeric_limits<float>::infinity())
                   ? 0.0f
                   : 1.0f;
    }
    // The ball rests above the plane, so from the ground it never crosses
    // the horizon and the cosine-weighted share of the sky it hides is the
    // form factor of a sphere, r^2 cos(theta) / D^2: exact and free of noise
    // (it is 1 at the contact point).
    const Vec3 toCentre = scene_.ball.center - hit.point;
    const float distanceSquared = dot(toCentre, toCentre);
    const float cosine = dot(hit.normal, toCentre) / std::sqrt(distanceSquared);
    if (cosine <= 0.0f) return 1.0f;
    const float hidden = scene_.ball.radius * scene_.ball.radius * cosine / distanceSquared;
    return hidden < 1.0f ? 1.0f - hidden : 0.0f;
}

Color ShadingServices::irradiance(const Vec3& point, const Vec3& normal, int sampleCount) {
    if (sampleCount < 1) return Color();
    const StrataGrid grid = strataFor(sampleCount);
    Color sum;
    for (int i = 0; i < sampleCount; ++i) {
        const float jx = random_.next();
        const float jy = random_.next();
        float su, sv;
        stratifiedPoint(grid, i, jx, jy, su, sv);
        const Vec3 direction = cosineHemisphere(normal, su, sv);
        const Ray ray{point + normal * scene_.rayEpsilon, direction};
        if (!occluded(scene_, ray, std::numeric_limits<float>::infinity())) sum += environment(direction);
    }
    // With density cos/pi, E = pi * mean(L).
    return sum * (kPi / float(sampleCount));
}

}  // namespace flakecoat::preview
