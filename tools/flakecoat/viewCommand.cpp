// flakecoat view: a local web page with the shader's own controls and a
// live, progressively refined render of the ball, a shape or a model.

#include <csignal>
#include <iostream>
#include <iterator>
#include <thread>

#include <pthread.h>
#include <unistd.h>

#include "commands.h"
#include "inputEcho.h"
#include "look/stage.h"
#include "renderOptions.h"
#include "shippedLooks.h"
#include "view/progressiveRender.h"
#include "view/viewServer.h"

namespace fv = flakecoat::preview::view;

namespace {

constexpr const char* kCommand = "flakecoat view: ";

struct ViewOptions {
    std::string host;  // empty: the look's, else maya
    std::string look;
    int port = 0;  // any free port
    int threads = 0;
    fp::Stage defaults;
    StageOptions stage;
};

int fail(const std::string& message) {
    std::cerr << kCommand << message << "\n";
    return 1;
}

int runView(const ViewOptions& options) {
    // Check arguments; the final refinement is the stage's samples
    fp::Stage stage = options.defaults;
    fp::LookFile look;
    std::string error;
    if (!options.look.empty() &&
        (!readLookOption(options.look, look, error) || !fp::applyLookStage(look, stage, error)))
        return fail(error);
    stage.samplesPerPixel = fv::ProgressiveRender::kSteps[std::size(fv::ProgressiveRender::kSteps) - 1];
    const std::string host = !options.host.empty() ? options.host : look.info.host.empty() ? "maya" : look.info.host;
    if (host != "maya" && host != "mentalray")
        return fail("--host " + flakecoat::echoInput(host) + ": expected maya or mentalray");
    if (options.port < 0 || options.port > 65535) return fail("--port: expected 0 (any free port) to 65535");
    if (!checkThreads(options.threads, error) || !applyStageOptions(options.stage, stage, error)) return fail(error);

    // The environment is read once, and a model that cannot be read is
    // reported now, not by the render loop.
    fp::Environment imageEnvironment;
    if (!stage.readEnvironment(imageEnvironment, error) || !stage.buildScene(fp::Environment(), error))
        return fail(error);

    fp::RenderHosts hosts;
    const std::string other = host == "maya" ? "mentalray" : "maya";
    if (!loadHosts({host, other}, hosts, error)) return fail(error);
    std::vector<fp::Look> looks = fp::defaultLooks(hosts);
    if (!fp::applyLookSettings(look, looks, error)) return fail(error);

    // Signals are taken by sigwait below, not by whichever thread runs.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    fv::ViewSession session(std::move(hosts), stage, std::move(looks));
    fv::LatestImage images;
    fv::ProgressiveRender renderLoop(session, images, std::move(imageEnvironment), options.threads);
    fv::ViewServer server(session, images);
    const int port = server.bind(options.port, error);
    if (port < 0) return fail(error);
    std::cout << "http://127.0.0.1:" << port << "/" << std::endl;
    std::cerr << kCommand << "serving on 127.0.0.1 only; Ctrl-C stops\n";

    std::thread serving([&server] {
        server.run();
        kill(getpid(), SIGTERM);  // wakes sigwait should the server stop by itself
    });
    int signalNumber = 0;
    sigwait(&stopSignals, &signalNumber);
    server.stop();
    serving.join();
    return 0;
}

}  // namespace

void addViewCommand(CLI::App& app, int& exitStatus) {
    CLI::App* command =
        app.add_subcommand("view", "Serve a local page with the shader's controls and a live render of the ball");
    static ViewOptions options;
    command->add_option("--host", options.host,
                        "Host shown first: maya or mentalray, both loaded (default: the look's, else maya)");
    command->add_option("--look", options.look, "A shipped look by name or a look file (.json) to start from");
    command->add_option("--port", options.port, "Port on 127.0.0.1 (0: any free port)")->capture_default_str();
    command->add_option("--threads", options.threads, "Render threads (default: every core)");
    // The viewer refines to 64 samples per pixel itself.
    addStageOptions(*command, options.stage, options.defaults, {"spp"});
    command->callback([&exitStatus] { exitStatus = runView(options); });
}
