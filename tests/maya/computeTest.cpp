// The node's compute: plug dispatch, the light loop over the data block,
// the in-place normalisation it leaves there, and agreement with the
// colour evaluation run directly.

#include "computeFixture.h"

using flakecoat::maya::ColorInputs;
using flakecoat::maya::LightElement;

namespace {

const char* const kOutColorPlugs[] = {"outColor", "outColorR", "outColorG", "outColorB"};
const char* const kOutTransparencyPlugs[] = {"outTransparency", "outTransparencyR", "outTransparencyG",
                                             "outTransparencyB"};

}  // namespace

TEST_F(NodeCompute, EveryOutColorPlugComputesAndCleansTheWholeColour) {
    const std::vector<LightElement> lights = {specularLight(0.8f), LightElement()};
    for (const char* plug : kOutColorPlugs) {
        SCOPED_TRACE(plug);
        block->setDefaults();
        value("normalCamera").set(0.0f, 0.6f, 0.8f);
        value("transparency").set(0.1f, 0.2f, 0.3f);
        setLights(lights);
        ASSERT_EQ(request(plug), MS::kSuccess);
        for (const char* part : kOutColorPlugs) EXPECT_TRUE(block->isClean(attr(part))) << part;
        EXPECT_FALSE(block->isClean(attr("outTransparency")));
        const MFloatVector expected =
            reference(ColorInputs(), MFloatVector(0.0f, 0.6f, 0.8f), lights, MFloatVector(0.1f, 0.2f, 0.3f));
        EXPECT_TRUE(sameBits(value("outColor").asFloatVector(), expected));
    }
}

TEST_F(NodeCompute, EveryOutTransparencyPlugCopiesTransparencyAndNothingElse) {
    for (const char* plug : kOutTransparencyPlugs) {
        SCOPED_TRACE(plug);
        block->setDefaults();
        value("transparency").set(0.25f, 0.5f, 0.75f);
        value("normalCamera").set(0.0f, 0.0f, 3.0f);
        setLights({specularLight(1.0f)});
        const int tracesBefore = tracer.calls;
        ASSERT_EQ(request(plug), MS::kSuccess);
        EXPECT_EQ(value("outTransparency").asFloatVector(), MFloatVector(0.25f, 0.5f, 0.75f));
        for (const char* part : kOutTransparencyPlugs) EXPECT_TRUE(block->isClean(attr(part))) << part;
        EXPECT_FALSE(block->isClean(attr("outColor")));
        EXPECT_EQ(value("outColor").asFloatVector(), MFloatVector(0, 0, 0));
        EXPECT_EQ(value("normalCamera").asFloatVector(), MFloatVector(0, 0, 3));  // not read, not normalised
        EXPECT_EQ(tracer.calls, tracesBefore);
    }
}

TEST_F(NodeCompute, InputPlugIsNotComputed) {
    value("normalCamera").set(0.0f, 0.0f, 3.0f);
    setLights({specularLight(1.0f)});
    for (const char* plug : {"color", "colorR", "normalCamera", "lightDataArray", "rayDepth"}) {
        SCOPED_TRACE(plug);
        EXPECT_EQ(request(plug), MS::kUnknownParameter);
    }
    EXPECT_FALSE(block->isClean(attr("outColor")));
    EXPECT_EQ(value("outColor").asFloatVector(), MFloatVector(0, 0, 0));
    EXPECT_EQ(value("normalCamera").asFloatVector(), MFloatVector(0, 0, 3));
    EXPECT_EQ(block->element(attr("lightDataArray"), 0).child(attr("lightDirection")).asFloatVector(),
              MFloatVector(0, 0, 2));
    EXPECT_EQ(tracer.calls, 0);
}

TEST_F(NodeCompute, NormalisationOfNormalAndSpecularLightsIsLeftInTheBlock) {
    value("normalCamera").set(0.0f, 0.0f, 3.0f);
    LightElement diffuseOnly = specularLight(1.0f);
    diffuseOnly.specular = false;
    setLights({specularLight(1.0f), diffuseOnly});
    ASSERT_EQ(request("outColor"), MS::kSuccess);
    const MObject lights = attr("lightDataArray");
    EXPECT_EQ(value("normalCamera").asFloatVector(), MFloatVector(0, 0, 1));
    EXPECT_EQ(block->element(lights, 0).child(attr("lightDirection")).asFloatVector(), MFloatVector(0, 0, 1));
    // Only a specular light's direction is normalised.
    EXPECT_EQ(block->element(lights, 1).child(attr("lightDirection")).asFloatVector(), MFloatVector(0, 0, 2));
}

TEST_F(NodeCompute, LightLoopVisitsEveryElementAndNoneWhenEmpty) {
    const std::vector<LightElement> three = {specularLight(0.5f), specularLight(1.0f), specularLight(2.0f)};
    setLights(three);
    value("normalCamera").set(0.0f, 0.0f, 1.0f);
    ASSERT_EQ(request("outColor"), MS::kSuccess);
    for (unsigned i = 0; i < 3; ++i)
        EXPECT_EQ(block->element(attr("lightDataArray"), i).child(attr("lightDirection")).asFloatVector(),
                  MFloatVector(0, 0, 1));
    EXPECT_TRUE(sameBits(value("outColor").asFloatVector(),
                         reference(ColorInputs(), MFloatVector(0, 0, 1), three, MFloatVector())));

    block->setElementCount(attr("lightDataArray"), 0);
    ASSERT_EQ(request("outColor"), MS::kSuccess);
    EXPECT_TRUE(
        sameBits(value("outColor").asFloatVector(), reference(ColorInputs(), MFloatVector(0, 0, 1), {}, MFloatVector())));
}

// elementCount says three, but next() fails after the first element: the
// loop ends there, so only the first light counts and only its direction
// is normalised.
TEST_F(NodeCompute, LightLoopEndsAtAFailingNext) {
    const std::vector<LightElement> three = {specularLight(0.5f), specularLight(1.0f), specularLight(2.0f)};
    setLights(three);
    value("normalCamera").set(0.0f, 0.0f, 1.0f);
    mayaHost::failNthCall(mayaHost::ApiCall::arrayNext, 1);
    ASSERT_EQ(request("outColor"), MS::kSuccess);
    mayaHost::clearInjectedFailures();
    const MObject lights = attr("lightDataArray");
    EXPECT_EQ(block->element(lights, 0).child(attr("lightDirection")).asFloatVector(), MFloatVector(0, 0, 1));
    EXPECT_EQ(block->element(lights, 1).child(attr("lightDirection")).asFloatVector(), MFloatVector(0, 0, 2));
    EXPECT_EQ(block->element(lights, 2).child(attr("lightDirection")).asFloatVector(), MFloatVector(0, 0, 2));
    EXPECT_TRUE(sameBits(value("outColor").asFloatVector(),
                         reference(ColorInputs(), MFloatVector(0, 0, 1), {three[0]}, MFloatVector())));
}

TEST_F(NodeCompute, ReflectionGoesThroughTheInstalledTracerWithTheSamplesAddresses) {
    int samplerContext = 0, object = 0;
    value("raySampler").setAddr(&samplerContext);
    value("objectId").setAddr(&object);
    value("pointCamera").set(0.5f, -0.25f, -4.0f);
    value("rayDirection").set(0.1f, -0.05f, -0.99f);
    value("normalCamera").set(0.0f, 0.0f, 1.0f);
    value("reflectivity").set(1.0f);
    ASSERT_EQ(request("outColor"), MS::kSuccess);
    EXPECT_EQ(tracer.calls, 1);
    EXPECT_EQ(tracer.lastSampler, &samplerContext);
    EXPECT_EQ(tracer.lastObject, &object);
    EXPECT_EQ(tracer.lastDepth, 0);
    EXPECT_EQ(tracer.lastOrigin, MFloatVector(0.5f, -0.25f, -4.0f));

    ColorInputs inputs;
    inputs.raySampler = &samplerContext;
    inputs.objectId = &object;
    inputs.pointCamera = MFloatVector(0.5f, -0.25f, -4.0f);
    inputs.rayDirection = MFloatVector(0.1f, -0.05f, -0.99f);
    inputs.reflectivity = 1.0f;
    EXPECT_TRUE(sameBits(value("outColor").asFloatVector(),
                         reference(inputs, MFloatVector(0, 0, 1), {}, MFloatVector())));

    // One level deep: a sample of a reflected ray traces nothing.
    value("rayDepth").set(short(1));
    ASSERT_EQ(request("outColor"), MS::kSuccess);
    EXPECT_EQ(tracer.calls, 1);
}
