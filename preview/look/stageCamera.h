#ifndef FLAKECOAT_PREVIEW_LOOK_STAGE_CAMERA_H
#define FLAKECOAT_PREVIEW_LOOK_STAGE_CAMERA_H

// The stage's camera options (orbit, elevation, zoom, fov, frame, shot):
// read from text, checked and written back as the other stage options are
// (see look/stage.h), and turned into the kernel's aim (kernel/framing.h).

#include <optional>
#include <string>

#include "kernel/framing.h"

namespace flakecoat::preview {

struct StageProblem;
class Look;

struct StageCamera {
    float orbit = 0.0f;                   // degrees about the vertical
    float elevation = kDefaultElevation;  // degrees above the horizontal
    float zoom = 1.0f;
    float fov = kBallFov;                 // vertical, degrees
    std::string frame;                    // fill or sphere; empty: the object's own
    std::string shot = "whole";           // or closeup
};

bool isCameraOption(const std::string& key);
// As setStageOption: the value read from text and checked as far as it alone tells.
bool setCameraOption(StageCamera& camera, const std::string& key, const std::string& text, StageProblem& problem);
std::string cameraOptionText(const StageCamera& camera, const std::string& key);
// The first value out of its range (set other than through the text).
std::optional<StageProblem> cameraProblem(const StageCamera& camera);

// The aim these options give for this object: the ball keeps the ball's
// view, a model or the swatch is framed to fill, unless frame says.
CameraAim cameraAim(const StageCamera& camera, bool ball);
// The flakes of a look: its frequencyY, in the space its host's noise
// takes (mental ray's is texture space); the defaults for a look of no host.
FlakeScale flakeScale(const Look& look);

}  // namespace flakecoat::preview

#endif
