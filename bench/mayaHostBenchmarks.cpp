// ns per shading sample of the flakeCoat node driven through the Maya host
// stand-in (set the sample, two light elements, compute outColor, read it)
// beside the same sample evaluated directly in the same run: the ratio is
// the host's per-sample overhead. Compare ratios, not absolute times.

#include <string>

#include <benchmark/benchmark.h>

#include <mayaHost/dataBlock.h>
#include <mayaHost/node.h>
#include <mayaHost/pluginLibrary.h>

#include "colorEvaluation.h"

namespace {

using flakecoat::maya::ColorInputs;
using flakecoat::maya::LightElement;

MStatus noTrace(const MFloatVector&, const MFloatVector&, const void*, const void*, short, MFloatVector&,
                MFloatVector&, bool) {
    return MS::kSuccess;
}

void BM_sampleThroughHost(benchmark::State& state) {
    std::string error;
    std::unique_ptr<mayaHost::PluginLibrary> library = mayaHost::PluginLibrary::load(FLAKECOAT_PLUGIN_PATH, error);
    std::unique_ptr<mayaHost::Node> node = library ? mayaHost::Node::create("flakeCoat", error) : nullptr;
    if (!node) {
        state.SkipWithError(error.c_str());
        return;
    }
    {
        mayaHost::DataBlock block(*node);
        const MObject pointWorld = node->attribute("pointWorld"), normal = node->attribute("normalCamera");
        const MObject lights = node->attribute("lightDataArray"), direction = node->attribute("lightDirection");
        const MObject intensity = node->attribute("lightIntensity"), specular = node->attribute("lightSpecular");
        const MObject outColor = node->attribute("outColor");
        const MPlug plug = node->plug(outColor);
        int s = 0;
        for (auto _ : state) {
            block.value(pointWorld).set(float(s++ & 1023) * 0.01f, 0.5f, 2.0f);
            block.value(normal).set(0.1f, 0.2f, 1.0f);
            block.setElementCount(lights, 2);
            for (unsigned i = 0; i < 2; ++i) {
                MDataHandle element = block.element(lights, i);
                element.child(direction).set(0.0f, 0.5f, 1.0f);
                element.child(intensity).set(1.0f, 1.0f, 1.0f);
                element.child(specular).set(true);
            }
            block.compute(plug);
            benchmark::DoNotOptimize(block.value(outColor).asFloatVector());
        }
    }
    node.reset();
    library->unload(error);
}
BENCHMARK(BM_sampleThroughHost);

void BM_sampleDirect(benchmark::State& state) {
    int s = 0;
    for (auto _ : state) {
        ColorInputs inputs;
        inputs.pointWorld = MFloatVector(float(s++ & 1023) * 0.01f, 0.5f, 2.0f);
        MFloatVector normal(0.1f, 0.2f, 1.0f);
        LightElement lights[2];
        for (LightElement& light : lights) {
            light.direction = MFloatVector(0.0f, 0.5f, 1.0f);
            light.intensity = MFloatVector(1.0f, 1.0f, 1.0f);
            light.specular = true;
        }
        benchmark::DoNotOptimize(flakecoat::maya::evaluateColor(inputs, normal, lights, 2, MFloatVector(), noTrace));
    }
}
BENCHMARK(BM_sampleDirect);

}  // namespace
