// Whole renders with the placeholder shader: finite pixels, repeatability,
// seeds, cancellation, reflection depth, and pixels equal to their samples
// traced one by one.

#include <atomic>
#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "kernel/random.h"
#include "kernel/renderer.h"
#include "kernel/sampling.h"
#include "kernel/scene.h"
#include "kernel/shadingServices.h"
#include "meshes/objLoader.h"
#include "testing/placeholderShader.h"
#include "testing/sphereObj.h"

namespace fp = flakecoat::preview;

namespace {

fp::Scene scene(const char* rig = "studio") {
    std::vector<fp::Light> lights;
    fp::lightRig(rig, lights);
    return fp::shaderBallScene(1.0f, std::move(lights), fp::Environment());
}

fp::RenderSettings small(int spp = 4) {
    fp::RenderSettings settings;
    settings.width = 40;
    settings.height = 30;  // not a multiple of the tile size
    settings.samplesPerPixel = spp;
    settings.threads = 1;
    return settings;
}

// A worker recording the deepest sample it was asked to shade.
class DepthProbe : public fp::PaintedSurfaceShader {
public:
    mutable std::atomic<int> deepest{-1};
    std::unique_ptr<fp::SurfaceWorker> makeWorker() const override {
        struct Worker : fp::SurfaceWorker {
            const DepthProbe* probe;
            fp::Color shade(const fp::SurfaceSample& sample, fp::ShadingServices& services) override {
                int seen = probe->deepest.load();
                while (sample.rayDepth > seen && !probe->deepest.compare_exchange_weak(seen, sample.rayDepth)) {}
                // Keep reflecting straight back at the ball's centre.
                const fp::Ray back{sample.pointWorld + sample.normalWorld * 0.5f, -sample.normalWorld};
                return services.trace(back, sample.rayDepth + 1).color;
            }
        };
        auto worker = std::make_unique<Worker>();
        worker->probe = this;
        return worker;
    }
};

}  // namespace

TEST(Render, EveryRigGivesFiniteOpaquePixels) {
    for (const char* rig : {"studio", "softbox", "sun"}) {
        fp::Framebuffer image;
        const fp::RenderStats stats = fp::render(scene(rig), fp::testing::PlaceholderShader(), small(), image);
        ASSERT_TRUE(stats.completed);
        EXPECT_EQ(stats.primarySamples, 40u * 30u * 4u);
        EXPECT_EQ(stats.nonFiniteSamples, 0u);
        ASSERT_EQ(image.rgba.size(), 40u * 30u * 4u);
        for (size_t i = 0; i < image.rgba.size(); i += 4) {
            ASSERT_TRUE(std::isfinite(image.rgba[i]) && std::isfinite(image.rgba[i + 1]) &&
                        std::isfinite(image.rgba[i + 2]))
                << rig << " pixel " << i / 4;
            ASSERT_GE(image.rgba[i], 0.0f);
            ASSERT_EQ(image.rgba[i + 3], 1.0f);
        }
        // The ball sits in the middle: its centre pixel differs from the sky
        // in the top corner.
        EXPECT_NE(image.pixel(20, 15)[1], image.pixel(0, 0)[1]) << rig;
    }
}

TEST(Render, SameSeedSameImageOtherSeedOtherNoise) {
    fp::Framebuffer a, b, c;
    fp::RenderSettings settings = small();
    fp::render(scene("softbox"), fp::testing::PlaceholderShader(), settings, a);
    fp::render(scene("softbox"), fp::testing::PlaceholderShader(), settings, b);
    EXPECT_EQ(a.rgba, b.rgba);
    settings.seed = 2;
    fp::render(scene("softbox"), fp::testing::PlaceholderShader(), settings, c);
    EXPECT_NE(a.rgba, c.rgba);
}

TEST(Render, ACancelledRenderSaysSo) {
    std::atomic<bool> cancel{true};
    fp::RenderSettings settings = small();
    settings.cancel = &cancel;
    fp::Framebuffer image;
    const fp::RenderStats stats = fp::render(scene(), fp::testing::PlaceholderShader(), settings, image);
    EXPECT_FALSE(stats.completed);
    EXPECT_EQ(stats.primarySamples, 0u);
}

TEST(Render, ACancelMidTileStopsWithinASample) {
    // A shader that raises the flag at its 50th sample, well inside a tile
    struct Counting : fp::PaintedSurfaceShader {
        std::atomic<int>* shaded;
        std::atomic<bool>* cancel;
        std::unique_ptr<fp::SurfaceWorker> makeWorker() const override {
            struct Worker : fp::SurfaceWorker {
                const Counting* owner;
                fp::Color shade(const fp::SurfaceSample&, fp::ShadingServices&) override {
                    if (++*owner->shaded == 50) owner->cancel->store(true);
                    return {0.5f, 0.5f, 0.5f};
                }
            };
            auto worker = std::make_unique<Worker>();
            worker->owner = this;
            return worker;
        }
    };
    std::atomic<int> shaded{0};
    std::atomic<bool> cancel{false};
    Counting shader;
    shader.shaded = &shaded;
    shader.cancel = &cancel;
    fp::RenderSettings settings = small(16);
    settings.cancel = &cancel;
    fp::Framebuffer image;
    EXPECT_FALSE(fp::render(scene(), shader, settings, image).completed);
    // One thread: the sample that raised it is the last shaded.
    EXPECT_EQ(shaded.load(), 50);
}

TEST(Render, ProgressCountsEverySampleAndBadSettingsRenderNothing) {
    fp::RenderSettings settings = small();
    std::atomic<std::uint64_t> samples{0}, reports{0};
    settings.progress = [&](std::uint64_t finished) {
        samples += finished;
        ++reports;
    };
    fp::Framebuffer image;
    fp::render(scene(), fp::testing::PlaceholderShader(), settings, image);
    EXPECT_EQ(samples.load(), std::uint64_t(settings.width * settings.height * settings.samplesPerPixel));
    EXPECT_GT(reports.load(), std::uint64_t(fp::tileCount(settings)));  // finer than whole tiles
    settings.samplesPerPixel = 0;
    EXPECT_FALSE(fp::render(scene(), fp::testing::PlaceholderShader(), settings, image).completed);
}

TEST(Render, TracingStopsBelowTheDepthLimit) {
    DepthProbe probe;
    fp::Framebuffer image;
    fp::render(scene(), probe, small(1), image);
    EXPECT_EQ(probe.deepest.load(), fp::ShadingServices::kMaxTraceDepth);
}

TEST(Render, NonFiniteSamplesCountAsBlack) {
    struct NanShader : fp::PaintedSurfaceShader {
        std::unique_ptr<fp::SurfaceWorker> makeWorker() const override {
            struct Worker : fp::SurfaceWorker {
                fp::Color shade(const fp::SurfaceSample&, fp::ShadingServices&) override { return {NAN, 0, 0}; }
            };
            return std::make_unique<Worker>();
        }
    };
    fp::Framebuffer image;
    const fp::RenderStats stats = fp::render(scene(), NanShader(), small(1), image);
    EXPECT_GT(stats.nonFiniteSamples, 0u);
    EXPECT_EQ(image.pixel(20, 15)[0], 0.0f);
}

TEST(RenderThreads, OneAndTwoPoolThreadsGiveTheSameImage) {
    fp::RenderSettings settings = small(2);
    settings.tileSize = 8;
    fp::Framebuffer one, two;
    ASSERT_TRUE(fp::render(scene("softbox"), fp::testing::PlaceholderShader(), settings, one).completed);
    settings.threads = 2;
    ASSERT_TRUE(fp::render(scene("softbox"), fp::testing::PlaceholderShader(), settings, two).completed);
    EXPECT_EQ(one.rgba, two.rgba);
}

TEST(Render, BundledEyeRaysShadeExactlyAsRaysTracedOneByOne) {
    // The renderer meets the scene with neighbouring eye rays together; each
    // pixel must still be the mean of its samples traced one by one. Sample
    // counts that split pixels across bundles, a row narrower than a
    // bundle, the ball and a model.
    std::string error;
    fp::TriangleMesh mesh;
    ASSERT_TRUE(fp::parseObj(fp::testing::sphereObj(64, 32, {0, 1, 0}, 1.0f, true, false), "sphere", mesh, error));
    fp::prepareMesh(mesh);
    std::vector<fp::Light> lights;
    fp::lightRig("studio", lights);
    const fp::Scene scenes[2] = {scene(), fp::modelScene(1.0f, lights, fp::Environment(),
                                                         fp::MeshGeometry::build(std::move(mesh), 0.0f, error))};
    const fp::testing::PlaceholderShader shader;
    for (const fp::Scene& where : scenes) {
        for (int spp : {1, 3, 16, 17}) {
            fp::RenderSettings settings = small(spp);
            settings.width = 37;
            settings.height = 21;
            settings.tileSize = 12;
            fp::Framebuffer image;
            ASSERT_TRUE(fp::render(where, shader, settings, image).completed);
            const std::unique_ptr<fp::SurfaceWorker> worker = shader.makeWorker();
            const fp::StrataGrid strata = fp::strataFor(spp);
            for (int y = 0; y < settings.height; y += 4) {
                for (int x = 0; x < settings.width; x += 3) {
                    fp::Color sum;
                    for (int s = 0; s < spp; ++s) {
                        fp::SampleRandom random(settings.seed, std::uint32_t(y * settings.width + x), std::uint32_t(s));
                        const float jx = random.next();
                        const float jy = random.next();
                        float sx, sy;
                        fp::stratifiedPoint(strata, s, jx, jy, sx, sy);
                        const fp::Ray ray = where.camera.primaryRay((float(x) + sx) / float(settings.width),
                                                                    (float(y) + sy) / float(settings.height));
                        fp::ShadingServices services(where, *worker, random);
                        sum += services.trace(ray, 0).color;
                    }
                    const fp::Color mean = sum * (1.0f / float(spp));
                    const float* pixel = image.pixel(x, y);
                    const std::string at = (where.model ? "model" : "ball") + std::string(", ") +
                                           std::to_string(spp) + " spp, pixel " + std::to_string(x) + "," +
                                           std::to_string(y);
                    ASSERT_EQ(pixel[0], mean.x) << at;
                    ASSERT_EQ(pixel[1], mean.y) << at;
                    ASSERT_EQ(pixel[2], mean.z) << at;
                }
            }
        }
    }
}
