// The registered attribute set against the design's tables.

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <mayaHost/dataBlock.h>
#include <mayaHost/registry.h>

#include "expectedAttributes.h"
#include "pluginFixture.h"

using mayaHost::AttributeInfo;
using mayaHost::AttributeKind;

namespace {

std::string kindOf(const AttributeInfo& a) {
    switch (a.kind) {
        case AttributeKind::numeric:
            return a.numericType == MFnNumericData::kFloat   ? "float"
                   : a.numericType == MFnNumericData::kShort ? "short"
                   : a.numericType == MFnNumericData::kBoolean ? "boolean"
                                                              : "other numeric";
        case AttributeKind::numericCompound:
            return a.numericType == MFnNumericData::k3Float   ? "float3"
                   : a.numericType == MFnNumericData::k2Float ? "float2"
                                                              : "other compound";
        case AttributeKind::address: return a.numericType == MFnNumericData::kAddr ? "address" : "bad address";
        case AttributeKind::matrix: return a.matrixType == MFnMatrixAttribute::kFloat ? "floatMatrix" : "matrix";
        case AttributeKind::lightData: return a.flags.array ? "lightData[]" : "lightData";
    }
    return "?";
}

std::string childrenOf(const AttributeInfo& a) {
    std::string names;
    for (const AttributeInfo* child : a.children) names += (names.empty() ? "" : " ") + child->longName;
    return names;
}

std::string flagsOf(const AttributeInfo& a) {
    std::string flags;
    if (a.flags.readable) flags += 'R';
    if (a.flags.writable) flags += 'W';
    if (a.flags.storable) flags += 'S';
    if (a.flags.keyable) flags += 'K';
    if (a.flags.hidden) flags += 'H';
    if (a.flags.usedAsColor) flags += 'C';
    if (a.flags.array) flags += 'A';
    return flags;
}

std::string limitsOf(const AttributeInfo& a) {
    std::ostringstream text;
    if (a.limits.hasMin) text << "min " << a.limits.min[0] << " " << a.limits.min[1] << " " << a.limits.min[2];
    if (a.limits.hasMax) text << "max";
    if (a.limits.hasSoftMin || a.limits.hasSoftMax) text << "soft " << a.limits.softMin << " " << a.limits.softMax;
    return text.str();
}

std::vector<double> defaultsOf(const AttributeInfo& a) {
    const unsigned n = a.componentCount();
    return std::vector<double>(a.defaultValue, a.defaultValue + n);
}

using AttributeTable = LoadedPlugin;

}  // namespace

TEST_F(AttributeTable, EveryAttributeMatchesTheDesignInCreationOrder) {
    const std::vector<ExpectedAttribute>& expected = expectedAttributes();
    ASSERT_EQ(expected.size(), 81u);
    ASSERT_EQ(type->createdAttributes().size(), 81u);
    EXPECT_EQ(type->attributes().size(), 81u);  // every one of them belongs to the node type
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const AttributeInfo& a = *type->createdAttributes()[i];
        const ExpectedAttribute& e = expected[i];
        SCOPED_TRACE(std::string("step ") + std::to_string(i + 1) + " " + e.longName);
        EXPECT_EQ(a.longName, e.longName);
        EXPECT_EQ(a.shortName, e.shortName);
        EXPECT_EQ(kindOf(a), e.kind);
        EXPECT_EQ(childrenOf(a), e.children);
        EXPECT_EQ(defaultsOf(a), e.defaults);
        EXPECT_EQ(flagsOf(a), e.flags);
        EXPECT_EQ(limitsOf(a), e.limits);
        if (a.kind == AttributeKind::address) {
            EXPECT_EQ(a.defaultAddress, nullptr);
        }
    }
}

TEST_F(AttributeTable, LightDataDefaultDiffersFromTheChildrensOwn) {
    const AttributeInfo* lights = type->findAttribute("lightDataArray");
    ASSERT_TRUE(lights);
    ASSERT_TRUE(lights->hasLightDataDefault);
    const mayaHost::LightDataValue& d = lights->lightDataDefault;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(d.direction[i], 0.0f);
        EXPECT_EQ(d.intensity[i], 0.0f);
    }
    EXPECT_TRUE(d.ambient);
    EXPECT_TRUE(d.diffuse);
    EXPECT_FALSE(d.specular);
    EXPECT_EQ(d.shadowFraction, 1.0f);
    EXPECT_EQ(d.preShadowIntensity, 1.0f);
    EXPECT_EQ(d.blindData, nullptr);
}

TEST_F(AttributeTable, TopLevelAttributesAreAddedInTheDesignsOrder) {
    std::vector<std::string> added;
    for (const AttributeInfo* a : type->addedAttributes()) added.push_back(a->longName);
    EXPECT_EQ(added, std::vector<std::string>(expectedAddOrder().begin(), expectedAddOrder().end()));
}

TEST_F(AttributeTable, SeventyThreeDependencyDeclarationsInOrder) {
    std::vector<std::pair<std::string, std::string>> declared;
    for (const auto& pair : type->affects()) declared.emplace_back(pair.first->longName, pair.second->longName);
    const auto expected = expectedAffects();
    ASSERT_EQ(expected.size(), 73u);
    EXPECT_EQ(declared, expected);
    for (const auto& pair : declared) {
        EXPECT_NE(pair.first.rfind("lightIntensity", 0), 0u) << "lightIntensity is never declared";
        EXPECT_NE(pair.first.rfind("out", 0), 0u) << "outputs affect nothing";
    }
}

TEST_F(AttributeTable, NewNodeHoldsTheDefaultsIncludingTheLightElementDefault) {
    std::string error;
    std::unique_ptr<mayaHost::Node> node = mayaHost::Node::create("flakeCoat", error);
    ASSERT_TRUE(node) << error;
    mayaHost::DataBlock block(*node);
    EXPECT_EQ(block.value(node->attribute("color")).asFloatVector(), MFloatVector(0.209f, 1.0f, 0.182f));
    EXPECT_EQ(block.value(node->attribute("rayDirection")).asFloatVector(), MFloatVector(1, 0, 0));
    EXPECT_EQ(block.value(node->attribute("normalCamera")).asFloatVector(), MFloatVector(1, 1, 1));
    EXPECT_EQ(block.value(node->attribute("seed")).asFloat(), 1234.0f);
    EXPECT_EQ(block.value(node->attribute("rayDepth")).asShort(), 0);
    EXPECT_EQ(block.value(node->attribute("raySampler")).asAddr(), nullptr);
    const float2& depth = block.value(node->attribute("depthRange")).asFloat2();
    EXPECT_EQ(depth[0], 40.0f);
    EXPECT_EQ(depth[1], 10.0f);
    const MFloatMatrix identity;
    EXPECT_EQ(block.value(node->attribute("placementMatrix")).asFloatMatrix(), identity);

    const MObject lights = node->attribute("lightDataArray");
    EXPECT_EQ(block.elementCount(lights), 0u);
    block.setElementCount(lights, 1);
    MDataHandle element = block.element(lights, 0);
    EXPECT_EQ(element.child(node->attribute("lightDirection")).asFloatVector(), MFloatVector(0, 0, 0));
    EXPECT_EQ(element.child(node->attribute("lightIntensity")).asFloatVector(), MFloatVector(0, 0, 0));
    EXPECT_TRUE(element.child(node->attribute("lightAmbient")).asBool());
    EXPECT_TRUE(element.child(node->attribute("lightDiffuse")).asBool());
    EXPECT_FALSE(element.child(node->attribute("lightSpecular")).asBool());
    EXPECT_EQ(element.child(node->attribute("lightShadowFraction")).asFloat(), 1.0f);
}
