// Nothing is allocated per sample on the render path: a render with eight
// times the samples makes exactly as many heap allocations. Global
// operator new is replaced in this executable to count them.

// The replacement new/delete pair below is malloc/free underneath; GCC
// cannot see that through inlining and warns of a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "hosts/renderHost.h"
#include "kernel/renderer.h"
#include "kernel/scene.h"
#include "meshes/paintedObject.h"
#include "testing/placeholderShader.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace fp = flakecoat::preview;

namespace {
long allocationsFor(const fp::Scene& scene, const fp::PaintedSurfaceShader& shader, int spp) {
    fp::RenderSettings settings;
    settings.width = 32;
    settings.height = 32;
    settings.samplesPerPixel = spp;
    settings.threads = 1;
    fp::Framebuffer image;
    const long before = allocations.load();
    fp::render(scene, shader, settings, image);
    return allocations.load() - before;
}
}  // namespace

TEST(RenderAllocations, IndependentOfTheSampleCount) {
    std::vector<fp::Light> lights;
    fp::lightRig("softbox", lights);
    const fp::Scene scene = fp::shaderBallScene(1.0f, lights, fp::Environment());
    const fp::testing::PlaceholderShader shader;
    allocationsFor(scene, shader, 1);  // first use of the thread pool
    const long few = allocationsFor(scene, shader, 1);
    const long many = allocationsFor(scene, shader, 8);
    EXPECT_EQ(few, many);
    EXPECT_LT(few, 32);  // per render and per thread, not per pixel
}

// The same through each deliverable and its host stand-in, on the ball and
// on a model, and on the ball lit by environment lights over the shadow
// catcher.
void expectNoAllocationPerSample(const char* hostName) {
    std::string error;
    std::unique_ptr<fp::RenderHost> host = fp::loadRenderHost(hostName, FLAKECOAT_LIBRARY_DIR, error);
    ASSERT_TRUE(host) << error;
    std::vector<fp::Light> lights;
    fp::lightRig("softbox", lights);
    const fp::Scene ball = fp::shaderBallScene(1.0f, lights, fp::Environment());
    const std::optional<fp::Scene> swatch =
        fp::paintedObjectScene(fp::PaintedObject{"swatch", "", 0.0f}, 1.0f, lights, fp::Environment(), error);
    ASSERT_TRUE(swatch) << error;
    fp::Scene lit = fp::shaderBallScene(1.0f, lights, fp::Environment());
    lit.environmentLights = fp::makeEnvironmentLights(lit.environment, 64, true);
    lit.shadowCatcher = true;
    for (const fp::Scene* scene : {&ball, &*swatch, static_cast<const fp::Scene*>(&lit)}) {
        const std::unique_ptr<fp::PaintedSurfaceShader> shader = host->makeShader(*scene);
        allocationsFor(*scene, *shader, 1);
        const long few = allocationsFor(*scene, *shader, 1);
        const long many = allocationsFor(*scene, *shader, 8);
        EXPECT_EQ(few, many) << hostName;
        EXPECT_LT(few, 64) << hostName;
    }
}

TEST(RenderAllocations, IndependentOfTheSampleCountThroughMentalray) { expectNoAllocationPerSample("mentalray"); }
TEST(RenderAllocations, IndependentOfTheSampleCountThroughMaya) { expectNoAllocationPerSample("maya"); }
