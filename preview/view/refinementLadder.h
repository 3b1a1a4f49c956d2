#ifndef FLAKECOAT_PREVIEW_VIEW_REFINEMENT_LADDER_H
#define FLAKECOAT_PREVIEW_VIEW_REFINEMENT_LADDER_H

// The images the viewer renders for one set of settings, coarsest first:
// reduced sizes at 1 sample per pixel (1/16 to 1/2 of each side, where
// that still leaves a useful picture), then the full size at each of the
// refinement steps. The page scales the reduced ones up to the full size.
//
// While a slider moves, a change arrives every frame or two: a render that
// a change cancels outright never shows anything. So the first level of a
// run is chosen to finish within a short budget and is never cancelled by
// a change (only by closing); a change waiting when it ends restarts the
// run with the latest settings. Every later level is cancelled at once.

#include <cstdint>
#include <vector>

namespace flakecoat::preview::view {

struct RefinementLevel {
    int width = 0;
    int height = 0;
    int samplesPerPixel = 1;
    int divisor = 1;  // each side is 1/divisor of the full size (rounded up)

    std::uint64_t samples() const { return std::uint64_t(width) * std::uint64_t(height) * std::uint64_t(samplesPerPixel); }
};

// Reduced levels whose shorter side would fall below this are left out: a
// small image renders whole at once.
constexpr int kSmallestReducedSide = 16;

std::vector<RefinementLevel> refinementLadder(int width, int height, const std::vector<int>& fullSizeSteps);

// The level a run starts at: the finest one, up to the first at full size,
// that the measured rate (seconds per sample, 0: not measured yet) renders
// within the budget; the coarsest when none does or nothing is measured.
int startingLevel(const std::vector<RefinementLevel>& ladder, double secondsPerSample, double budgetSeconds);

// The measured rate after a render of `samples` took `seconds`: an even
// mix with the last estimate, so a change in load shows within a few
// renders while one slow render (another process) does not swing it.
double updatedRate(double secondsPerSample, std::uint64_t samples, double seconds);

}  // namespace flakecoat::preview::view

#endif
