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

bool cancelled(const RenderSettings& settings) {
    return settings.cancel && settings.cancel->load(std::memory_order_relaxed);
}

// Pixels x0 to x1 - 1 of row y; returns the number of non-finite samples.
// The row's eye rays meet the scene in bundles of neighbouring samples,
// which a model's hierarchy answers faster than single rays; then each
// sample is shaded in turn, in the order and with the random numbers of a
// pixel-by-pixel loop. A stop request is honoured before every sample, and
// progress reported after every bundle: a fraction of a millisecond of an
// ordinary scene, well under a second of a pathological one.
std::uint64_t renderRow(const Scene& scene, SurfaceWorker& worker, const RenderSettings& settings, int y, int x0,
                        int x1, Framebuffer& image) {
    const int perPixel = settings.samplesPerPixel;
    const StrataGrid strata = strataFor(perPixel);
    const float inverseCount = 1.0f / float(perPixel);
    const int total = (x1 - x0) * perPixel;
    SampleRandom random[kRayBundleSize];
    Ray rays[kRayBundleSize];
    Hit hits[kRayBundleSize];
    Color sum;
    bool pixelBroken = false;
    std::uint64_t nonFinite = 0;
    for (int first = 0; first < total; first += kRayBundleSize) {
        if (cancelled(settings)) return nonFinite;
        const int count = std::min(kRayBundleSize, total - first);
        for (int i = 0; i < count; ++i) {
            const int x = x0 + (first + i) / perPixel;
            const int s = (first + i) % perPixel;
            const auto pixelIndex = std::uint32_t(y) * std::uint32_t(image.width) + std::uint32_t(x);
            random[i] = SampleRandom(settings.seed, pixelIndex, std::uint32_t(s));
            const float jx = random[i].next();
            const float jy = random[i].next();
            float sx, sy;
            stratifiedPoint(strata, s, jx, jy, sx, sy);
            rays[i] = scene.camera.primaryRay((float(x) + sx) / float(image.width),
                                              (float(y) + sy) / float(image.height));
        }
        intersectScene(scene, rays, count, hits);
        for (int i = 0; i < count; ++i) {
            if (cancelled(settings)) return nonFinite;
            ShadingServices services(scene, worker, random[i]);
            const Color c = services.shadeHit(rays[i], hits[i], 0).color;
            if (isFinite(c)) {
                sum += c;
            } else {
                ++nonFinite;
                pixelBroken = true;
            }
            if ((first + i) % perPixel != perPixel - 1) continue;
            const int x = x0 + (first + i) / perPixel;
            float* out = image.pixel(x, y);
            out[0] = sum.x * inverseCount;
            out[1] = sum.y * inverseCount;
            out[2] = sum.z * inverseCount;
            out[3] = 1.0f;
            if (pixelBroken && !image.nonFinite.empty())
                image.nonFinite[std::uint32_t(y) * std::uint32_t(image.width) + std::uint32_t(x)] = 1;
            sum = Color();
            pixelBroken = false;
        }
        if (settings.progress) settings.progress(std::uint64_t(count));
    }
    return nonFinite;
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
    std::uint64_t nonFinite = 0;
    for (int y = y0; y < y1 && !cancelled(settings); ++y)
        nonFinite += renderRow(scene, worker, settings, y, x0, x1, image);
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
