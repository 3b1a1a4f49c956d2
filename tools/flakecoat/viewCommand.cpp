// flakecoat view: a local web page with the shader's own controls and a
// live, progressively refined render of the ball, a shape or a model.

#include <csignal>
#include <iostream>
#include <thread>

#include <pthread.h>
#include <unistd.h>

#include "commands.h"
#include "image/exrReader.h"
#include "inputEcho.h"
#include "kernel/lights.h"
#include "meshes/paintedObject.h"
#include "modulePaths.h"
#include "objectOptions.h"
#include "renderOptions.h"
#include "renderSetup.h"
#include "view/progressiveRender.h"
#include "view/viewHosts.h"
#include "view/viewServer.h"

namespace fv = flakecoat::preview::view;

namespace {

constexpr const char* kCommand = "flakecoat view: ";

struct ViewOptions {
    std::string host = "maya";
    std::string lights = "studio";
    std::string environmentFile;
    std::string size = "512x512";
    int port = 0;  // any free port
    int threads = 0;
    fp::PaintedObject object;  // --shape, --mesh, --rotate
};

int fail(const std::string& message) {
    std::cerr << kCommand << message << "\n";
    return 1;
}

int runView(const ViewOptions& options) {
    // Check arguments
    fv::ViewConfig config;
    fv::ViewSettings initial;
    std::string error;
    if (options.host != "maya" && options.host != "mentalray")
        return fail("--host " + flakecoat::echoInput(options.host) + ": expected maya or mentalray");
    if (!parseImageSize(options.size, config.width, config.height, error)) return fail(error);
    std::vector<fp::Light> rig;
    if (!fp::lightRig(options.lights, rig))
        return fail("--lights " + flakecoat::echoInput(options.lights) + ": unknown rig; choose one of " +
                    fp::lightRigNames());
    if (options.port < 0 || options.port > 65535) return fail("--port: expected 0 (any free port) to 65535");
    if (options.threads < 0 || options.threads > 1024) return fail("--threads: expected 1 to 1024");
    if (!checkPaintedObject(options.object, error)) return fail(error);
    initial.lights = options.lights;
    config.object = options.object;
    fp::Environment imageEnvironment;
    if (!options.environmentFile.empty()) {
        fp::LatLongImage image;
        if (!fp::readLatLongExr(options.environmentFile, image, error)) return fail("--env " + error);
        imageEnvironment = fp::Environment(std::move(image));
        config.environmentFile = options.environmentFile;
        initial.imageEnvironment = true;
    }

    // A model that cannot be read is reported now, not by the render loop.
    if (!fp::paintedObjectScene(options.object, 1.0f, rig, fp::Environment(), error))
        return fail(options.object.meshFile.empty() ? error : "--mesh " + error);

    RenderHosts loaded;
    const std::string other = options.host == "maya" ? "mentalray" : "maya";
    if (!loadHosts({options.host, other}, loaded, error)) return fail(error);
    std::vector<fv::ViewHost> hosts =
        fv::describeViewHosts(std::move(loaded), defaultModulePath(kShaderDeclarationFile), error);
    if (hosts.empty()) return fail(error);

    // Signals are taken by sigwait below, not by whichever thread runs.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    fv::ViewSession session(std::move(hosts), config, initial);
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
    command->add_option("--host", options.host, "Host shown first: maya or mentalray (both are loaded)")
        ->capture_default_str();
    command->add_option("--lights", options.lights, "Light rig: studio, softbox or sun")->capture_default_str();
    command->add_option("--env", options.environmentFile, "Latitude-longitude environment image (.exr)");
    command->add_option("--size", options.size, "Image size WIDTHxHEIGHT")->capture_default_str();
    command->add_option("--port", options.port, "Port on 127.0.0.1 (0: any free port)")->capture_default_str();
    command->add_option("--threads", options.threads, "Render threads (default: every core)");
    addPaintedObjectOptions(*command, options.object);
    command->callback([&exitStatus] { exitStatus = runView(options); });
}
