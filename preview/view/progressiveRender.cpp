#include "view/progressiveRender.h"

#include <iostream>
#include <memory>
#include <optional>

#include "image/imageWriter.h"
#include "kernel/renderer.h"
#include "kernel/scene.h"
#include "meshes/paintedObject.h"

namespace flakecoat::preview::view {

namespace {

bool sameOverrides(const std::vector<ParameterOverride>& a, const std::vector<ParameterOverride>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].count != b[i].count) return false;
        for (int v = 0; v < a[i].count; ++v)
            if (a[i].values[v] != b[i].values[v]) return false;
    }
    return true;
}

// Everything but the exposure, which only the PNG encoding uses.
bool sameImage(const ViewSettings& a, const ViewSettings& b) {
    return a.host == b.host && a.lights == b.lights && a.imageEnvironment == b.imageEnvironment &&
           sameOverrides(a.overrides, b.overrides);
}

// The steps on the way are stored uncompressed, to reach the page soonest;
// the last, the one a user saves, is compressed.
int compressionFor(int step) { return step + 1 == int(std::size(ProgressiveRender::kSteps)) ? 6 : 0; }

}  // namespace

ProgressiveRender::ProgressiveRender(ViewSession& session, LatestImage& images, Environment imageEnvironment,
                                     int threads)
    : session_(session), images_(images), imageEnvironment_(std::move(imageEnvironment)), threads_(threads),
      thread_([this] { run(); }) {}

ProgressiveRender::~ProgressiveRender() {
    session_.close();
    thread_.join();
}

void ProgressiveRender::run() {
    const ViewConfig& config = session_.config();
    std::unique_ptr<Scene> scene;
    std::string sceneLights;
    bool sceneImageEnvironment = false;
    ViewSettings shown;      // the settings of `image`
    int stepsDone = 0;       // of kSteps, for `shown`
    Framebuffer image;
    ViewSettings settings;
    std::uint64_t seen = 0;
    while (session_.waitForChange(seen, settings)) {
        seen = settings.generation;
        const ViewTransform view{settings.exposure};
        std::string error;

        int firstStep = 0;
        if (stepsDone > 0 && sameImage(settings, shown)) {
            std::vector<unsigned char> png;
            if (encodePng(image, view, compressionFor(stepsDone - 1), png, error))
                images_.publish(std::move(png), settings.generation, kSteps[stepsDone - 1]);
            firstStep = stepsDone;
        } else {
            stepsDone = 0;
        }
        shown = settings;
        if (firstStep == int(std::size(kSteps))) continue;

        // Scene and shader for these settings
        if (!scene || settings.lights != sceneLights || settings.imageEnvironment != sceneImageEnvironment) {
            std::vector<Light> lights;
            lightRig(settings.lights, lights);
            std::optional<Scene> built =
                paintedObjectScene(config.object, float(config.width) / float(config.height), std::move(lights),
                                   settings.imageEnvironment ? imageEnvironment_ : Environment(), error,
                                   &session_.closedFlag());
            if (!built) {
                if (!session_.closedFlag().load()) std::cerr << "flakecoat view: " << error << "\n";
                continue;
            }
            scene = std::make_unique<Scene>(std::move(*built));
            sceneLights = settings.lights;
            sceneImageEnvironment = settings.imageEnvironment;
        }
        RenderHost& host = *session_.host(settings.host)->host;
        if (!host.applyOverrides(settings.overrides, error)) {
            std::cerr << "flakecoat view: " << error << "\n";
            continue;
        }
        const PaintedSurfaceShader& shader = host.shaderFor(*scene);

        for (int step = firstStep; step < int(std::size(kSteps)); ++step) {
            RenderSettings render;
            render.width = config.width;
            render.height = config.height;
            render.samplesPerPixel = kSteps[step];
            render.threads = threads_;
            render.cancel = &session_.cancelFlag();
            Framebuffer next;
            if (!flakecoat::preview::render(*scene, shader, render, next).completed) break;
            std::vector<unsigned char> png;
            if (!encodePng(next, view, compressionFor(step), png, error)) {
                std::cerr << "flakecoat view: " << error << "\n";
                break;
            }
            image = std::move(next);
            stepsDone = step + 1;
            images_.publish(std::move(png), settings.generation, kSteps[step]);
        }
    }
}

}  // namespace flakecoat::preview::view
