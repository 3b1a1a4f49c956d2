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
#include "image/contactSheet.h"
#include "image/imageWriter.h"
#include "image/pendingOutput.h"
#include "interruptFlag.h"
#include "kernel/renderer.h"
#include "renderOptions.h"
#include "look/sweep.h"
#include "renderProgress.h"

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

bool planSheet(const fp::Look& look, const std::vector<fp::SweepAxis>& axes, const fp::Stage& stage,
               SheetPlan& sheet, std::string& error) {
    std::vector<std::vector<fp::Setting>> values(axes.size());
    for (size_t a = 0; a < axes.size(); ++a)
        if (!fp::sweepValues(look, axes[a], values[a], error)) return false;
    sheet.cells = fp::sweepGrid(values);
    const int columns = axes[0].steps, rows = axes.size() > 1 ? axes[1].steps : 1;
    sheet.geometry = fp::sheetGeometry(stage.width, stage.height, columns, rows, true);
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
// look with the cell's values), and lays them out with their labels.
// False when interrupted.
bool renderSheet(const fp::RenderHost& host, const fp::Look& fixed, const SheetPlan& sheet, const fp::Scene& scene,
                 fp::RenderSettings settings, const std::string& title, fp::Framebuffer& composed) {
    std::vector<std::unique_ptr<fp::PaintedSurfaceShader>> shaders;
    for (const fp::SweepCell& cell : sheet.cells) shaders.push_back(host.makeShader(scene, fixed.with(cell.values)));
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

    // Load the hosts; check the fixed settings and every varied value
    fp::RenderHosts hosts;
    std::vector<fp::Look> fixed;
    std::vector<std::string> notes;
    if (!loadLooks(plan, options.render.sets, hosts, fixed, notes, error)) return fail(error);
    std::vector<std::string> fixedNames;
    for (const std::string& text : options.render.sets) fixedNames.push_back(text.substr(0, text.find('=')));
    for (const fp::Look& look : fixed)
        if (!fp::checkSweepInputs(look, axes, fixedNames, error)) return fail(error);
    for (const std::string& note : notes) std::cerr << kCommand << "note: " << note << "\n";
    const fp::Stage& stage = plan.stage;
    std::vector<SheetPlan> sheets(hosts.size());
    for (size_t h = 0; h < hosts.size(); ++h)
        if (!planSheet(fixed[h], axes, stage, sheets[h], error)) return fail(error);
    std::optional<fp::Scene> scene = stage.build(error, &interrupt.flag());
    if (!scene && interrupt.raised()) {
        std::cerr << kCommand << "interrupted; no sheet written\n";
        return 128 + interrupt.signalNumber();
    }
    if (!scene) return fail(error);

    // Claim the outputs before rendering
    const fp::ViewTransform view{stage.exposure};
    std::vector<std::unique_ptr<fp::PendingOutput>> outputs;
    std::vector<std::unique_ptr<fp::ImageWriter>> writers;
    for (const std::string& path : plan.outputs) {
        writers.push_back(fp::imageWriterFor(path, view, error));
        outputs.push_back(std::make_unique<fp::PendingOutput>());
        if (!writers.back() || !outputs.back()->open(path, error)) return fail(error);
    }

    // Render each host's sheet
    const int threads = plan.threads > 0 ? plan.threads : int(tbb::info::default_concurrency());
    tbb::global_control limit(tbb::global_control::max_allowed_parallelism, size_t(threads));
    fp::RenderSettings settings = stage.renderSettings();
    settings.threads = threads;
    settings.cancel = &interrupt.flag();
    for (size_t h = 0; h < hosts.size(); ++h) {
        fp::Framebuffer composed;
        // A close-up frames the flakes of the host's fixed look, in every cell
        scene->camera = stage.aim(*scene, fixed[h]);
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
    std::cerr << kCommand << sheets[0].cells.size() << " cells of " << stage.width << "x" << stage.height << " at "
              << stage.samplesPerPixel << " spp per host\n";
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
    render.defaults.width = render.defaults.height = 160;
    // A cell is bound by the sheet it sits in; sweep has no --max-pixels.
    render.defaults.bounds.maxPixels = std::uint64_t(fp::kMaxSheetPixels);
    render.defaults.bounds.pixelsHint = "the bound of a whole sheet; use a smaller --size";
    command->add_option("--vary", options.vary,
                        "NAME=FROM:TO:STEPS, an input by the host's name; FROM and TO one number or one per "
                        "component; STEPS " + std::to_string(fp::kMinSweepSteps) + " to " +
                            std::to_string(fp::kMaxSweepSteps) + ". A second --vary makes a grid (first across, "
                            "second down)")
        ->allow_extra_args(false);
    command->add_option("--host", render.host,
                        "maya, mentalray or both, one sheet each (default: the look's, else both)");
    command->add_option("--look", render.look,
                        "A shipped look by name or a look file (.json) every cell starts from; a varied input "
                        "replaces its value");
    command->add_option("--out", render.out,
                        "Sheet image, .png or .exr; with both hosts NAME-maya.EXT and NAME-mentalray.EXT")
        ->capture_default_str();
    command->add_option("--threads", render.threads, "Render threads (default: every core)");
    command->add_option("--set", render.sets, "A fixed shading input, NAME=VALUE (repeatable), as for render")
        ->allow_extra_args(false);
    addStageOptions(*command, render.stage, render.defaults, {"max-pixels"});
    render.stage.options["size"]->description("Size of one cell, WIDTHxHEIGHT");
    command->callback([&exitStatus] { exitStatus = runSweep(options); });
}
