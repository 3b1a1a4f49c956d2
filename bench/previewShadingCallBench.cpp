// The cost of one shading call on the ball through each host path, against
// the Maya colour evaluation called directly. All cases shade the same
// sample of the default scene with the same kernel services (shadowed light
// elements, the reflection traced through the scene), so the difference is
// what the host path adds: filling the data block and running compute for
// Maya; the render state, renderer functions and the shader's own model for
// mental ray. Reported as calls per second (items/s).

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "colorEvaluation.h"
#include "hosts/renderHost.h"
#include "kernel/shadingServices.h"
#include "previewBench.h"

namespace fp = flakecoat::preview;

namespace {

fp::Scene benchScene() {
    std::vector<fp::Light> lights;
    fp::lightRig("studio", lights);
    return fp::shaderBallScene(1.0f, std::move(lights), fp::Environment());
}

// A sample on the ball's front, a little up and to the left, seen from the
// camera.
fp::SurfaceSample benchSample(const fp::Scene& scene) {
    const fp::Vec3 normal = fp::normalize({-0.3f, 0.4f, 1.0f});
    fp::SurfaceSample sample;
    sample.pointWorld = scene.ball.center + normal;
    sample.normalWorld = normal;
    sample.rayOriginWorld = scene.camera.eye();
    sample.rayDirectionWorld = fp::normalize(sample.pointWorld - sample.rayOriginWorld);
    sample.pointCamera = scene.camera.pointToCamera(sample.pointWorld);
    sample.normalCamera = scene.camera.directionToCamera(normal);
    sample.rayDirectionCamera = scene.camera.directionToCamera(sample.rayDirectionWorld);
    fp::sphereUv(normal, sample.u, sample.v);
    return sample;
}

struct DirectContext {
    fp::ShadingServices* services;
    const fp::SurfaceSample* sample;
};

// The tracer the direct evaluation is given: the same scene trace as the
// Maya host's, found through raySampler.
MStatus directRaytrace(const MFloatVector& origin, const MFloatVector& direction, const void*,
                       const void* raySampler, short rayDepth, MFloatVector& color, MFloatVector&, bool) {
    const DirectContext& context = *static_cast<const DirectContext*>(raySampler);
    const fp::Camera& camera = context.services->camera();
    const fp::Vec3 d = fp::normalize(camera.directionToWorld({direction.x, direction.y, direction.z}));
    const fp::Vec3 o = camera.pointToWorld({origin.x, origin.y, origin.z}) + context.sample->normalWorld * fp::kRayEpsilon;
    const fp::Color c = context.services->trace(fp::Ray{o, d}, int(rayDepth) + 1).color;
    color = MFloatVector(c.x, c.y, c.z);
    return MS::kSuccess;
}

void directCall(benchmark::State& state) {
    const fp::Scene scene = benchScene();
    const fp::SurfaceSample sample = benchSample(scene);
    struct NoWorker : fp::SurfaceWorker {
        fp::Color shade(const fp::SurfaceSample&, fp::ShadingServices&) override { return {}; }
    } worker;
    fp::SampleRandom random(1, 0, 0);
    fp::ShadingServices services(scene, worker, random);
    DirectContext context{&services, &sample};

    flakecoat::maya::ColorInputs inputs;
    inputs.pointCamera = MFloatVector(sample.pointCamera.x, sample.pointCamera.y, sample.pointCamera.z);
    inputs.pointWorld = MFloatVector(sample.pointWorld.x, sample.pointWorld.y, sample.pointWorld.z);
    inputs.rayDirection =
        MFloatVector(sample.rayDirectionCamera.x, sample.rayDirectionCamera.y, sample.rayDirectionCamera.z);
    inputs.raySampler = &context;
    flakecoat::maya::LightElement lights[4];
    const int lightCount = services.lightCount();
    for (auto _ : state) {
        for (int i = 0; i < lightCount; ++i) {
            const fp::LightSample element = services.averagedLight(i, sample.pointWorld, sample.normalWorld);
            const fp::Vec3 towards = scene.camera.directionToCamera(element.towardsLight);
            lights[i].direction = MFloatVector(towards.x, towards.y, towards.z);
            lights[i].intensity = MFloatVector(element.intensity.x, element.intensity.y, element.intensity.z);
            lights[i].ambient = false;
            lights[i].diffuse = lights[i].specular = true;
        }
        MFloatVector normal(sample.normalCamera.x, sample.normalCamera.y, sample.normalCamera.z);
        const MFloatVector color = flakecoat::maya::evaluateColor(inputs, normal, lights, lightCount,
                                                                  MFloatVector(0, 0, 0), directRaytrace);
        benchmark::DoNotOptimize(color);
    }
    state.SetItemsProcessed(state.iterations());
}

void hostCall(benchmark::State& state, fp::RenderHost* host) {
    const fp::Scene scene = benchScene();
    const fp::SurfaceSample sample = benchSample(scene);
    const std::unique_ptr<fp::PaintedSurfaceShader> shader = host->makeShader(scene);
    std::unique_ptr<fp::SurfaceWorker> worker = shader->makeWorker();
    fp::SampleRandom random(1, 0, 0);
    fp::ShadingServices services(scene, *worker, random);
    for (auto _ : state) {
        const fp::Color color = worker->shade(sample, services);
        benchmark::DoNotOptimize(color);
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

void registerShadingCallBenchmarks() {
    benchmark::RegisterBenchmark("ShadingCall/evaluateColor-direct", directCall);
    for (const auto& [name, host] : benchmarkHosts())
        benchmark::RegisterBenchmark(("ShadingCall/" + name + "-host").c_str(), hostCall, host);
}
