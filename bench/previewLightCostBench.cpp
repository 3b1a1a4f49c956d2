// What lighting costs and what the environment's light count buys, for
// each host that loads:
//   LightCost/<host>/<setup>  512 x 512, 16 samples per pixel, 2 threads:
//                             the setup's render time, and vsStudio, its
//                             time over the studio rig's rendered in the
//                             same iteration (softbox; env: --env sun
//                             --lights none; env+studio: --env sun)
//   EnvironmentLights/<host>/N  128 x 128, 16 samples per pixel, --env sun
//                             --lights none with N lights: the time, and
//                             error, the root mean square difference from a
//                             1024-light, 256-sample render, relative to
//                             that render's mean
// Render time is the tile loop's wall time; building the scene is not
// counted.

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hosts/renderHost.h"
#include "kernel/renderer.h"
#include "look/look.h"
#include "look/stage.h"
#include "previewBench.h"

namespace fp = flakecoat::preview;

namespace {

struct Rendered {
    fp::Framebuffer image;
    double seconds = 0.0;
};

Rendered renderStage(fp::RenderHost& host, const fp::Stage& stage) {
    std::string error;
    const std::optional<fp::Scene> scene = stage.build(error);
    Rendered result;
    if (!scene) return result;
    const std::unique_ptr<fp::PaintedSurfaceShader> shader = host.makeShader(*scene);
    fp::RenderSettings settings = stage.renderSettings();
    settings.threads = 2;
    result.seconds = fp::render(*scene, *shader, settings, result.image).seconds;
    return result;
}

fp::Stage stageOf(const std::string& setup, int size, int samples) {
    fp::Stage stage;
    stage.width = stage.height = size;
    stage.samplesPerPixel = samples;
    if (setup == "softbox") stage.lights = "softbox";
    if (setup == "env" || setup == "env+studio") stage.environmentFile = "sun";
    if (setup == "env") stage.lights = "none";
    return stage;
}

void lightCost(benchmark::State& state, fp::RenderHost* host, std::string setup) {
    const fp::Stage studio = stageOf("studio", 512, 16);
    const fp::Stage measured = stageOf(setup, 512, 16);
    double studioSeconds = 0.0, measuredSeconds = 0.0;
    for (auto _ : state) {
        studioSeconds += renderStage(*host, studio).seconds;
        const double seconds = renderStage(*host, measured).seconds;
        measuredSeconds += seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["vsStudio"] = studioSeconds > 0.0 ? measuredSeconds / studioSeconds : 0.0;
}

void environmentLightCount(benchmark::State& state, fp::RenderHost* host, int count) {
    static std::map<fp::RenderHost*, fp::Framebuffer> references;
    fp::Stage stage = stageOf("env", 128, 256);
    if (references.find(host) == references.end()) {
        stage.environmentLights = fp::kMaxEnvironmentLights;
        references[host] = renderStage(*host, stage).image;
    }
    const fp::Framebuffer& reference = references[host];
    stage.samplesPerPixel = 16;
    stage.environmentLights = count;
    double squares = 0.0, sum = 0.0;
    for (auto _ : state) {
        const Rendered rendered = renderStage(*host, stage);
        state.SetIterationTime(rendered.seconds);
        squares = sum = 0.0;
        for (size_t i = 0; i < reference.rgba.size(); ++i) {
            if (i % 4 == 3) continue;
            const double difference = double(rendered.image.rgba[i]) - double(reference.rgba[i]);
            squares += difference * difference;
            sum += reference.rgba[i];
        }
    }
    const double values = double(reference.rgba.size() / 4 * 3);
    state.counters["error"] = sum > 0.0 ? std::sqrt(squares / values) / (sum / values) : 0.0;
}

}  // namespace

void registerLightCostBenchmarks() {
    for (const auto& [name, host] : benchmarkHosts()) {
        for (const char* setup : {"softbox", "env", "env+studio"})
            benchmark::RegisterBenchmark(("LightCost/" + name + "/" + setup).c_str(), lightCost, host,
                                         std::string(setup))
                ->UseManualTime()
                ->Iterations(1)
                ->Unit(benchmark::kMillisecond);
        for (int count : {4, 16, 32, 64, 128, 256})
            benchmark::RegisterBenchmark(("EnvironmentLights/" + name + "/" + std::to_string(count)).c_str(),
                                         environmentLightCount, host, count)
                ->UseManualTime()
                ->Iterations(1)
                ->Unit(benchmark::kMillisecond);
    }
}
