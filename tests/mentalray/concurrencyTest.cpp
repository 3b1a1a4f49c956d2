// Several threads shade through one loaded library at once, starting with
// the binders' first lookups, and a trace that shades again on its own
// thread. Run under ThreadSanitizer by the tsan preset.

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "shaderTestSupport.h"

using mentalrayHost::ParameterBlock;
using mentalrayHost::ScriptedServices;
using testSupport::hitFromAbove;

namespace {

constexpr int kThreads = 6;
constexpr int kSamplesPerThread = 150;

// Exercises all seven renderer functions: connected parameters, a point
// light and an area light, reflection with environment fallback, irradiance.
ParameterBlock everyFunctionBlock() {
    ParameterBlock block(testSupport::declaration(), 2);
    flakeCoatParameters& p = block.as<flakeCoatParameters>();
    block.arrayElements()[0] = 1;
    block.arrayElements()[1] = 2;
    p.n_light = 2;
    p.useIrradiance = miTRUE;
    block.setConnected(&p.diffuse);
    return block;
}

void scriptEveryFunction(ScriptedServices& services) {
    services.setLightSamples(1, {{{1.0f, 0.9f, 0.8f, 1.0f}, {0.0f, 0.6f, 0.8f}}});
    services.setLightSamples(2, {{{0.5f, 0.5f, 0.5f, 1.0f}, {0.6f, 0.0f, 0.8f}},
                                 {{0.5f, 0.5f, 0.5f, 1.0f}, {0.48f, 0.36f, 0.8f}},
                                 {{0.5f, 0.5f, 0.5f, 1.0f}, {0.0f, 0.0f, 1.0f}}});
    services.setEnvironment(miColor{0.2f, 0.3f, 0.4f, 1.0f});
    services.setIrradiance(miColor{0.5f, 0.5f, 0.5f, 1.0f});
}

mentalrayHost::SurfaceHit hitNumber(int i) {
    mentalrayHost::SurfaceHit hit = hitFromAbove();
    hit.u = 0.001f * float(i);
    hit.v = 0.0007f * float(i);
    return hit;
}

void startTogether(std::atomic<int>& waiting) {
    waiting.fetch_sub(1);
    while (waiting.load() > 0) std::this_thread::yield();
}

// A renderer whose reflection ray hits the same material again, down to
// reflection level 2, on the calling thread.
class MirrorServices : public mentalrayHost::RendererServices {
public:
    explicit MirrorServices(ParameterBlock& block) : block_(block) {}

    bool traceReflection(const miState& state, const miVector& direction, miColor& colour) override {
        if (state.reflection_level >= 2) return false;
        mentalrayHost::SurfaceHit hit = hitFromAbove();
        hit.direction = {-direction.x, -direction.y, -direction.z};
        hit.reflectionLevel = state.reflection_level + 1;
        mentalrayHost::ShadingSample sample(hit, block_.function(), this);
        colour = {0.0f, 0.0f, 0.0f, 0.0f};
        testSupport::shaderLibrary().shade(&colour, &sample.state(), &block_.as<flakeCoatParameters>());
        return true;
    }
    bool traceEnvironment(const miState&, const miVector&, miColor& colour) override {
        colour = {1.0f, 1.0f, 1.0f, 1.0f};
        return true;
    }

private:
    ParameterBlock& block_;
};

}  // namespace

TEST(Concurrency, ThreadsShadeAtOnceFromTheFirstLookupOn) {
    const auto& library = testSupport::shaderLibrary();
    library.setModuleHandle(library.moduleHandle());  // every slot empty again

    ParameterBlock block = everyFunctionBlock();
    miScalar connectedDiffuse = 0.75f;
    ScriptedServices services;  // shared, read-only while shading
    scriptEveryFunction(services);
    services.connect(&block.as<flakeCoatParameters>().diffuse, &connectedDiffuse);

    std::vector<std::vector<miColor>> results(kThreads, std::vector<miColor>(kSamplesPerThread));
    std::atomic<int> waiting{kThreads};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            startTogether(waiting);
            for (int i = 0; i < kSamplesPerThread; ++i) {
                results[t][i] = testSupport::shade(block, services, hitNumber(i));
            }
        });
    }
    for (std::thread& thread : threads) thread.join();

    // Every thread got what one thread alone gets, to the bit
    for (int i = 0; i < kSamplesPerThread; ++i) {
        const miColor alone = testSupport::shade(block, services, hitNumber(i));
        for (int t = 0; t < kThreads; ++t) {
            ASSERT_EQ(std::memcmp(&results[t][i], &alone, sizeof alone), 0) << "thread " << t << " sample " << i;
        }
    }
}

// No lights, no ambient: each level returns reflectivity times the level
// below, and the last level sees the white environment, so the top gets
// 0.5^3 exactly.
TEST(Concurrency, ATraceMayShadeTheMaterialAgainOnItsThread) {
    ParameterBlock block = testSupport::lightsOnlyBlock(0);
    block.as<flakeCoatParameters>().reflectivity = 0.5f;
    MirrorServices services(block);

    std::atomic<int> waiting{kThreads};
    std::vector<miColor> results(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            startTogether(waiting);
            for (int i = 0; i < 50; ++i) results[t] = testSupport::shade(block, services, hitNumber(i));
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (const miColor& result : results) {
        EXPECT_EQ(result.r, 0.125f);
        EXPECT_EQ(result.b, 0.125f);
        EXPECT_EQ(result.a, 1.0f);
    }
}
