#ifndef FLAKECOAT_TOOLS_RENDER_OPTIONS_H
#define FLAKECOAT_TOOLS_RENDER_OPTIONS_H

// The options render and sweep share, as given on the command line, and
// their checked form.

#include <cstdint>
#include <string>
#include <vector>

#include "hosts/renderHost.h"
#include "look/stage.h"
#include "stageOptions.h"

namespace fp = flakecoat::preview;

struct RenderOptions {
    std::string host = "both";  // maya, mentalray or both
    std::string out = "shaderball.png";
    int threads = 0;                // 0: every core
    std::vector<std::string> sets;  // NAME=VALUE
    fp::Stage defaults;             // the command's own stage
    StageOptions stage;             // the stage's options as given
};

// The checked form: the stage complete, one output path per host.
struct RenderPlan {
    std::vector<std::string> hosts;
    std::vector<std::string> outputs;  // parallel to hosts
    std::string sideBySide;            // with both hosts: NAME-both.EXT, the two images side by side
    fp::Stage stage;
    int threads = 0;
};

// Checks everything that can be checked without loading a host and fills
// the plan; on failure error is the message to print.
bool planRender(const RenderOptions& options, RenderPlan& plan, std::string& error);

// "--threads N" between 0 (every core) and 1024.
bool checkThreads(int threads, std::string& error);

// "out/ball.png" for host maya with two hosts: "out/ball-maya.png"; for
// host "both", the side-by-side image: "out/ball-both.png".
std::string outputPathForHost(const std::string& out, const std::string& host);

// The named hosts, each module where the tool finds it (modulePaths.h).
bool loadHosts(const std::vector<std::string>& names, fp::RenderHosts& hosts, std::string& error);

#endif
