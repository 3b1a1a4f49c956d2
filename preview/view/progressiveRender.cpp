#include "view/progressiveRender.h"

#include <chrono>
#include <iterator>
#include <memory>
#include <optional>

#include <tbb/task_arena.h>

#include "image/imageWriter.h"
#include "kernel/builtinEnvironments.h"
#include "kernel/renderer.h"
#include "kernel/scene.h"
#include "view/refinementLadder.h"

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

// The camera, aimed again for every image without building the scene anew.
bool sameCamera(const Stage& a, const Stage& b) {
    for (const StageOption& option : stageOptions())
        if (isCameraOption(option.key) && stageOptionText(a, option.key) != stageOptionText(b, option.key))
            return false;
    return true;
}

// Everything but the exposure, which only the PNG encoding uses.
bool sameImage(const ViewSettings& a, const ViewSettings& b) {
    return a.host == b.host && sameScene(a.stage, b.stage) && sameCamera(a.stage, b.stage) &&
           a.stage.seed == b.stage.seed &&
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
int compressionFor(size_t level, size_t levels) { return level + 1 == levels ? 6 : 0; }

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

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
    const std::vector<int> steps(std::begin(kSteps), std::end(kSteps));
    std::unique_ptr<Scene> scene;
    Stage sceneStage;        // what `scene` was built from
    ViewSettings shown;      // the settings of `image`
    std::vector<RefinementLevel> ladder;  // for `shown`
    size_t levelsDone = 0;   // of `ladder`, for `shown`
    Framebuffer image;
    std::string note;        // of `image`
    double secondsPerSample = 0.0;  // render and encoding, as measured
    // Encoding runs on as many threads as rendering, no more.
    tbb::task_arena encoding(threads_ > 0 ? threads_ : tbb::task_arena::automatic);
    const auto encode = [&](const Framebuffer& pixels, const ViewTransform& view, int compression,
                            std::vector<unsigned char>& png, std::string& error) {
        bool encoded = false;
        encoding.execute([&] { encoded = encodePng(pixels, view, compression, png, error); });
        return encoded;
    };
    ViewSettings settings;
    std::uint64_t seen = 0;
    while (session_.waitForChange(seen, settings)) {
        seen = settings.generation;
        const ViewTransform view{settings.stage.exposure};
        std::string error;

        // A change of exposure alone: the image again, then on from there.
        // It is stored uncompressed first, as an exposure slider moves; the
        // finished image is compressed again once no change waits.
        size_t firstLevel = 0;
        const bool resumed = levelsDone > 0 && sameImage(settings, shown);
        if (resumed) {
            const RefinementLevel& done = ladder[levelsDone - 1];
            const auto republish = [&](int compression) {
                std::vector<unsigned char> png;
                if (encode(image, view, compression, png, error))
                    images_.publish(std::move(png), settings.generation, done.samplesPerPixel, note, done.divisor);
            };
            republish(0);
            const int compression = compressionFor(levelsDone - 1, ladder.size());
            if (compression != 0 && !session_.cancelFlag().load()) republish(compression);
            firstLevel = levelsDone;
        } else {
            levelsDone = 0;
            ladder = refinementLadder(settings.stage.width, settings.stage.height, steps);
        }
        shown = settings;
        if (firstLevel == ladder.size()) continue;

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
        scene->camera = stage.aim(*scene, settings.look);
        const std::unique_ptr<PaintedSurfaceShader> shader =
            session_.host(settings.host)->makeShader(*scene, settings.look);

        if (!resumed) firstLevel = size_t(startingLevel(ladder, secondsPerSample, kCoarseBudget));
        for (size_t level = firstLevel; level < ladder.size(); ++level) {
            // A run's first image is finished whatever changes meanwhile.
            const bool finishes = !resumed && level == firstLevel;
            const RefinementLevel& size = ladder[level];
            RenderSettings render = stage.renderSettings();
            render.width = size.width;
            render.height = size.height;
            render.samplesPerPixel = size.samplesPerPixel;
            render.threads = threads_;
            render.cancel = finishes ? &session_.closedFlag() : &session_.cancelFlag();
            render.markNonFinite = true;
            const auto start = std::chrono::steady_clock::now();
            Framebuffer next;
            const RenderStats stats = flakecoat::preview::render(*scene, *shader, render, next);
            if (!stats.completed) break;
            std::string nextNote = markNonFinite(next, stats.nonFiniteSamples, settings);
            std::vector<unsigned char> png;
            if (!encode(next, view, compressionFor(level, ladder.size()), png, error)) break;
            secondsPerSample = updatedRate(secondsPerSample, size.samples(), secondsSince(start));
            image = std::move(next);
            note = std::move(nextNote);
            levelsDone = level + 1;
            images_.publish(std::move(png), settings.generation, size.samplesPerPixel, note, size.divisor);
            // A change came in meanwhile: start again from a coarse image.
            if (session_.cancelFlag().load()) break;
        }
    }
}

}  // namespace flakecoat::preview::view
