// The image does not depend on the number of threads (run under TSan too).

#include <gtest/gtest.h>

#include "kernel/renderer.h"
#include "kernel/scene.h"
#include "testing/placeholderShader.h"

namespace fp = flakecoat::preview;

TEST(RenderThreads, OneAndTwoThreadsGiveTheSameImage) {
    std::vector<fp::Light> lights;
    fp::lightRig("softbox", lights);  // area light: many random numbers per sample
    const fp::Scene scene = fp::shaderBallScene(1.0f, lights, fp::Environment());
    fp::RenderSettings settings;
    settings.width = 48;
    settings.height = 48;
    settings.samplesPerPixel = 2;
    settings.tileSize = 8;
    fp::Framebuffer one, two;
    settings.threads = 1;
    ASSERT_TRUE(fp::render(scene, fp::testing::PlaceholderShader(), settings, one).completed);
    settings.threads = 2;
    ASSERT_TRUE(fp::render(scene, fp::testing::PlaceholderShader(), settings, two).completed);
    EXPECT_EQ(one.rgba, two.rgba);
}
