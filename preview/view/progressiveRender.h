#ifndef FLAKECOAT_PREVIEW_VIEW_PROGRESSIVE_RENDER_H
#define FLAKECOAT_PREVIEW_VIEW_PROGRESSIVE_RENDER_H

// The viewer's render loop, on a thread of its own: for each new generation
// of the session's settings it renders 1 sample per pixel, publishes it, and
// refines (4, 16, 64 samples) while nothing changes. A change cancels the
// render in flight between tiles; each step is a whole render at its sample
// count, so the last one equals `flakecoat render --spp 64`. Renders run one
// at a time on the renderer's thread pool.
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
    static constexpr int kSteps[] = {1, 4, 16, 64};

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
