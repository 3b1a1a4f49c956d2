// Whole default renders through each deliverable: finite everywhere, the
// same on one and two pool threads, and the ball wearing the node's default
// green (0.209, 1, 0.182).

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "hosts/renderHost.h"
#include "kernel/renderer.h"
#include "kernel/scene.h"

namespace fp = flakecoat::preview;

namespace {

void expectSoundDefaultRender(const char* hostName) {
    std::string error;
    std::unique_ptr<fp::RenderHost> host = fp::loadRenderHost(hostName, FLAKECOAT_LIBRARY_DIR, error);
    ASSERT_TRUE(host) << error;
    std::vector<fp::Light> lights;
    fp::lightRig("studio", lights);
    const fp::Scene scene = fp::shaderBallScene(1.0f, lights, fp::Environment());
    const fp::PaintedSurfaceShader& shader = host->shaderFor(scene);
    fp::RenderSettings settings;
    settings.width = 64;
    settings.height = 64;
    settings.samplesPerPixel = 4;
    settings.tileSize = 8;
    settings.threads = 1;
    fp::Framebuffer one, two;
    const fp::RenderStats stats = fp::render(scene, shader, settings, one);
    ASSERT_TRUE(stats.completed);
    EXPECT_EQ(stats.nonFiniteSamples, 0u) << hostName;
    settings.threads = 2;
    fp::render(scene, shader, settings, two);
    EXPECT_EQ(one.rgba, two.rgba) << hostName;
    for (float v : one.rgba) ASSERT_TRUE(std::isfinite(v)) << hostName;
    // Below the ball's centre, where it mirrors the floor: green dominates.
    const float* p = one.pixel(32, 40);
    EXPECT_GT(p[1], p[0]) << hostName;
    EXPECT_GT(p[1], p[2]) << hostName;
}

}  // namespace

TEST(HostRender, MentalrayDefaultRenderIsSound) { expectSoundDefaultRender("mentalray"); }

TEST(HostRender, MayaDefaultRenderIsSound) { expectSoundDefaultRender("maya"); }
