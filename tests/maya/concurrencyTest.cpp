// Several threads computing samples of one node at once, each with its own
// data block, through one installed tracer: the results equal a serial
// run's, and the run is clean under ThreadSanitizer.

#include <thread>
#include <vector>

#include "computeFixture.h"

namespace {

// The per-sample context a renderer would hand over in raySampler.
struct SampleContext {
    MFloatVector reflection;
};

class ContextTracer : public mayaHost::Raytracer {
public:
    MStatus raytrace(const MFloatVector&, const MFloatVector&, const void*, const void* raySampler, short,
                     MFloatVector& resultColor, MFloatVector&, bool) const override {
        if (raySampler) resultColor = static_cast<const SampleContext*>(raySampler)->reflection;
        return MS::kSuccess;
    }
};

constexpr int kSamples = 200;
constexpr int kThreads = 4;

// Sample s of a small sweep over the shading point and the lights.
void fillSample(mayaHost::Node& node, mayaHost::DataBlock& block, int s, SampleContext& context) {
    const float t = float(s) / float(kSamples);
    block.value(node.attribute("pointWorld")).set(t * 3.0f, 1.0f - t, 0.5f + t);
    block.value(node.attribute("pointCamera")).set(t - 0.5f, 0.25f, -4.0f);
    block.value(node.attribute("rayDirection")).set(t - 0.5f, 0.25f, -4.0f);
    block.value(node.attribute("normalCamera")).set(0.3f - t, 0.4f, 0.9f);
    context.reflection = MFloatVector(t, 0.5f, 1.0f - t);
    block.value(node.attribute("raySampler")).setAddr(&context);
    const MObject lights = node.attribute("lightDataArray");
    const unsigned count = unsigned(1 + s % 3);  // element count changes from sample to sample
    block.setElementCount(lights, count);
    for (unsigned i = 0; i < count; ++i) {
        MDataHandle element = block.element(lights, i);
        element.child(node.attribute("lightIntensity")).set(1.0f, 0.9f, 0.8f);
        element.child(node.attribute("lightDirection")).set(0.2f * float(i), 0.5f, 1.0f);
        element.child(node.attribute("lightSpecular")).set(i != 1);
    }
}

MFloatVector computeSample(mayaHost::Node& node, mayaHost::DataBlock& block, const MPlug& outColor, int s) {
    SampleContext context;
    fillSample(node, block, s, context);
    if (block.compute(outColor) != MS::kSuccess) return MFloatVector(-1, -1, -1);
    return block.value(node.attribute("outColor")).asFloatVector();
}

using Concurrency = LoadedPlugin;

}  // namespace

TEST_F(Concurrency, ThreadsWithTheirOwnBlocksMatchASerialRun) {
    std::string error;
    std::unique_ptr<mayaHost::Node> node = mayaHost::Node::create("flakeCoat", error);
    ASSERT_TRUE(node) << error;
    ASSERT_TRUE(node->isMPSafe());
    ContextTracer tracer;
    mayaHost::installRaytracer(&tracer);
    const MPlug outColor = node->plug("outColor");

    std::vector<MFloatVector> serial(kSamples);
    {
        mayaHost::DataBlock block(*node);
        for (int s = 0; s < kSamples; ++s) serial[std::size_t(s)] = computeSample(*node, block, outColor, s);
    }

    std::vector<MFloatVector> parallel(kSamples);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            mayaHost::DataBlock block(*node);
            for (int s = t; s < kSamples; s += kThreads)
                parallel[std::size_t(s)] = computeSample(*node, block, outColor, s);
        });
    for (std::thread& thread : threads) thread.join();
    mayaHost::installRaytracer(nullptr);

    for (int s = 0; s < kSamples; ++s) EXPECT_TRUE(sameBits(parallel[std::size_t(s)], serial[std::size_t(s)])) << s;
}
