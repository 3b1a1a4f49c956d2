// Whole default renders through each deliverable: finite everywhere, the
// same on one and two pool threads, and the ball wearing the node's default
// green (0.209, 1, 0.182); a finely tessellated sphere given as a model
// looks like the ball.

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "hosts/renderHost.h"
#include "kernel/renderer.h"
#include "kernel/scene.h"
#include "meshes/objLoader.h"
#include "testing/sphereObj.h"

namespace fp = flakecoat::preview;

namespace {

void expectSoundDefaultRender(const char* hostName) {
    std::string error;
    std::unique_ptr<fp::RenderHost> host = fp::loadRenderHost(hostName, FLAKECOAT_LIBRARY_DIR, error);
    ASSERT_TRUE(host) << error;
    std::vector<fp::Light> lights;
    fp::lightRig("studio", lights);
    const fp::Scene scene = fp::shaderBallScene(1.0f, lights, fp::Environment());
    const std::unique_ptr<fp::PaintedSurfaceShader> shader = host->makeShader(scene);
    fp::RenderSettings settings;
    settings.width = 64;
    settings.height = 64;
    settings.samplesPerPixel = 4;
    settings.tileSize = 8;
    settings.threads = 1;
    fp::Framebuffer one, two;
    const fp::RenderStats stats = fp::render(scene, *shader, settings, one);
    ASSERT_TRUE(stats.completed);
    EXPECT_EQ(stats.nonFiniteSamples, 0u) << hostName;
    settings.threads = 2;
    fp::render(scene, *shader, settings, two);
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

namespace {

// The ball and a 256 x 128 tessellation of it without normals or texture
// coordinates (so both fallbacks are in use) rendered through one host. The
// Maya flakes are solid noise at a high frequency and the facets move the
// shading points by up to 3e-4, so a few pixels may differ in sparkle; the
// pictures as a whole agree to a fifth of a percent (measured: under 0.03%).
// The floor's sky is hidden by the ball's exact form factor but by one
// traced ray per sample under the model: the same on average (the means
// agree as closely), with noise near the contact (measured: 0.8%).
void expectTessellatedSphereShadesLikeTheBall(const char* hostName) {
    std::string error;
    std::unique_ptr<fp::RenderHost> host = fp::loadRenderHost(hostName, FLAKECOAT_LIBRARY_DIR, error);
    ASSERT_TRUE(host) << error;
    std::vector<fp::Light> lights;
    fp::lightRig("studio", lights);
    fp::TriangleMesh mesh;
    ASSERT_TRUE(fp::parseObj(fp::testing::sphereObj(256, 128, {0, 1, 0}, 1.0f, false, false), "sphere", mesh, error));
    const fp::Scene ball = fp::shaderBallScene(1.0f, lights, fp::Environment());
    const fp::Scene sphere =
        fp::modelScene(1.0f, lights, fp::Environment(), fp::MeshGeometry::build(std::move(mesh), 0.0f, error));
    fp::RenderSettings settings;
    settings.width = settings.height = 96;
    settings.samplesPerPixel = 4;
    settings.threads = 2;
    fp::Framebuffer ballImage, sphereImage, sphereOneThread;
    fp::render(ball, *host->makeShader(ball), settings, ballImage);
    const std::unique_ptr<fp::PaintedSurfaceShader> shader = host->makeShader(sphere);
    const fp::RenderStats stats = fp::render(sphere, *shader, settings, sphereImage);
    EXPECT_EQ(stats.nonFiniteSamples, 0u) << hostName;
    settings.threads = 1;
    fp::render(sphere, *shader, settings, sphereOneThread);
    EXPECT_EQ(sphereImage.rgba, sphereOneThread.rgba) << hostName;

    double meanDifference = 0.0, ballMean = 0.0, sphereMean = 0.0;
    int differing = 0;
    for (size_t i = 0; i < ballImage.rgba.size(); i += 4) {
        for (int c = 0; c < 3; ++c) {
            const float a = ballImage.rgba[i + c], b = sphereImage.rgba[i + c];
            meanDifference += std::fabs(a - b);
            ballMean += a;
            sphereMean += b;
            if (std::fabs(a - b) > 0.1f) ++differing;
        }
    }
    const double values = double(ballImage.rgba.size() / 4 * 3);
    EXPECT_LT(meanDifference / values, 0.012) << hostName;
    EXPECT_NEAR(sphereMean / ballMean, 1.0, 0.002) << hostName;
    EXPECT_LT(differing / values, 0.005) << hostName;
}

}  // namespace

TEST(HostRender, MentalrayShadesATessellatedSphereLikeTheBall) {
    expectTessellatedSphereShadesLikeTheBall("mentalray");
}

TEST(HostRender, MayaShadesATessellatedSphereLikeTheBall) { expectTessellatedSphereShadesLikeTheBall("maya"); }
