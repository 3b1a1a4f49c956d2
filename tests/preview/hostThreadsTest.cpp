// Each deliverable, loaded as its host loads it, shades from two threads at
// once exactly as from one (ThreadSanitizer follows the plain threads).

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "hosts/renderHost.h"
#include "kernel/scene.h"
#include "threadedTiles.h"

namespace fp = flakecoat::preview;

namespace {

void expectSameOnTwoThreads(const char* hostName, const char* rig) {
    std::string error;
    std::unique_ptr<fp::RenderHost> host = fp::loadRenderHost(hostName, FLAKECOAT_LIBRARY_DIR, error);
    ASSERT_TRUE(host) << error;
    std::vector<fp::Light> lights;
    fp::lightRig(rig, lights);
    const fp::Scene scene = fp::shaderBallScene(1.0f, lights, fp::Environment());
    const fp::PaintedSurfaceShader& shader = host->shaderFor(scene);
    const std::vector<float> one = renderOnThreads(scene, shader, 1);
    const std::vector<float> two = renderOnThreads(scene, shader, 2);
    EXPECT_EQ(one, two);
    for (float v : one) ASSERT_TRUE(std::isfinite(v));
}

}  // namespace

TEST(HostThreads, MentalrayShadesAlikeOnOneAndTwoThreads) { expectSameOnTwoThreads("mentalray", "softbox"); }


TEST(HostThreads, MayaShadesAlikeOnOneAndTwoThreads) { expectSameOnTwoThreads("maya", "softbox"); }
