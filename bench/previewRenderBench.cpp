// Whole renders of the shader ball, reported as primary samples per second
// (items/s). The Threads argument gives the thread scaling; the PeerScene
// cases match the scene scripts/bench-peer.sh renders with POV-Ray.

#include <benchmark/benchmark.h>

#include "kernel/renderer.h"
#include "kernel/scene.h"
#include "testing/placeholderShader.h"

namespace fp = flakecoat::preview;

namespace {

fp::Scene defaultScene(int width, int height) {
    std::vector<fp::Light> lights;
    fp::lightRig("studio", lights);
    return fp::shaderBallScene(float(width) / float(height), std::move(lights), fp::Environment());
}

void renderCase(benchmark::State& state, const fp::PaintedSurfaceShader& shader, int size, int spp, int threads) {
    const fp::Scene scene = defaultScene(size, size);
    fp::RenderSettings settings;
    settings.width = size;
    settings.height = size;
    settings.samplesPerPixel = spp;
    settings.threads = threads;
    fp::Framebuffer image;
    for (auto _ : state) {
        const fp::RenderStats stats = fp::render(scene, shader, settings, image);
        benchmark::DoNotOptimize(image.rgba.data());
        state.SetIterationTime(stats.seconds);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(size) * size * spp);
}

// 512 x 512 at 4 samples per pixel; Arg = threads.
void BM_DefaultRender_Placeholder(benchmark::State& state) {
    renderCase(state, fp::testing::PlaceholderShader(), 512, 4, int(state.range(0)));
}
BENCHMARK(BM_DefaultRender_Placeholder)->ArgName("threads")->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond);

// 512 x 512, one sample per pixel, 2 threads: the POV-Ray comparison.
void BM_PeerScene_Placeholder(benchmark::State& state) {
    renderCase(state, fp::testing::PlaceholderShader(), 512, 1, 2);
}
BENCHMARK(BM_PeerScene_Placeholder)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
