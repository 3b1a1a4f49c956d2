// The result record, the reflection blend with its environment fallback, the
// ambient and incandescence terms and the irradiance switch. Expected values
// by hand.

#include <cmath>
#include <optional>
#include <vector>

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

// Reflectivity r scales what the record held by 1 - r and adds r times the
// traced colour, else the environment's when the ray leaves the scene, else
// nothing. The traces follow mi_reflection_dir: the scripted direction, or
// by default the view ray (0, 0, -1) mirrored about the normal. A
// reflectivity not above 0 traces and scales nothing. The expected sums are
// the shader's own float steps, so they compare exactly.
TEST(Reflection, BlendsTheTracedColourOrTheEnvironmentByReflectivity) {
    using Call = ScriptedServices::Call;
    const miColor traced{1.0f, 0.5f, 0.0f, 1.0f}, sky{0.0f, 1.0f, 0.5f, 1.0f};
    const miVector scripted{0.0f, 0.6f, 0.8f}, mirrored{0.0f, 0.0f, 1.0f};
    const std::vector<Call::Kind> traceAndMiss = {Call::ReflectionDirection, Call::TraceReflection,
                                                  Call::TraceEnvironment};
    const struct {
        float reflectivity;
        std::optional<miColor> reflection, environment;
        std::optional<miVector> direction;
        float expected[3];
        std::vector<Call::Kind> calls;
    } cases[] = {
        {0.25f, traced, sky, scripted, {0.2f * 0.75f + 0.25f, 0.4f * 0.75f + 0.125f, 0.8f * 0.75f},
         {Call::ReflectionDirection, Call::TraceReflection}},
        {0.5f, std::nullopt, sky, std::nullopt, {0.1f, 0.2f + 0.5f, 0.4f + 0.25f}, traceAndMiss},
        {0.5f, std::nullopt, std::nullopt, std::nullopt, {0.1f, 0.2f, 0.4f}, traceAndMiss},
        {0.0f, traced, sky, std::nullopt, {0.2f, 0.4f, 0.8f}, {}},
        {-0.5f, traced, sky, std::nullopt, {0.2f, 0.4f, 0.8f}, {}},
        {std::nanf(""), traced, sky, std::nullopt, {0.2f, 0.4f, 0.8f}, {}},
    };
    auto block = lightsOnlyBlock(0);
    for (const auto& c : cases) {
        block.as<flakeCoatParameters>().reflectivity = c.reflectivity;
        ScriptedServices services;
        services.setReflection(c.reflection);
        services.setEnvironment(c.environment);
        services.setReflectionDirection(c.direction);
        std::vector<Call> calls;
        services.record(&calls);
        const miColor result = shade(block, services, hitFromAbove(), kEntry);

        EXPECT_EQ(result.r, c.expected[0]) << "reflectivity " << c.reflectivity;
        EXPECT_EQ(result.g, c.expected[1]) << "reflectivity " << c.reflectivity;
        EXPECT_EQ(result.b, c.expected[2]) << "reflectivity " << c.reflectivity;
        ASSERT_EQ(kindsOf(calls), c.calls) << "reflectivity " << c.reflectivity;
        const miVector direction = c.direction.value_or(mirrored);
        for (std::size_t i = 1; i < calls.size(); ++i) {
            EXPECT_EQ(calls[i].direction.y, direction.y);
            EXPECT_EQ(calls[i].direction.z, direction.z);
        }
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
