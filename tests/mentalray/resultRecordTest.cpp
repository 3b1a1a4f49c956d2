// The result record, the reflection blend with its environment fallback, the
// ambient and incandescence terms and the irradiance switch. Expected values
// by hand.

#include <cmath>

#include <gtest/gtest.h>

#include "shaderTestSupport.h"

using mentalrayHost::ScriptedServices;
using testSupport::hitFromAbove;
using testSupport::lightsOnlyBlock;
using testSupport::shade;

namespace {

std::vector<ScriptedServices::Call::Kind> kindsOf(const std::vector<ScriptedServices::Call>& calls) {
    std::vector<ScriptedServices::Call::Kind> kinds;
    for (const auto& call : calls) kinds.push_back(call.kind);
    return kinds;
}

const miColor kEntry{0.2f, 0.4f, 0.8f, 0.3f};

}  // namespace

TEST(ResultRecord, KeepsWhatItHeldAddsAmbientAndIncandescenceAndSetsAlpha) {
    auto block = lightsOnlyBlock(0);
    block.as<flakeCoatParameters>().color = {0.5f, 0.25f, 2.0f, 1.0f};
    block.as<flakeCoatParameters>().ambientColor = {0.5f, 1.0f, 0.25f, 9.0f};
    block.as<flakeCoatParameters>().incandescence = {0.125f, 0.0f, 1.0f, 9.0f};
    ScriptedServices services;
    const miColor result = shade(block, services, hitFromAbove(), kEntry);
    EXPECT_FLOAT_EQ(result.r, 0.2f + 0.25f + 0.125f);
    EXPECT_FLOAT_EQ(result.g, 0.4f + 0.25f);
    EXPECT_FLOAT_EQ(result.b, 0.8f + 0.5f + 1.0f);
    EXPECT_EQ(result.a, 1.0f);
}

TEST(Reflection, BlendsTheTracedColourByReflectivity) {
    auto block = lightsOnlyBlock(0);
    block.as<flakeCoatParameters>().reflectivity = 0.25f;
    ScriptedServices services;
    services.setReflectionDirection(miVector{0.0f, 0.6f, 0.8f});
    services.setReflection(miColor{1.0f, 0.5f, 0.0f, 1.0f});
    services.setEnvironment(miColor{9.0f, 9.0f, 9.0f, 1.0f});
    std::vector<ScriptedServices::Call> calls;
    services.record(&calls);
    const miColor result = shade(block, services, hitFromAbove(), kEntry);

    EXPECT_FLOAT_EQ(result.r, 0.2f * 0.75f + 0.25f);
    EXPECT_FLOAT_EQ(result.g, 0.4f * 0.75f + 0.125f);
    EXPECT_FLOAT_EQ(result.b, 0.8f * 0.75f);
    ASSERT_EQ(kindsOf(calls), (std::vector<ScriptedServices::Call::Kind>{ScriptedServices::Call::ReflectionDirection,
                                                                          ScriptedServices::Call::TraceReflection}));
    EXPECT_EQ(calls[1].direction.y, 0.6f);
    EXPECT_EQ(calls[1].direction.z, 0.8f);
}

TEST(Reflection, FallsBackToTheEnvironmentWhenTheRayLeaves) {
    auto block = lightsOnlyBlock(0);
    block.as<flakeCoatParameters>().reflectivity = 0.5f;
    ScriptedServices services;
    services.setEnvironment(miColor{0.0f, 1.0f, 0.5f, 1.0f});
    std::vector<ScriptedServices::Call> calls;
    services.record(&calls);
    const miColor result = shade(block, services, hitFromAbove(), kEntry);

    EXPECT_FLOAT_EQ(result.r, 0.1f);
    EXPECT_FLOAT_EQ(result.g, 0.2f + 0.5f);
    EXPECT_FLOAT_EQ(result.b, 0.4f + 0.25f);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[2].kind, ScriptedServices::Call::TraceEnvironment);
    // The default direction: the view ray (0, 0, -1) mirrored about the normal
    EXPECT_EQ(calls[2].direction.z, 1.0f);
    EXPECT_EQ(calls[1].direction.z, 1.0f);
}

TEST(Reflection, NothingFoundLeavesTheColourDimmed) {
    auto block = lightsOnlyBlock(0);
    block.as<flakeCoatParameters>().reflectivity = 0.5f;
    ScriptedServices services;
    const miColor result = shade(block, services, hitFromAbove(), kEntry);
    EXPECT_FLOAT_EQ(result.r, 0.1f);
    EXPECT_FLOAT_EQ(result.g, 0.2f);
    EXPECT_FLOAT_EQ(result.b, 0.4f);
}

TEST(Reflection, ReflectivityNotAboveZeroTracesAndScalesNothing) {
    auto block = lightsOnlyBlock(0);
    for (float reflectivity : {0.0f, -0.5f, std::nanf("")}) {
        block.as<flakeCoatParameters>().reflectivity = reflectivity;
        ScriptedServices services;
        services.setReflection(miColor{1.0f, 1.0f, 1.0f, 1.0f});
        std::vector<ScriptedServices::Call> calls;
        services.record(&calls);
        const miColor result = shade(block, services, hitFromAbove(), kEntry);
        EXPECT_TRUE(calls.empty()) << reflectivity;
        EXPECT_EQ(result.r, 0.2f);
        EXPECT_EQ(result.b, 0.8f);
    }
}

// Reflectivity 1 replaces the lit colour; ambient, incandescence and
// irradiance are still added after it.
TEST(Reflection, FullReflectivityReplacesTheLitColourOnly) {
    auto block = lightsOnlyBlock(1);
    flakeCoatParameters& p = block.as<flakeCoatParameters>();
    p.reflectivity = 1.0f;
    p.color = {0.5f, 0.5f, 0.5f, 1.0f};
    p.ambientColor = {0.5f, 0.5f, 0.5f, 1.0f};
    p.incandescence = {0.0f, 0.0f, 0.125f, 1.0f};
    p.useIrradiance = miTRUE;
    p.irradianceColor = {1.0f, 1.0f, 1.0f, 1.0f};
    ScriptedServices services;
    services.setLightSamples(1, {{{1.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 1.0f}}});
    services.setReflection(miColor{0.125f, 0.25f, 0.5f, 1.0f});
    services.setIrradiance(miColor{3.1415927f, 0.0f, 0.0f, 1.0f});
    const miColor result = shade(block, services, hitFromAbove(), kEntry);
    EXPECT_FLOAT_EQ(result.r, 0.125f + 0.25f + 0.5f);
    EXPECT_FLOAT_EQ(result.g, 0.25f + 0.25f);
    EXPECT_FLOAT_EQ(result.b, 0.5f + 0.25f + 0.125f);
    EXPECT_EQ(result.a, 1.0f);
}

// Irradiance adds color * irradiance * irradianceColor / pi when
// useIrradiance is set and irradianceColor is not black.
TEST(Irradiance, IsAddedOnlyWhenSwitchedOnAndTintedByANonBlackColour) {
    auto block = lightsOnlyBlock(0);
    flakeCoatParameters& p = block.as<flakeCoatParameters>();
    p.color = {0.5f, 1.0f, 2.0f, 1.0f};
    p.useIrradiance = 7;
    ScriptedServices services;
    services.setIrradiance(miColor{1.0f, 2.0f, 3.0f, 1.0f});
    std::vector<ScriptedServices::Call> calls;
    services.record(&calls);

    p.irradianceColor = {0.5f, 1.0f, 2.0f, 1.0f};
    miColor result = shade(block, services, hitFromAbove());
    EXPECT_NEAR(result.r, 0.25 / M_PI, 1e-7);
    EXPECT_NEAR(result.g, 2.0 / M_PI, 1e-7);
    EXPECT_NEAR(result.b, 12.0 / M_PI, 1e-6);
    EXPECT_EQ(calls.size(), 1u);

    // Black, whatever its alpha: no call, nothing added
    calls.clear();
    p.irradianceColor = {0.0f, 0.0f, 0.0f, 5.0f};
    result = shade(block, services, hitFromAbove());
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(result.b, 0.0f);

    p.irradianceColor = {0.0f, 0.0f, 0.001f, 1.0f};
    result = shade(block, services, hitFromAbove());
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_NEAR(result.b, 0.006 / M_PI, 1e-9);

    // Switched off
    calls.clear();
    p.useIrradiance = miFALSE;
    result = shade(block, services, hitFromAbove());
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(result.b, 0.0f);

    // A renderer that computes none adds nothing
    p.useIrradiance = miTRUE;
    services.setIrradiance(std::nullopt);
    result = shade(block, services, hitFromAbove());
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(result.r, 0.0f);
    EXPECT_EQ(result.a, 1.0f);
}
