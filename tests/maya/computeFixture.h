#ifndef FLAKECOAT_TESTS_MAYA_COMPUTE_FIXTURE_H
#define FLAKECOAT_TESTS_MAYA_COMPUTE_FIXTURE_H

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <mayaHost/dataBlock.h>
#include <mayaHost/raytracer.h>

#include "colorEvaluation.h"
#include "pluginFixture.h"

// Bit-for-bit comparison of two colours.
inline bool sameBits(const MFloatVector& a, const MFloatVector& b) { return std::memcmp(&a, &b, sizeof(a)) == 0; }

// The reflection answer of the tests' tracer: a fixed colour, so that the
// node's path and a direct evaluation see the same trace.
inline MStatus fixedTrace(const MFloatVector&, const MFloatVector&, const void*, const void*, short,
                          MFloatVector& resultColor, MFloatVector&, bool) {
    resultColor = MFloatVector(0.25f, 0.5f, 0.75f);
    return MS::kSuccess;
}

class FixedTracer : public mayaHost::Raytracer {
public:
    mutable int calls = 0;
    mutable const void* lastSampler = nullptr;
    mutable const void* lastObject = nullptr;
    mutable short lastDepth = -1;
    mutable MFloatVector lastOrigin;
    MStatus raytrace(const MFloatVector& origin, const MFloatVector& direction, const void* objectId,
                     const void* raySampler, short rayDepth, MFloatVector& color, MFloatVector& transparency,
                     bool reflected) const override {
        ++calls;
        lastSampler = raySampler;
        lastObject = objectId;
        lastDepth = rayDepth;
        lastOrigin = origin;
        return fixedTrace(origin, direction, objectId, raySampler, rayDepth, color, transparency, reflected);
    }
};

// One flakeCoat node with one data block, and a reference evaluation of the
// same inputs done directly.
class NodeCompute : public LoadedPlugin {
protected:
    void SetUp() override {
        LoadedPlugin::SetUp();
        std::string error;
        node = mayaHost::Node::create("flakeCoat", error);
        ASSERT_TRUE(node) << error;
        block = std::make_unique<mayaHost::DataBlock>(*node);
        mayaHost::installRaytracer(&tracer);
    }
    void TearDown() override {
        mayaHost::installRaytracer(nullptr);
        block.reset();
        node.reset();
        LoadedPlugin::TearDown();
    }

    MObject attr(const char* name) const { return node->attribute(name); }
    MDataHandle value(const char* name) { return block->value(attr(name)); }
    MStatus request(const char* plugName) { return block->compute(node->plug(plugName)); }

    void setLights(const std::vector<flakecoat::maya::LightElement>& lights) {
        const MObject array = attr("lightDataArray");
        block->setElementCount(array, unsigned(lights.size()));
        for (unsigned i = 0; i < lights.size(); ++i) {
            MDataHandle element = block->element(array, i);
            element.child(attr("lightIntensity")).set(lights[i].intensity);
            element.child(attr("lightDirection")).set(lights[i].direction);
            element.child(attr("lightAmbient")).set(lights[i].ambient);
            element.child(attr("lightDiffuse")).set(lights[i].diffuse);
            element.child(attr("lightSpecular")).set(lights[i].specular);
        }
    }

    // The evaluation run directly on copies of the given values.
    static MFloatVector reference(const flakecoat::maya::ColorInputs& inputs, MFloatVector normal,
                                  std::vector<flakecoat::maya::LightElement> lights,
                                  const MFloatVector& transparency) {
        return flakecoat::maya::evaluateColor(inputs, normal, lights.data(), int(lights.size()), transparency,
                                              fixedTrace);
    }

    std::unique_ptr<mayaHost::Node> node;
    std::unique_ptr<mayaHost::DataBlock> block;
    FixedTracer tracer;
};

// A light along (0, 0, 2): not unit length, so its normalisation shows.
inline flakecoat::maya::LightElement specularLight(float strength) {
    flakecoat::maya::LightElement light;
    light.intensity = MFloatVector(strength, strength, strength);
    light.direction = MFloatVector(0.0f, 0.0f, 2.0f);
    light.specular = true;
    return light;
}

#endif
