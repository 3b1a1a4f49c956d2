#ifndef FLAKECOAT_PREVIEW_KERNEL_SHADING_SERVICES_H
#define FLAKECOAT_PREVIEW_KERNEL_SHADING_SERVICES_H

// What the kernel offers the shader of one pixel sample: lights with shadows,
// reflection tracing, the environment and irradiance. One object lives on
// the stack for each pixel sample; its random numbers are that sample's.

#include "kernel/lights.h"
#include "kernel/random.h"
#include "kernel/scene.h"
#include "kernel/surfaceShader.h"

namespace flakecoat::preview {

// A traced ray's answer. hit is false when the ray left the scene (color is
// then the environment along it) or went deeper than kMaxTraceDepth.
struct TraceResult {
    bool hit = false;
    bool hitPainted = false;
    Color color;
};

// A light sample after the shadow test: light.intensity is zero when
// shadowed; unshadowedIntensity keeps the value before the test.
struct ShadowedLightSample {
    LightSample light;
    Color unshadowedIntensity;
    bool shadowed = false;
};

class ShadingServices {
public:
    // Rays deeper than this are not traced, whatever the shader asks.
    static constexpr int kMaxTraceDepth = 4;

    ShadingServices(const Scene& scene, SurfaceWorker& worker, SampleRandom& random)
        : scene_(scene), worker_(worker), random_(random) {}

    const Scene& scene() const { return scene_; }
    const Camera& camera() const { return scene_.camera; }
    int lightCount() const { return int(scene_.lights.size()); }
    const Light& light(int index) const { return scene_.lights[size_t(index)]; }

    // Sample `sampleIndex` of `sampleCount` of a light, seen from `point`,
    // shadow tested. Area-light samples are stratified over the rectangle and
    // jittered with this pixel sample's random numbers. `normal` is the
    // surface's geometric normal; the shadow ray starts just off the surface
    // on the light's side.
    ShadowedLightSample sampleShadowedLight(int lightIndex, const Vec3& point, const Vec3& normal,
                                            int sampleIndex, int sampleCount);

    // The light as one element: the direction towards its centre and the
    // mean shadowed intensity over its samples (all its area samples), and
    // optionally the same mean before shadowing. For an ambient light the
    // direction is zero and nothing is shadowed.
    LightSample averagedLight(int lightIndex, const Vec3& point, const Vec3& normal,
                              Color* unshadowedIntensity = nullptr, int depth = 0);

    // Shadowed samples a shading point at this ray depth takes of a light:
    // an area light's samples at the eye's hits, one in reflections (seen
    // there through a reflectivity, where its noise shows least).
    int lightSamples(int lightIndex, int depth) const {
        const int count = lightSampleCount(light(lightIndex));
        return depth > 0 && count > 1 ? 1 : count;
    }

    // The picks of the environment's lights a shading point takes (0 when
    // the environment is no light), and pick `pick` of them, shadow tested:
    // its intensity is weighted so that each pick estimates the whole
    // environment's light (the mean of the picks is the estimate). Draws
    // one random number of this pixel sample.
    // Like an area light's samples, the picks are fewer in reflections.
    int environmentPickCount(int depth = 0) const {
        const int picks = scene_.environmentLights.picks;
        return depth > 0 && picks > 1 ? 1 : picks;
    }
    ShadowedLightSample sampleEnvironmentLight(int pick, int pickCount, const Vec3& point, const Vec3& normal);

    // Traces the ray; a hit on the painted object is shaded by the worker at
    // `depth`, a hit on the ground by the kernel.
    TraceResult trace(const Ray& ray, int depth);
    // The same for a ray whose nearest hit is already known (found by
    // intersectScene, at most kMaxTraceDepth deep).
    TraceResult shadeHit(const Ray& ray, const Hit& hit, int depth);

    // A ray from a surface point along a unit direction, started just off
    // the surface on the direction's side of the geometric normal.
    Ray leavingRay(const Vec3& point, const Vec3& geometricNormal, const Vec3& direction) const {
        const Vec3 side = dot(direction, geometricNormal) >= 0.0f ? geometricNormal : -geometricNormal;
        return Ray{point + side * scene_.rayEpsilon, direction};
    }

    Color environment(const Vec3& direction) const { return scene_.environment.lookup(direction); }

    // Irradiance at the point from the environment over the hemisphere
    // around the unit normal, estimated from `sampleCount` cosine-weighted
    // directions; directions blocked by the scene contribute nothing.
    Color irradiance(const Vec3& point, const Vec3& normal, int sampleCount);

    // The next random number of this pixel sample.
    float random() { return random_.next(); }

private:
    Color shadePainted(const Ray& ray, const Hit& hit, int depth);
    Color shadeGround(const Ray& ray, const Hit& hit, int depth);
    // The share of the sky's cosine-weighted light that the object leaves
    // visible at a ground point: the ball's exact form factor, or one traced
    // ray towards the sky for a model.
    float groundSkyVisibility(const Hit& hit);
    ShadowedLightSample shadowTested(const LightSample& sample, const Vec3& point, const Vec3& normal) const;

    // The ground takes half the sky light an open field would: a studio
    // floor, lit mainly by the lights.
    static constexpr float kGroundEnvironmentWeight = 0.5f;

    const Scene& scene_;
    SurfaceWorker& worker_;
    SampleRandom& random_;
};

// The ground's diffuse colour at a point, in units of the scene's
// groundTile: a faint checker of 1-unit squares in two greys, so that
// reflections of the floor read as such.
Color groundAlbedo(const Vec3& point);

}  // namespace flakecoat::preview

#endif
