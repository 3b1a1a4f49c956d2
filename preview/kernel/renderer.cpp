#include "kernel/renderer.h"

#include <algorithm>
#include <chrono>
#include <memory>

#include <tbb/blocked_range.h>
#include <tbb/enumerable_thread_specific.h>
#include <tbb/info.h>
#include <tbb/parallel_for.h>
#include <tbb/task_arena.h>

#include "kernel/random.h"
#include "kernel/sampling.h"
#include "kernel/shadingServices.h"

namespace flakecoat::preview {

namespace {

struct TileGrid {
    int columns;
    int rows;
    int size;
    int count() const { return columns * rows; }
};

TileGrid tileGrid(const RenderSettings& settings) {
    const int tileSize = settings.tileSize > 0 ? settings.tileSize : 16;
    return TileGrid{(settings.width + tileSize - 1) / tileSize, (settings.height + tileSize - 1) / tileSize,
                    tileSize};
}

// Samples finished between progress reports: a fraction of a millisecond
// of an ordinary scene, well under a second of a pathological one.
constexpr int kSamplesPerReport = 16;

bool cancelled(const RenderSettings& settings) {
    return settings.cancel && settings.cancel->load(std::memory_order_relaxed);
}

}  // namespace

int tileCount(const RenderSettings& settings) { return tileGrid(settings).count(); }

std::uint64_t renderTile(const Scene& scene, SurfaceWorker& worker, const RenderSettings& settings, int tileIndex,
                         Framebuffer& image) {
    const TileGrid tiles = tileGrid(settings);
    const int x0 = (tileIndex % tiles.columns) * tiles.size;
    const int y0 = (tileIndex / tiles.columns) * tiles.size;
    const int x1 = std::min(x0 + tiles.size, image.width);
    const int y1 = std::min(y0 + tiles.size, image.height);
    const StrataGrid strata = strataFor(settings.samplesPerPixel);
    const float inverseCount = 1.0f / float(settings.samplesPerPixel);
    std::uint64_t nonFinite = 0;
    int unreported = 0;

    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const auto pixelIndex = std::uint32_t(y) * std::uint32_t(image.width) + std::uint32_t(x);
            Color sum;
            const std::uint64_t nonFiniteBefore = nonFinite;
            for (int s = 0; s < settings.samplesPerPixel; ++s) {
                if (cancelled(settings)) return nonFinite;
                SampleRandom random(settings.seed, pixelIndex, std::uint32_t(s));
                const float jx = random.next();
                const float jy = random.next();
                float sx, sy;
                stratifiedPoint(strata, s, jx, jy, sx, sy);
                const Ray ray = scene.camera.primaryRay((float(x) + sx) / float(image.width),
                                                        (float(y) + sy) / float(image.height));
                ShadingServices services(scene, worker, random);
                const Color c = services.trace(ray, 0).color;
                if (isFinite(c))
                    sum += c;
                else
                    ++nonFinite;
            }
            float* out = image.pixel(x, y);
            out[0] = sum.x * inverseCount;
            out[1] = sum.y * inverseCount;
            out[2] = sum.z * inverseCount;
            out[3] = 1.0f;
            if (nonFinite != nonFiniteBefore && !image.nonFinite.empty()) image.nonFinite[pixelIndex] = 1;
            unreported += settings.samplesPerPixel;
            if (unreported >= kSamplesPerReport && settings.progress) {
                settings.progress(std::uint64_t(unreported));
                unreported = 0;
            }
        }
    }
    if (unreported > 0 && settings.progress) settings.progress(std::uint64_t(unreported));
    return nonFinite;
}

RenderStats render(const Scene& scene, const PaintedSurfaceShader& shader, const RenderSettings& settings,
                   Framebuffer& image) {
    RenderStats stats;
    image.resize(std::max(settings.width, 0), std::max(settings.height, 0));
    image.nonFinite.assign(settings.markNonFinite ? size_t(image.width) * size_t(image.height) : 0, 0);
    if (settings.width < 1 || settings.height < 1 || settings.samplesPerPixel < 1) return stats;
    const TileGrid tiles = tileGrid(settings);
    const int threads = settings.threads > 0 ? settings.threads : tbb::info::default_concurrency();

    // One worker per render thread, made on that thread's first tile.
    tbb::enumerable_thread_specific<std::unique_ptr<SurfaceWorker>> workers;
    std::atomic<int> tilesDone{0};
    std::atomic<int> tilesSkipped{0};
    std::atomic<std::uint64_t> nonFinite{0};

    const auto start = std::chrono::steady_clock::now();
    tbb::task_arena arena(threads);
    arena.execute([&] {
        tbb::parallel_for(
            tbb::blocked_range<int>(0, tiles.count(), 1),
            [&](const tbb::blocked_range<int>& range) {
                std::unique_ptr<SurfaceWorker>& worker = workers.local();
                if (!worker) worker = shader.makeWorker();
                for (int tile = range.begin(); tile != range.end(); ++tile) {
                    if (!cancelled(settings))
                        nonFinite.fetch_add(renderTile(scene, *worker, settings, tile, image),
                                            std::memory_order_relaxed);
                    // A tile cut short by a cancel counts as skipped
                    if (cancelled(settings))
                        tilesSkipped.fetch_add(1, std::memory_order_relaxed);
                    else
                        tilesDone.fetch_add(1, std::memory_order_relaxed);
                }
            },
            tbb::simple_partitioner());
    });
    const auto stop = std::chrono::steady_clock::now();

    stats.seconds = std::chrono::duration<double>(stop - start).count();
    stats.completed = tilesSkipped.load() == 0;
    stats.primarySamples = std::uint64_t(tilesDone.load()) == std::uint64_t(tiles.count())
                               ? std::uint64_t(settings.width) * std::uint64_t(settings.height) *
                                     std::uint64_t(settings.samplesPerPixel)
                               : 0;
    stats.nonFiniteSamples = nonFinite.load();
    return stats;
}

}  // namespace flakecoat::preview
