// The host stand-in's own promises: handles into the block, array capacity,
// the tracer hook, statuses.

#include <maya/MFnNumericAttribute.h>
#include <maya/MRenderUtil.h>

#include "computeFixture.h"

using HostDataBlock = NodeCompute;

TEST_F(HostDataBlock, HandlesReferToTheStoredValue) {
    MFloatVector& color = value("color").asFloatVector();
    color = MFloatVector(0.5f, 0.25f, 0.125f);
    EXPECT_EQ(&value("colorG").asFloat(), &color.y);
    EXPECT_EQ(value("colorG").asFloat(), 0.25f);
    const float2& depth = value("depthRange").asFloat2();
    EXPECT_EQ(&value("depthRangeMax").asFloat(), &depth[1]);

    // A mismatched accessor yields zeroed scratch, never the stored value.
    float& wrong = value("color").asFloat();
    EXPECT_EQ(wrong, 0.0f);
    wrong = 9.0f;
    EXPECT_EQ(value("color").asFloatVector(), MFloatVector(0.5f, 0.25f, 0.125f));
    EXPECT_EQ(value("noSuchThing").asFloatVector(), MFloatVector(0, 0, 0));
}

TEST_F(HostDataBlock, ElementCountChangesWithinCapacityKeepTheStorage) {
    const MObject lights = attr("lightDataArray");
    const MObject direction = attr("lightDirection");
    block->setElementCount(lights, 4);
    MFloatVector* first = &block->element(lights, 0).child(direction).asFloatVector();
    block->element(lights, 3).child(direction).set(MFloatVector(7, 7, 7));
    block->setElementCount(lights, 1);
    EXPECT_EQ(block->elementCount(lights), 1u);
    block->setElementCount(lights, 4);
    EXPECT_EQ(&block->element(lights, 0).child(direction).asFloatVector(), first);
    // An element coming back into use starts from the element default.
    EXPECT_EQ(block->element(lights, 3).child(direction).asFloatVector(), MFloatVector(0, 0, 0));
    // Past the last element there is nothing.
    EXPECT_EQ(block->element(lights, 4).child(direction).asFloatVector(), MFloatVector(0, 0, 0));
    MStatus status;
    MArrayDataHandle array = block->dataBlock().inputArrayValue(lights, &status);
    EXPECT_EQ(status, MS::kSuccess);
    EXPECT_EQ(array.jumpToArrayElement(4), MS::kInvalidParameter);
    ASSERT_EQ(array.jumpToArrayElement(3), MS::kSuccess);
    EXPECT_EQ(array.next(), MS::kFailure);
}

TEST(HostRaytrace, WithoutATracerTheResultIsUntouched) {
    mayaHost::installRaytracer(nullptr);
    MFloatVector color(0.1f, 0.2f, 0.3f), transparency(0.4f, 0.5f, 0.6f);
    EXPECT_EQ(MRenderUtil::raytrace(MFloatVector(), MFloatVector(0, 0, 1), nullptr, nullptr, 0, color, transparency),
              MS::kSuccess);
    EXPECT_EQ(color, MFloatVector(0.1f, 0.2f, 0.3f));
    EXPECT_EQ(transparency, MFloatVector(0.4f, 0.5f, 0.6f));

    FixedTracer tracer;
    mayaHost::installRaytracer(&tracer);
    int context = 0;
    MRenderUtil::raytrace(MFloatVector(1, 2, 3), MFloatVector(0, 0, 1), nullptr, &context, 0, color, transparency);
    mayaHost::installRaytracer(nullptr);
    EXPECT_EQ(tracer.lastSampler, &context);
    EXPECT_EQ(color, MFloatVector(0.25f, 0.5f, 0.75f));
}

TEST(HostStatus, PerrorPrintsTheStatusTextWithItsPrefix) {
    ::testing::internal::CaptureStderr();
    MStatus(MS::kFailure).perror("");
    MStatus(MS::kInvalidParameter).perror("setStorable");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Failure\nsetStorable: Invalid parameter\n");
    EXPECT_EQ(std::string(MStatus(MS::kUnknownParameter).errorString().asChar()), "Unknown parameter");
}

TEST(HostRegistry, AttributesCannotBeAddedOutsideAnInitialiseFunction) {
    MFnNumericAttribute fn;
    MStatus status;
    const MObject loose = fn.create("loose", "lo", MFnNumericData::kFloat, 0.5, &status);
    EXPECT_EQ(status, MS::kSuccess);
    EXPECT_EQ(MPxNode::addAttribute(loose), MS::kInvalidParameter);
    EXPECT_EQ(fn.setDefault(1.0f, 2.0f), MS::kInvalidParameter);  // one component, not two
    EXPECT_EQ(fn.create("", "", MFnNumericData::kFloat, 0, &status), MObject::kNullObj);
    EXPECT_EQ(status, MS::kInvalidParameter);
    EXPECT_EQ(fn.setKeyable(true), MS::kInvalidParameter);  // the set now acts on nothing
}
