#include "view/refinementLadder.h"

#include <algorithm>

namespace flakecoat::preview::view {

std::vector<RefinementLevel> refinementLadder(int width, int height, const std::vector<int>& fullSizeSteps) {
    std::vector<RefinementLevel> ladder;
    for (int divisor : {16, 8, 4, 2}) {
        const int reducedWidth = (width + divisor - 1) / divisor;
        const int reducedHeight = (height + divisor - 1) / divisor;
        if (std::min(reducedWidth, reducedHeight) < kSmallestReducedSide) continue;
        ladder.push_back(RefinementLevel{reducedWidth, reducedHeight, 1, divisor});
    }
    for (int spp : fullSizeSteps) ladder.push_back(RefinementLevel{width, height, spp, 1});
    return ladder;
}

int startingLevel(const std::vector<RefinementLevel>& ladder, double secondsPerSample, double budgetSeconds) {
    if (!(secondsPerSample > 0.0)) return 0;
    int chosen = 0;
    for (int level = 0; level < int(ladder.size()); ++level) {
        if (double(ladder[level].samples()) * secondsPerSample <= budgetSeconds) chosen = level;
        if (ladder[level].divisor == 1) break;  // refinements never start a run
    }
    return chosen;
}

double updatedRate(double secondsPerSample, std::uint64_t samples, double seconds) {
    if (samples == 0 || !(seconds >= 0.0)) return secondsPerSample;
    const double measured = seconds / double(samples);
    return secondsPerSample > 0.0 ? 0.5 * (secondsPerSample + measured) : measured;
}

}  // namespace flakecoat::preview::view
