// Whole renders of the shader ball, reported as primary samples per second
// (items/s), for each host that loads and for the placeholder shader:
//   DefaultRender/<host>/threads:N  512 x 512, 4 samples per pixel; N = 1
//                                   and 2 give the thread scaling
//   PeerScene/<host>                512 x 512, 1 sample per pixel,
//                                   2 threads: what scripts/bench-peer.sh
//                                   compares with POV-Ray
// Render time is the tile loop's wall time; loading and writing are not
// counted.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "hosts/renderHost.h"
#include "kernel/renderer.h"
#include "kernel/scene.h"
#include "previewBench.h"
#include "testing/placeholderShader.h"

namespace fp = flakecoat::preview;

namespace {

fp::Scene defaultScene(int width, int height) {
    std::vector<fp::Light> lights;
    fp::lightRig("studio", lights);
    return fp::shaderBallScene(float(width) / float(height), std::move(lights), fp::Environment());
}

struct RenderCase {
    int size;
    int samplesPerPixel;
    int threads;
};

void renderCase(benchmark::State& state, fp::RenderHost* host, RenderCase c) {
    const fp::Scene scene = defaultScene(c.size, c.size);
    fp::testing::PlaceholderShader placeholder;
    const std::unique_ptr<fp::PaintedSurfaceShader> hostShader = host ? host->makeShader(scene) : nullptr;
    const fp::PaintedSurfaceShader& shader = host ? *hostShader : placeholder;
    fp::RenderSettings settings;
    settings.width = c.size;
    settings.height = c.size;
    settings.samplesPerPixel = c.samplesPerPixel;
    settings.threads = c.threads;
    fp::Framebuffer image;
    for (auto _ : state) {
        const fp::RenderStats stats = fp::render(scene, shader, settings, image);
        benchmark::DoNotOptimize(image.rgba.data());
        state.SetIterationTime(stats.seconds);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(c.size) * c.size * c.samplesPerPixel);
}

}  // namespace

void registerRenderBenchmarks() {
    std::vector<std::pair<std::string, fp::RenderHost*>> shaders = {{"placeholder", nullptr}};
    for (const auto& host : benchmarkHosts()) shaders.push_back(host);
    for (const auto& [name, host] : shaders) {
        for (int threads : {1, 2}) {
            benchmark::RegisterBenchmark(("DefaultRender/" + name + "/threads:" + std::to_string(threads)).c_str(),
                                         renderCase, host, RenderCase{512, 4, threads})
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
        benchmark::RegisterBenchmark(("PeerScene/" + name).c_str(), renderCase, host, RenderCase{512, 1, 2})
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
}
