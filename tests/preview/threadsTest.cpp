// Shading from several threads at once gives the image one thread gives.
// The tiles are driven from plain threads here so that ThreadSanitizer
// follows every hand-off; the thread pool's own scheduling is checked by
// RenderThreads in renderTest.cpp.

#include <thread>

#include <gtest/gtest.h>

#include "kernel/renderer.h"
#include "kernel/scene.h"
#include "testing/placeholderShader.h"
#include "threadedTiles.h"

namespace fp = flakecoat::preview;

TEST(SharedScene, TwoThreadsShadeLikeOne) {
    std::vector<fp::Light> lights;
    fp::lightRig("softbox", lights);  // area light: many random numbers per sample
    const fp::Scene scene = fp::shaderBallScene(1.0f, lights, fp::Environment());
    const fp::testing::PlaceholderShader shader;
    EXPECT_EQ(renderOnThreads(scene, shader, 1), renderOnThreads(scene, shader, 2));
}
