#ifndef FLAKECOAT_TESTS_PREVIEW_THREADED_TILES_H
#define FLAKECOAT_TESTS_PREVIEW_THREADED_TILES_H

#include <memory>
#include <thread>
#include <vector>

#include "kernel/renderer.h"

// A small image rendered by `threadCount` plain threads, each with its own
// worker, taking the tiles in turn (thread t renders tiles t, t + n, ...).
inline std::vector<float> renderOnThreads(const flakecoat::preview::Scene& scene,
                                          const flakecoat::preview::PaintedSurfaceShader& shader, int threadCount) {
    namespace fp = flakecoat::preview;
    fp::RenderSettings settings;
    settings.width = 32;
    settings.height = 24;
    settings.samplesPerPixel = 2;
    settings.tileSize = 8;
    fp::Framebuffer image;
    image.resize(settings.width, settings.height);
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            std::unique_ptr<fp::SurfaceWorker> worker = shader.makeWorker();
            for (int tile = t; tile < fp::tileCount(settings); tile += threadCount)
                fp::renderTile(scene, *worker, settings, tile, image);
        });
    }
    for (std::thread& thread : threads) thread.join();
    return image.rgba;
}

#endif
