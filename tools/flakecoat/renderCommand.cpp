// flakecoat render: the shader ball, a built-in shape or the user's model
// rendered with one or both deliverables, each loaded the way its host loads
// it.

#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "image/contactSheet.h"
#include "image/imageWriter.h"
#include "image/pendingOutput.h"
#include "interruptFlag.h"
#include "kernel/renderer.h"
#include "kernel/scene.h"
#include "renderOptions.h"
#include "renderProgress.h"

namespace {

constexpr const char* kCommand = "flakecoat render: ";

int fail(const std::string& message) {
    std::cerr << kCommand << message << "\n";
    return 1;
}

std::string formatRate(double samplesPerSecond) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3g M samples/s", samplesPerSecond / 1e6);
    return text;
}

// How a host's image is labelled beside the other's.
std::string hostLabel(const std::string& host) {
    return host == "maya" ? "Maya: flakeCoat.so" : "mental ray: tarn_flakeCoat.so";
}

// The hosts' images in a row, each labelled.
fp::Framebuffer sideBySide(const std::vector<std::string>& hostNames, const std::vector<fp::Framebuffer>& images) {
    const fp::SheetGeometry geometry =
        fp::sheetGeometry(images.front().width, images.front().height, int(images.size()), 1, false);
    std::vector<fp::SheetCell> cells;
    for (size_t i = 0; i < images.size(); ++i) cells.push_back({&images[i], hostLabel(hostNames[i])});
    return fp::composeSheet(geometry, cells, "");
}

int interrupted(const InterruptFlag& interrupt) {
    std::cerr << kCommand << "interrupted; no image written\n";
    return 128 + interrupt.signalNumber();
}

int renderWith(const RenderOptions& options, const InterruptFlag& interrupt, RenderPlan& plan) {
    // Check arguments
    std::string error;
    if (!planRender(options, plan, error)) return fail(error);

    // Load the hosts and check the settings against what each declares
    fp::RenderHosts hosts;
    std::vector<fp::Look> looks;
    std::vector<std::string> notes;
    if (!loadLooks(plan, options.sets, hosts, looks, notes, error)) return fail(error);
    for (const std::string& note : notes) std::cerr << kCommand << "note: " << note << "\n";

    const fp::Stage& stage = plan.stage;
    std::optional<fp::Scene> built = stage.build(error, &interrupt.flag());
    if (!built) return interrupt.raised() ? interrupted(interrupt) : fail(error);
    if (interrupt.raised()) return interrupted(interrupt);
    fp::Scene& scene = *built;

    // Claim the outputs before rendering, so an unwritable path fails at once
    const fp::ViewTransform view{stage.exposure};
    std::vector<std::unique_ptr<fp::PendingOutput>> outputs;
    std::vector<std::unique_ptr<fp::ImageWriter>> writers;
    std::vector<std::string> paths = plan.outputs;
    if (!plan.sideBySide.empty()) paths.push_back(plan.sideBySide);
    for (const std::string& path : paths) {
        writers.push_back(fp::imageWriterFor(path, view, error));
        outputs.push_back(std::make_unique<fp::PendingOutput>());
        if (!writers.back() || !outputs.back()->open(path, error)) return fail(error);
    }

    // Render each host and write its image under the temporary name
    std::uint64_t totalSamples = 0;
    double totalSeconds = 0.0;
    std::vector<fp::Framebuffer> images(hosts.size());
    for (size_t i = 0; i < hosts.size(); ++i) {
        RenderProgress progress(hosts[i]->name(), std::uint64_t(stage.width) * std::uint64_t(stage.height) *
                                                      std::uint64_t(stage.samplesPerPixel));
        fp::RenderSettings settings = stage.renderSettings();
        settings.threads = plan.threads;
        settings.cancel = &interrupt.flag();
        settings.progress = [&progress](std::uint64_t samples) { progress.advance(samples); };
        fp::Framebuffer& image = images[i];
        // A close-up frames this host's flakes
        scene.camera = stage.aim(scene, looks[i]);
        const fp::RenderStats stats = fp::render(scene, *hosts[i]->makeShader(scene, looks[i]), settings, image);
        progress.finish();
        if (!stats.completed || interrupt.raised()) return interrupted(interrupt);
        if (stats.nonFiniteSamples > 0)
            std::cerr << kCommand << "warning: " << stats.nonFiniteSamples << " " << hosts[i]->name()
                      << " samples were not finite numbers and count as black\n";
        std::string reason;
        if (!writers[i]->write(outputs[i]->temporaryPath(), image, reason))
            return fail("cannot write " + plan.outputs[i] + ": " + reason);
        std::cerr << kCommand << hosts[i]->name() << ": " << stats.primarySamples << " samples in "
                  << stats.seconds << " s (" << formatRate(double(stats.primarySamples) / stats.seconds) << ")\n";
        totalSamples += stats.primarySamples;
        totalSeconds += stats.seconds;
    }

    if (!plan.sideBySide.empty()) {
        std::string reason;
        if (!writers.back()->write(outputs.back()->temporaryPath(), sideBySide(plan.hosts, images), reason))
            return fail("cannot write " + plan.sideBySide + ": " + reason);
    }

    // Move every image into place together
    if (interrupt.raised()) return interrupted(interrupt);
    if (!fp::commitTogether(outputs, error)) return fail(error);
    for (const std::string& path : paths) std::cout << path << "\n";
    std::cerr << kCommand << stage.width << "x" << stage.height << " at " << stage.samplesPerPixel
              << " spp: " << totalSamples << " samples in " << totalSeconds << " s ("
              << formatRate(double(totalSamples) / totalSeconds) << ")\n";
    return 0;
}

// Signals are caught from the start, so no temporary file is ever left by
// one; an allocation that fails anywhere unwinds through the pending
// outputs, which remove their temporary files.
int runRender(const RenderOptions& options) {
    const InterruptFlag interrupt;
    RenderPlan plan;
    try {
        return renderWith(options, interrupt, plan);
    } catch (const std::bad_alloc&) {
        return fail("out of memory rendering " + fp::stageOptionText(plan.stage, "size") + "; no image written");
    } catch (const std::exception& e) {
        return fail(std::string("render failed: ") + e.what() + "; no image written");
    }
}

}  // namespace

void addRenderCommand(CLI::App& app, int& exitStatus) {
    CLI::App* command =
        app.add_subcommand("render", "Render the shader ball, a shape or a model with one or both deliverables");
    static RenderOptions options;
    command->add_option("--host", options.host, "maya, mentalray or both (default: the look's host, else both)");
    command->add_option("--look", options.look,
                        "A shipped look by name (flakecoat looks lists them) or a look file (.json): its stage and "
                        "values, under the options and --set given here");
    command->add_option("--out", options.out,
                        "Output image, .png (8-bit sRGB) or .exr (linear half RGBA); with both hosts "
                        "NAME-maya.EXT, NAME-mentalray.EXT and the two side by side, NAME-both.EXT")
        ->capture_default_str();
    command->add_option("--threads", options.threads, "Render threads (default: every core)");
    command->add_option("--set", options.sets,
                        "Set a shading input by the host's name: NAME=VALUE or NAME=V1,V2,V3 (repeatable)")
        ->allow_extra_args(false);
    addStageOptions(*command, options.stage, options.defaults);
    command->callback([&exitStatus] { exitStatus = runRender(options); });
}
