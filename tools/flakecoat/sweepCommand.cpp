// flakecoat sweep: a contact sheet of shader balls, one cell per value of
// one or two varied shading inputs, each cell labelled with its values and
// the sheet with the inputs' names.

#include <atomic>
#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include <tbb/global_control.h>
#include <tbb/parallel_for.h>

#include "commands.h"
#include "renderSetup.h"
#include "image/contactSheet.h"
#include "image/imageWriter.h"
#include "image/pendingOutput.h"
#include "inputEcho.h"
#include "interruptFlag.h"
#include "kernel/renderer.h"
#include "objectOptions.h"
#include "renderOptions.h"
#include "renderProgress.h"
#include "settings/parameterSweep.h"

namespace {

constexpr const char* kCommand = "flakecoat sweep: ";

int fail(const std::string& message) {
    std::cerr << kCommand << message << "\n";
    return 1;
}

struct SweepOptions {
    RenderOptions render;
    std::vector<std::string> vary;
};

// One host's sheet, checked and laid out before anything renders.
struct SheetPlan {
    std::vector<fp::SweepCell> cells;
    fp::SheetGeometry geometry;
};

bool planSheet(const fp::RenderHost& host, const std::vector<fp::SweepAxis>& axes, const RenderPlan& plan,
               SheetPlan& sheet, std::string& error) {
    std::vector<std::vector<fp::ParameterOverride>> values(axes.size());
    for (size_t a = 0; a < axes.size(); ++a)
        if (!fp::sweepValues(host.shadingInputs(), axes[a], host.name(), values[a], error)) return false;
    sheet.cells = fp::sweepGrid(values);
    const int columns = axes[0].steps, rows = axes.size() > 1 ? axes[1].steps : 1;
    sheet.geometry = fp::sheetGeometry(plan.width, plan.height, columns, rows, true);
    const long long pixels = (long long)sheet.geometry.width * sheet.geometry.height;
    if (pixels > fp::kMaxSheetPixels) {
        error = "the sheet would be " + std::to_string(sheet.geometry.width) + "x" +
                std::to_string(sheet.geometry.height) + " pixels, more than " + std::to_string(fp::kMaxSheetPixels) +
                "; use a smaller --size or fewer steps";
        return false;
    }
    return true;
}

// Renders every cell in parallel, each with a shader of its own (the fixed
// settings, then the cell's values), and lays them out with their labels.
// False when interrupted.
bool renderSheet(const fp::RenderHost& host, const std::vector<fp::ParameterOverride>& fixed, const SheetPlan& sheet,
                 const fp::Scene& scene, fp::RenderSettings settings, const std::string& title,
                 fp::Framebuffer& composed) {
    std::vector<std::unique_ptr<fp::PaintedSurfaceShader>> shaders;
    for (const fp::SweepCell& cell : sheet.cells) {
        std::vector<fp::ParameterOverride> overrides = fixed;
        overrides.insert(overrides.end(), cell.overrides.begin(), cell.overrides.end());
        shaders.push_back(host.makeShader(scene, overrides));
    }
    // One bar over the samples of every cell
    RenderProgress progress(host.name(), std::uint64_t(settings.width) * std::uint64_t(settings.height) *
                                             std::uint64_t(settings.samplesPerPixel) * sheet.cells.size());
    settings.progress = [&progress](std::uint64_t samples) { progress.advance(samples); };

    std::vector<fp::Framebuffer> images(sheet.cells.size());
    std::atomic<std::uint64_t> nonFinite{0};
    std::atomic<bool> completed{true};
    tbb::parallel_for(size_t(0), sheet.cells.size(), [&](size_t i) {
        const fp::RenderStats stats = fp::render(scene, *shaders[i], settings, images[i]);
        nonFinite += stats.nonFiniteSamples;
        if (!stats.completed) completed = false;
    });
    progress.finish();
    if (!completed || settings.cancel->load()) return false;
    if (nonFinite > 0)
        std::cerr << kCommand << "warning: " << nonFinite << " " << host.name()
                  << " samples were not finite numbers and count as black\n";

    std::vector<fp::SheetCell> cells;
    for (size_t i = 0; i < images.size(); ++i) cells.push_back({&images[i], sheet.cells[i].label});
    composed = fp::composeSheet(sheet.geometry, cells, title);
    return true;
}

int sweepWith(const SweepOptions& options, const InterruptFlag& interrupt) {
    // Check arguments
    RenderPlan plan;
    std::string error;
    if (!planRender(options.render, plan, error)) return fail(error);
    if (options.vary.empty() || options.vary.size() > size_t(fp::kMaxSweepAxes))
        return fail("give one --vary (a row) or two (a grid), not " + std::to_string(options.vary.size()));
    std::vector<fp::SweepAxis> axes(options.vary.size());
    for (size_t a = 0; a < axes.size(); ++a)
        if (!fp::parseSweepAxis(options.vary[a], axes[a], error)) return fail(error);
    if (axes.size() == 2 && axes[0].name == axes[1].name)
        return fail("--vary " + flakecoat::echoInput(axes[0].name) + " is given twice");
    for (const std::string& text : options.render.sets)
        for (const fp::SweepAxis& axis : axes)
            if (text.compare(0, axis.name.size() + 1, axis.name + "=") == 0)
                return fail("--set " + flakecoat::echoInput(axis.name) + ": the input is varied by --vary");

    // Load the hosts; check the fixed settings and every varied value
    RenderHosts hosts;
    std::vector<std::vector<fp::ParameterOverride>> fixed;
    if (!loadHosts(plan.hosts, hosts, error) || !settingsPerHost(options.render.sets, hosts, kCommand, fixed, error))
        return fail(error);
    std::vector<SheetPlan> sheets(hosts.size());
    for (size_t h = 0; h < hosts.size(); ++h)
        if (!planSheet(*hosts[h], axes, plan, sheets[h], error)) return fail(error);
    const std::optional<fp::Scene> scene = buildScene(options.render, plan, error, &interrupt.flag());
    if (!scene && interrupt.raised()) {
        std::cerr << kCommand << "interrupted; no sheet written\n";
        return 128 + interrupt.signalNumber();
    }
    if (!scene) return fail(error);

    // Claim the outputs before rendering
    const fp::ViewTransform view{options.render.exposure};
    std::vector<std::unique_ptr<fp::PendingOutput>> outputs;
    std::vector<std::unique_ptr<fp::ImageWriter>> writers;
    for (const std::string& path : plan.outputs) {
        writers.push_back(fp::imageWriterFor(path, view, error));
        outputs.push_back(std::make_unique<fp::PendingOutput>());
        if (!writers.back() || !outputs.back()->open(path, error)) return fail(error);
    }

    // Render each host's sheet
    const int threads = options.render.threads > 0 ? options.render.threads
                                                   : int(tbb::info::default_concurrency());
    tbb::global_control limit(tbb::global_control::max_allowed_parallelism, size_t(threads));
    fp::RenderSettings settings;
    settings.width = plan.width;
    settings.height = plan.height;
    settings.samplesPerPixel = options.render.samplesPerPixel;
    settings.threads = threads;
    settings.seed = plan.seed;
    settings.cancel = &interrupt.flag();
    for (size_t h = 0; h < hosts.size(); ++h) {
        fp::Framebuffer composed;
        if (!renderSheet(*hosts[h], fixed[h], sheets[h], *scene, settings, fp::sweepTitle(axes), composed)) {
            std::cerr << kCommand << "interrupted; no sheet written\n";
            return 128 + interrupt.signalNumber();
        }
        std::string reason;
        if (!writers[h]->write(outputs[h]->temporaryPath(), composed, reason))
            return fail("cannot write " + plan.outputs[h] + ": " + reason);
    }
    if (interrupt.raised()) {
        std::cerr << kCommand << "interrupted; no sheet written\n";
        return 128 + interrupt.signalNumber();
    }
    if (!fp::commitTogether(outputs, error)) return fail(error);
    for (size_t h = 0; h < hosts.size(); ++h)
        std::cout << plan.outputs[h] << "\n";
    std::cerr << kCommand << sheets[0].cells.size() << " cells of " << plan.width << "x" << plan.height << " at "
              << options.render.samplesPerPixel << " spp per host\n";
    return 0;
}

// As render: signals caught from the start, an allocation failure reported,
// no temporary file left by either.
int runSweep(const SweepOptions& options) {
    const InterruptFlag interrupt;
    try {
        return sweepWith(options, interrupt);
    } catch (const std::bad_alloc&) {
        return fail("out of memory; no sheet written");
    } catch (const std::exception& e) {
        return fail(std::string("sweep failed: ") + e.what() + "; no sheet written");
    }
}

}  // namespace

void addSweepCommand(CLI::App& app, int& exitStatus) {
    CLI::App* command = app.add_subcommand(
        "sweep", "Render a contact sheet: one labelled shader ball per value of one or two varied inputs");
    static SweepOptions options;
    RenderOptions& render = options.render;
    render.out = "sheet.png";
    render.size = "160x160";
    command->add_option("--vary", options.vary,
                        "NAME=FROM:TO:STEPS, an input by the host's name; FROM and TO one number or one per "
                        "component; STEPS " + std::to_string(fp::kMinSweepSteps) + " to " +
                            std::to_string(fp::kMaxSweepSteps) + ". A second --vary makes a grid (first across, "
                            "second down)")
        ->allow_extra_args(false);
    command->add_option("--host", render.host, "maya, mentalray or both (one sheet each)")->capture_default_str();
    command->add_option("--out", render.out,
                        "Sheet image, .png or .exr; with both hosts NAME-maya.EXT and NAME-mentalray.EXT")
        ->capture_default_str();
    command->add_option("--size", render.size, "Size of one cell, WIDTHxHEIGHT")->capture_default_str();
    command->add_option("--spp", render.samplesPerPixel, "Samples per pixel (stratified)")->capture_default_str();
    command->add_option("--threads", render.threads, "Render threads (default: every core)");
    command->add_option("--set", render.sets, "A fixed shading input, NAME=VALUE (repeatable), as for render")
        ->allow_extra_args(false);
    command->add_option("--env", render.environmentFile, "Latitude-longitude environment image (.exr)");
    command->add_option("--lights", render.lights, "Light rig: studio, softbox or sun")->capture_default_str();
    command->add_option("--seed", render.seed, "Seed of the sample pattern")->capture_default_str();
    command->add_option("--exposure", render.exposure, "Exposure of the PNG view transform, in stops")
        ->capture_default_str();
    addPaintedObjectOptions(*command, render.object);
    command->callback([&exitStatus] { exitStatus = runSweep(options); });
}
