#ifndef FLAKECOAT_PREVIEW_KERNEL_RENDERER_H
#define FLAKECOAT_PREVIEW_KERNEL_RENDERER_H

// Renders a scene into a framebuffer: tiles in parallel with oneTBB, each
// pixel a stratified set of eye rays, each sample with its own random
// numbers, so the image is the same whatever the number of threads.

#include <atomic>
#include <cstdint>
#include <functional>

#include "kernel/framebuffer.h"
#include "kernel/scene.h"
#include "kernel/surfaceShader.h"

namespace flakecoat::preview {

struct RenderSettings {
    int width = 512;
    int height = 512;
    int samplesPerPixel = 4;
    int threads = 0;  // 0: every core
    std::uint64_t seed = 1;
    int tileSize = 16;
    // Called from the render threads as pixels are finished, with the number
    // of samples just finished (a whole render has width x height x
    // samplesPerPixel); must be thread-safe. Called every few samples, so a
    // slow scene's progress still moves.
    std::function<void(std::uint64_t samples)> progress;
    // When it becomes true the render stops within a sample: the tiles at
    // hand are left unfinished and no other starts.
    const std::atomic<bool>* cancel = nullptr;
    // Fill the image's nonFinite marks (the viewer shows them).
    bool markNonFinite = false;
};

struct RenderStats {
    double seconds = 0.0;                 // wall time of the tile loop alone
    std::uint64_t primarySamples = 0;     // eye rays traced
    std::uint64_t nonFiniteSamples = 0;   // samples whose colour was NaN or infinite
    bool completed = false;               // false when cancelled
};

// Non-finite sample colours count as black in the pixel's mean and are
// counted in RenderStats, so one bad sample cannot poison an image. Alpha
// is 1 everywhere (the environment fills the background).
RenderStats render(const Scene& scene, const PaintedSurfaceShader& shader, const RenderSettings& settings,
                   Framebuffer& image);

// The pieces render() runs on its threads, for callers that schedule tiles
// themselves: the thread-safety tests drive them from plain threads, which
// ThreadSanitizer can follow (it cannot see the thread pool's own hand-offs).
// renderTile fills one tile of an image already sized to the settings and
// returns its number of non-finite samples; it stops early, leaving the tile
// unfinished, when the cancel flag is raised.
int tileCount(const RenderSettings& settings);
std::uint64_t renderTile(const Scene& scene, SurfaceWorker& worker, const RenderSettings& settings,
                         int tileIndex, Framebuffer& image);

}  // namespace flakecoat::preview

#endif
