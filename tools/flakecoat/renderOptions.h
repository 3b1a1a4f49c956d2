#ifndef FLAKECOAT_TOOLS_RENDER_OPTIONS_H
#define FLAKECOAT_TOOLS_RENDER_OPTIONS_H

// The options render and sweep share, as given on the command line, and
// their checked form.

#include <cstdint>
#include <string>
#include <vector>

#include "hosts/renderHost.h"
#include "look/lookFile.h"
#include "look/stage.h"
#include "stageOptions.h"

namespace fp = flakecoat::preview;

struct RenderOptions {
    std::string host;  // maya, mentalray or both; empty: the look's, else both
    std::string out = "shaderball.png";
    int threads = 0;                // 0: every core
    std::vector<std::string> sets;  // NAME=VALUE
    std::string look;               // a shipped look's name or a look file
    fp::Stage defaults;             // the command's own stage
    StageOptions stage;             // the stage's options as given
};

// The checked form: the stage complete (the command's, the look file's
// over it, the options given over that), one output path per host.
struct RenderPlan {
    std::vector<std::string> hosts;
    std::vector<std::string> outputs;  // parallel to hosts
    std::string sideBySide;            // with both hosts: NAME-both.EXT, the two images side by side
    fp::Stage stage;
    fp::LookFile look;                 // empty without --look
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

// The plan's hosts loaded, and a look of each: the look file's values, then
// the --set texts over them (notes: those that apply to one host only).
bool loadLooks(const RenderPlan& plan, const std::vector<std::string>& sets, fp::RenderHosts& hosts,
               std::vector<fp::Look>& looks, std::vector<std::string>& notes, std::string& error);

#endif
