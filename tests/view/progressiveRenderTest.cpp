// The viewer's render loop while settings keep changing: which images it
// renders for a change, that a stream of changes still yields images (the
// first of each run is finished, later ones cancelled), that changes are
// coalesced rather than queued, and that every image is the one a direct
// render of its settings gives, whatever the number of threads.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <tbb/task_arena.h>

#include "image/imageWriter.h"
#include "kernel/renderer.h"
#include "view/progressiveRender.h"
#include "view/refinementLadder.h"

namespace fp = flakecoat::preview;
namespace fv = flakecoat::preview::view;

namespace {

TEST(RefinementLadder, CoarseToFineAndStartsWithinTheBudget) {
    const std::vector<int> steps{1, 4, 16, 64};
    for (auto [width, height] : {std::pair{512, 512}, {1920, 1080}, {100, 33}, {24, 24}, {1, 1}, {257, 255}}) {
        const std::vector<fv::RefinementLevel> ladder = fv::refinementLadder(width, height, steps);
        ASSERT_GE(ladder.size(), steps.size());
        const size_t reduced = ladder.size() - steps.size();
        for (size_t i = 0; i < ladder.size(); ++i) {
            const fv::RefinementLevel& level = ladder[i];
            if (i > 0) {
                EXPECT_GT(level.samples(), ladder[i - 1].samples()) << width << "x" << height << " " << i;
            }
            if (i < reduced) {
                EXPECT_GT(level.divisor, 1);
                EXPECT_EQ(level.samplesPerPixel, 1);
                EXPECT_GE(std::min(level.width, level.height), fv::kSmallestReducedSide);
                EXPECT_EQ(level.width, (width + level.divisor - 1) / level.divisor);
                EXPECT_EQ(level.height, (height + level.divisor - 1) / level.divisor);
            } else {
                EXPECT_EQ(level.divisor, 1);
                EXPECT_EQ(level.width, width);
                EXPECT_EQ(level.samplesPerPixel, steps[i - reduced]);
            }
        }
        // The chosen start fits the budget unless nothing does, and is never
        // a refinement beyond the first full-size image.
        for (double rate : {0.0, 1e-9, 1e-7, 1e-6, 1e-5, 1e-3}) {
            const int start = fv::startingLevel(ladder, rate, 0.030);
            ASSERT_GE(start, 0);
            ASSERT_LE(size_t(start), reduced);
            if (rate == 0.0 || start > 0) {
                EXPECT_TRUE(start == 0 || double(ladder[start].samples()) * rate <= 0.030) << rate;
            }
            if (rate > 0.0 && size_t(start) < reduced) {
                EXPECT_GT(double(ladder[start + 1].samples()) * rate, 0.030) << rate;
            }
            if (rate == 0.0) {
                EXPECT_EQ(start, 0);
            }
        }
    }
    EXPECT_EQ(fv::refinementLadder(512, 512, steps).front().divisor, 16);
    EXPECT_DOUBLE_EQ(fv::updatedRate(0.0, 1000, 1.0), 1e-3);
    EXPECT_DOUBLE_EQ(fv::updatedRate(1e-3, 1000, 3.0), 2e-3);
    EXPECT_DOUBLE_EQ(fv::updatedRate(1e-3, 0, 3.0), 1e-3);
}

// The PNG a direct render of these settings at this level gives.
std::string directPng(const fv::ViewSession& session, const fv::ViewSettings& settings, int divisor, int spp) {
    std::string error;
    std::optional<fp::Scene> scene = settings.stage.buildScene(fp::Environment(), error);
    EXPECT_TRUE(scene) << error;
    if (!scene) return "";
    const auto shader = session.host(settings.host)->makeShader(*scene, settings.look);
    fp::RenderSettings render = settings.stage.renderSettings();
    render.width = (render.width + divisor - 1) / divisor;
    render.height = (render.height + divisor - 1) / divisor;
    render.samplesPerPixel = spp;
    render.threads = 1;
    render.markNonFinite = true;
    fp::Framebuffer image;
    fp::render(*scene, *shader, render, image);
    std::vector<unsigned char> png;
    tbb::task_arena(1).execute([&] {
        EXPECT_TRUE(fp::encodePng(image, fp::ViewTransform{settings.stage.exposure},
                                  divisor == 1 && spp == 64 ? 6 : 0, png, error));
    });
    return std::string(png.begin(), png.end());
}

// Changes back to back for a second, faster than any image renders, on a
// loop of 1 and of 2 threads (1 alone under ThreadSanitizer, which cannot
// follow the thread pool).
TEST(ProgressiveRender, ChangesStreamingInStillYieldImagesOfRecentValues) {
#if defined(__SANITIZE_THREAD__)
    const std::vector<int> threadCounts{1};
#else
    const std::vector<int> threadCounts{1, 2};
#endif
    // About 30 in an optimised build (under 15 when every change cancels);
    // instrumented builds render many times slower.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    const size_t kImagesDuringStream = 3;
#else
    const size_t kImagesDuringStream = 18;
#endif
    for (int threads : threadCounts) {
        std::string error;
        fp::RenderHosts hosts;  // one session holds them at a time
        ASSERT_TRUE(fp::loadRenderHosts({"maya"}, fp::HostModules::inDirectory(FLAKECOAT_LIBRARY_DIR), hosts, error))
            << error;
        fp::Stage stage;
        stage.width = stage.height = 1024;  // 1/16 (64 x 64) to 1/2 first
        stage.samplesPerPixel = 64;
        fv::ViewSession session(std::move(hosts), stage);
        const fv::ViewSettings initial = session.settings();
        const auto value = [](int i) { return "normalDeviation=" + std::to_string(0.5 + (i % 40) * 0.05); };
        std::map<std::uint64_t, int> sent;  // the value's index, by generation
        std::mutex sentMutex;
        std::atomic<bool> storming{true};
        std::vector<fv::PublishedImage> during, after;
        fv::LatestImage images;
        {
            fv::ProgressiveRender loop(session, images, fp::Environment(), threads);
            std::thread changes([&] {
                const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
                for (int i = 0; std::chrono::steady_clock::now() < end; ++i) {
                    std::uint64_t generation = 0;
                    std::string message;
                    ASSERT_TRUE(session.setInput(value(i), generation, message)) << message;
                    std::lock_guard<std::mutex> lock(sentMutex);
                    sent[generation] = i;
                }
                storming = false;
            });
            // Until the last value's first image
            fv::PublishedImage image;
            for (std::uint64_t serial = 0; images.waitFor(serial, 0, std::chrono::seconds(60), image);
                 serial = image.serial) {
                (storming ? during : after).push_back(image);
                if (!storming && image.generation == session.settings().generation) break;
            }
            changes.join();
        }
        // Images kept coming, each the first of its run: a loop that let a
        // change cancel any render in flight would show one only when the
        // stream stalls (the machine is busy), and refinements never finish.
        EXPECT_GE(during.size(), kImagesDuringStream) << threads << " threads";
        for (const fv::PublishedImage& image : during)
            if (sent.count(image.generation)) {
                EXPECT_EQ(image.samplesPerPixel, 1);
            }
        // Coalesced: once the stream stops, at most the image in flight (and
        // one fetched late) comes before the last value's.
        ASSERT_FALSE(after.empty());
        EXPECT_LE(after.size(), 3u);
        EXPECT_EQ(after.back().generation, session.settings().generation);
        // Each is its settings' direct render on one thread.
        std::vector<fv::PublishedImage> checked{after.back()};
        for (size_t i = 1; i < during.size() && checked.size() < 4; i += std::max<size_t>(1, during.size() / 3))
            checked.push_back(during[i]);
        for (const fv::PublishedImage& image : checked) {
            fv::ViewSettings settings = initial;
            ASSERT_TRUE(settings.look.set(value(sent.at(image.generation)), error)) << error;
            EXPECT_TRUE(std::string(image.png->begin(), image.png->end()) ==
                        directPng(session, settings, image.divisor, image.samplesPerPixel))
                << threads << " threads, generation " << image.generation << ", 1/" << image.divisor << ", "
                << image.samplesPerPixel << " spp";
        }
    }
}

}  // namespace

// An exposure change is not rendered again: the finished image comes back
// re-encoded (uncompressed first, for a moving slider) and ends as the
// compressed file a direct render writes.
TEST(ProgressiveRender, AnExposureChangeReencodesTheFinishedImage) {
    std::string error;
    fp::RenderHosts hosts;
    ASSERT_TRUE(fp::loadRenderHosts({"maya"}, fp::HostModules::inDirectory(FLAKECOAT_LIBRARY_DIR), hosts, error))
        << error;
    fp::Stage stage;
    stage.width = stage.height = 24;
    stage.samplesPerPixel = 64;
    fv::ViewSession session(std::move(hosts), stage);
    fv::LatestImage images;
    fv::ProgressiveRender loop(session, images, fp::Environment(), 1);
    fv::PublishedImage image;
    std::uint64_t serial = 0;
    while (images.waitFor(serial, 0, std::chrono::seconds(60), image) && image.samplesPerPixel < 64)
        serial = image.serial;
    ASSERT_EQ(image.samplesPerPixel, 64);
    std::uint64_t exposed = 0;
    ASSERT_TRUE(session.setView("exposure=1.5", exposed, error)) << error;
    const std::string expected = directPng(session, session.settings(), 1, 64);
    std::string shown;
    for (serial = image.serial; shown != expected && images.waitFor(serial, exposed, std::chrono::seconds(60), image);
         serial = image.serial) {
        EXPECT_EQ(image.samplesPerPixel, 64);
        shown.assign(image.png->begin(), image.png->end());
    }
    EXPECT_TRUE(shown == expected);
}
