// Each deliverable, loaded as its host loads it, shades from two threads at
// once exactly as from one (ThreadSanitizer follows the plain threads).

#include <cmath>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "hosts/renderHost.h"
#include "kernel/scene.h"
#include "threadedTiles.h"

namespace fp = flakecoat::preview;

namespace {

fp::Scene ballScene(const char* rig) {
    std::vector<fp::Light> lights;
    fp::lightRig(rig, lights);
    return fp::shaderBallScene(1.0f, lights, fp::Environment());
}

void expectSameOnTwoThreads(const char* hostName, const char* rig) {
    std::string error;
    std::unique_ptr<fp::RenderHost> host = fp::loadRenderHost(hostName, FLAKECOAT_LIBRARY_DIR, error);
    ASSERT_TRUE(host) << error;
    const fp::Scene scene = ballScene(rig);
    const std::unique_ptr<fp::PaintedSurfaceShader> shader = host->makeShader(scene);
    const std::vector<float> one = renderOnThreads(scene, *shader, 1);
    const std::vector<float> two = renderOnThreads(scene, *shader, 2);
    EXPECT_EQ(one, two);
    for (float v : one) ASSERT_TRUE(std::isfinite(v));
}

// Shaders made for different settings (as the cells of a sweep are) render
// at the same time, each as it renders alone.
void expectIndependentShaders(const char* hostName) {
    std::string error;
    std::unique_ptr<fp::RenderHost> host = fp::loadRenderHost(hostName, FLAKECOAT_LIBRARY_DIR, error);
    ASSERT_TRUE(host) << error;
    const fp::Scene scene = ballScene("studio");
    fp::Look dull = host->look(), bright = host->look();
    ASSERT_TRUE(dull.set("reflectivity=0", error) && bright.set("reflectivity=1", error)) << error;
    const std::unique_ptr<fp::PaintedSurfaceShader> first = host->makeShader(scene, dull);
    const std::unique_ptr<fp::PaintedSurfaceShader> second = host->makeShader(scene, bright);
    const std::vector<float> alone[2] = {renderOnThreads(scene, *first, 1), renderOnThreads(scene, *second, 1)};
    ASSERT_NE(alone[0], alone[1]);
    std::vector<float> together[2];
    std::thread other([&] { together[1] = renderOnThreads(scene, *second, 1); });
    together[0] = renderOnThreads(scene, *first, 1);
    other.join();
    EXPECT_EQ(together[0], alone[0]);
    EXPECT_EQ(together[1], alone[1]);
}

}  // namespace

TEST(HostThreads, MayaShadersOfDifferentSettingsRenderTogether) { expectIndependentShaders("maya"); }

TEST(HostThreads, MentalrayShadersOfDifferentSettingsRenderTogether) { expectIndependentShaders("mentalray"); }

TEST(HostThreads, MentalrayShadesAlikeOnOneAndTwoThreads) { expectSameOnTwoThreads("mentalray", "softbox"); }


TEST(HostThreads, MayaShadesAlikeOnOneAndTwoThreads) { expectSameOnTwoThreads("maya", "softbox"); }
