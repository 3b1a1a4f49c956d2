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
#include "renderSetup.h"
#include "image/contactSheet.h"
#include "image/imageWriter.h"
#include "image/pendingOutput.h"
#include "interruptFlag.h"
#include "kernel/renderer.h"
#include "kernel/scene.h"
#include "objectOptions.h"
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

int renderWith(const RenderOptions& options, const InterruptFlag& interrupt) {
    // Check arguments
    RenderPlan plan;
    std::string error;
    if (!planRender(options, plan, error)) return fail(error);

    // Load the hosts and check the settings against what each declares
    RenderHosts hosts;
    std::vector<std::vector<fp::ParameterOverride>> settings;
    if (!loadHosts(plan.hosts, hosts, error) || !settingsPerHost(options.sets, hosts, kCommand, settings, error))
        return fail(error);
    for (size_t h = 0; h < hosts.size(); ++h)
        if (!hosts[h]->applyOverrides(settings[h], error)) return fail(error);

    const std::optional<fp::Scene> built = buildScene(options, plan, error, &interrupt.flag());
    if (!built) return interrupt.raised() ? interrupted(interrupt) : fail(error);
    if (interrupt.raised()) return interrupted(interrupt);
    const fp::Scene& scene = *built;

    // Claim the outputs before rendering, so an unwritable path fails at once
    const fp::ViewTransform view{options.exposure};
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
        RenderProgress progress(hosts[i]->name(),
                                std::uint64_t(plan.width) * std::uint64_t(plan.height) * options.samplesPerPixel);
        fp::RenderSettings settings;
        settings.width = plan.width;
        settings.height = plan.height;
        settings.samplesPerPixel = options.samplesPerPixel;
        settings.threads = options.threads;
        settings.seed = plan.seed;
        settings.cancel = &interrupt.flag();
        settings.progress = [&progress](std::uint64_t samples) { progress.advance(samples); };
        fp::Framebuffer& image = images[i];
        const fp::RenderStats stats = fp::render(scene, hosts[i]->shaderFor(scene), settings, image);
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
    std::cerr << kCommand << plan.width << "x" << plan.height << " at " << options.samplesPerPixel
              << " spp: " << totalSamples << " samples in " << totalSeconds << " s ("
              << formatRate(double(totalSamples) / totalSeconds) << ")\n";
    return 0;
}

// Signals are caught from the start, so no temporary file is ever left by
// one; an allocation that fails anywhere unwinds through the pending
// outputs, which remove their temporary files.
int runRender(const RenderOptions& options) {
    const InterruptFlag interrupt;
    try {
        return renderWith(options, interrupt);
    } catch (const std::bad_alloc&) {
        return fail("out of memory rendering " + options.size + "; no image written");
    } catch (const std::exception& e) {
        return fail(std::string("render failed: ") + e.what() + "; no image written");
    }
}

}  // namespace

void addRenderCommand(CLI::App& app, int& exitStatus) {
    CLI::App* command =
        app.add_subcommand("render", "Render the shader ball, a shape or a model with one or both deliverables");
    static RenderOptions options;
    command->add_option("--host", options.host, "maya, mentalray or both")->capture_default_str();
    command->add_option("--out", options.out,
                        "Output image, .png (8-bit sRGB) or .exr (linear half RGBA); with both hosts "
                        "NAME-maya.EXT, NAME-mentalray.EXT and the two side by side, NAME-both.EXT")
        ->capture_default_str();
    command->add_option("--size", options.size, "Image size WIDTHxHEIGHT")->capture_default_str();
    command->add_option("--spp", options.samplesPerPixel, "Samples per pixel (stratified)")->capture_default_str();
    command->add_option("--threads", options.threads, "Render threads (default: every core)");
    command->add_option("--set", options.sets,
                        "Set a shading input by the host's name: NAME=VALUE or NAME=V1,V2,V3 (repeatable)")
        ->allow_extra_args(false);
    command->add_option("--env", options.environmentFile, "Latitude-longitude environment image (.exr)");
    command->add_option("--lights", options.lights, "Light rig: studio, softbox or sun")->capture_default_str();
    command->add_option("--seed", options.seed, "Seed of the sample pattern, 0 to 2^64 - 1")->capture_default_str();
    command->add_option("--exposure", options.exposure, "Exposure of the PNG view transform, in stops")
        ->capture_default_str();
    command->add_option("--max-pixels", options.maxPixels, "Largest image, in pixels, the render allocates")
        ->capture_default_str();
    command->add_option("--max-env-pixels", options.maxEnvironmentPixels,
                        "Largest environment image, in pixels, --env reads")
        ->capture_default_str();
    addPaintedObjectOptions(*command, options.object);
    command->callback([&exitStatus] { exitStatus = runRender(options); });
}
