#ifndef FLAKECOAT_PREVIEW_VIEW_PROGRESSIVE_RENDER_H
#define FLAKECOAT_PREVIEW_VIEW_PROGRESSIVE_RENDER_H

// The viewer's render loop, on a thread of its own: for each new generation
// of the session's settings it climbs the refinement ladder (see
// refinementLadder.h): a reduced image first, sized to finish within
// kCoarseBudget at the rate measured so far, then larger ones and the full
// size at 1, 4, 16 and 64 samples per pixel, publishing each. The first
// image of a run is always finished, so that a slider being dragged still
// shows an image every few frames; a change waiting then restarts the run
// with the latest settings (changes in between are coalesced, never
// queued). A change cancels any later image between samples. Each step is
// a whole render at its size and sample count, so the last one equals
// `flakecoat render --spp 64`. Renders run one at a time on the renderer's
// thread pool.
//
// A change of exposure alone re-encodes the last image instead of
// rendering it again, then refinement goes on where it stopped.

#include <thread>
#include <vector>

#include "kernel/environment.h"
#include "view/latestImage.h"
#include "view/viewSession.h"

namespace flakecoat::preview::view {

class ProgressiveRender {
public:
    // The full-size steps, after the reduced images.
    static constexpr int kSteps[] = {1, 4, 16, 64};
    // What a run's first image may take: two of them (the one in flight
    // when a drag stops, then the last value's) and the way to the page
    // stay within a tenth of a second.
    static constexpr double kCoarseBudget = 0.030;

    // imageEnvironment is the session's environment file, read once (unused
    // without one).
    ProgressiveRender(ViewSession& session, LatestImage& images, Environment imageEnvironment, int threads = 0);
    ~ProgressiveRender();  // stops: closes the session and joins

    ProgressiveRender(const ProgressiveRender&) = delete;
    ProgressiveRender& operator=(const ProgressiveRender&) = delete;

private:
    void run();

    ViewSession& session_;
    LatestImage& images_;
    Environment imageEnvironment_;
    int threads_;
    std::thread thread_;
};

}  // namespace flakecoat::preview::view

#endif
