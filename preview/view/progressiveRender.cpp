#include "view/progressiveRender.h"

#include <memory>
#include <optional>

#include "image/imageWriter.h"
#include "kernel/builtinEnvironments.h"
#include "kernel/renderer.h"
#include "kernel/scene.h"

namespace flakecoat::preview::view {

namespace {

bool sameSettings(const std::vector<Setting>& a, const std::vector<Setting>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!sameValues(a[i], b[i])) return false;
    return true;
}

// What the scene is built from: the object, the image's shape, the lights
// and the environment.
bool sameScene(const Stage& a, const Stage& b) {
    return a.object.shape == b.object.shape && a.object.meshFile == b.object.meshFile &&
           a.object.rotateDegrees == b.object.rotateDegrees && a.width == b.width && a.height == b.height &&
           a.lights == b.lights && a.environmentFile == b.environmentFile &&
           a.environmentLights == b.environmentLights && a.environmentRotate == b.environmentRotate &&
           a.floor == b.floor;
}

// Everything but the exposure, which only the PNG encoding uses.
bool sameImage(const ViewSettings& a, const ViewSettings& b) {
    return a.host == b.host && sameScene(a.stage, b.stage) && a.stage.seed == b.stage.seed &&
           sameSettings(a.look.settings(), b.look.settings());
}

// Pixels with a sample that was not a finite colour show in magenta at any
// exposure; the note names the values that made them.
std::string markNonFinite(Framebuffer& image, std::uint64_t count, const ViewSettings& settings) {
    if (count == 0) return "";
    for (size_t i = 0; i < image.nonFinite.size(); ++i)
        if (image.nonFinite[i]) {
            float* pixel = &image.rgba[i * 4];
            pixel[0] = pixel[2] = 1e30f;
            pixel[1] = 0.0f;
        }
    std::string values;
    for (const std::string& value : settings.look.arguments()) values += (values.empty() ? "" : ", ") + value;
    return std::to_string(count) + " samples were not finite (NaN or infinite), shown in magenta: " + settings.host +
           (values.empty() ? " with its defaults" : " with " + values);
}

// The steps on the way are stored uncompressed, to reach the page soonest;
// the last, the one a user saves, is compressed as `render` writes it.
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
    std::unique_ptr<Scene> scene;
    Stage sceneStage;        // what `scene` was built from
    ViewSettings shown;      // the settings of `image`
    int stepsDone = 0;       // of kSteps, for `shown`
    Framebuffer image;
    std::string note;        // of `image`
    ViewSettings settings;
    std::uint64_t seen = 0;
    while (session_.waitForChange(seen, settings)) {
        seen = settings.generation;
        const ViewTransform view{settings.stage.exposure};
        std::string error;

        int firstStep = 0;
        if (stepsDone > 0 && sameImage(settings, shown)) {
            std::vector<unsigned char> png;
            if (encodePng(image, view, compressionFor(stepsDone - 1), png, error))
                images_.publish(std::move(png), settings.generation, kSteps[stepsDone - 1], note);
            firstStep = stepsDone;
        } else {
            stepsDone = 0;
        }
        shown = settings;
        if (firstStep == int(std::size(kSteps))) continue;

        // Scene and shader for these settings. The session's object was
        // built once before it started, so a build fails here only when the
        // session closes while a model is read.
        const Stage& stage = settings.stage;
        if (!scene || !sameScene(stage, sceneStage)) {
            // The image read at the start, or the sky or a built-in (nothing
            // to read).
            Environment environment = imageEnvironment_;
            if (stage.environmentFile.empty() || isBuiltinEnvironment(stage.environmentFile))
                stage.readEnvironment(environment, error);
            std::optional<Scene> built = stage.buildScene(std::move(environment), error, &session_.closedFlag());
            if (!built) continue;
            scene = std::make_unique<Scene>(std::move(*built));
            sceneStage = stage;
        }
        const std::unique_ptr<PaintedSurfaceShader> shader =
            session_.host(settings.host)->makeShader(*scene, settings.look);

        for (int step = firstStep; step < int(std::size(kSteps)); ++step) {
            RenderSettings render = stage.renderSettings();
            render.samplesPerPixel = kSteps[step];
            render.threads = threads_;
            render.cancel = &session_.cancelFlag();
            render.markNonFinite = true;
            Framebuffer next;
            const RenderStats stats = flakecoat::preview::render(*scene, *shader, render, next);
            if (!stats.completed) break;
            std::string nextNote = markNonFinite(next, stats.nonFiniteSamples, settings);
            std::vector<unsigned char> png;
            if (!encodePng(next, view, compressionFor(step), png, error)) break;
            image = std::move(next);
            note = std::move(nextNote);
            stepsDone = step + 1;
            images_.publish(std::move(png), settings.generation, kSteps[step], note);
        }
    }
}

}  // namespace flakecoat::preview::view
