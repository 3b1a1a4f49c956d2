// Parameter fetching: the order and the byte offsets the renderer sees
// through mi_phen_eval, the ghost offset rule, and values from connections.

#include <cstddef>
#include <cstring>
#include <optional>

#include <gtest/gtest.h>

#include "shaderTestSupport.h"

using mentalrayHost::ParameterBlock;
using mentalrayHost::ScriptedServices;
using testSupport::hitFromAbove;
using testSupport::shade;

namespace {

// Every 4-byte word of the fixed block and the first light slot (offsets
// 0 to 160) marked as connected.
void connectEverything(ParameterBlock& block) {
    auto* base = static_cast<unsigned char*>(block.data());
    for (std::size_t offset = 0; offset <= 160; offset += 4) block.setConnected(base + offset);
}

// The byte offsets of the parameters the shader asked mi_phen_eval for, in
// the order asked.
std::vector<std::ptrdiff_t> askedOffsets(ParameterBlock& block, ScriptedServices& services) {
    std::vector<ScriptedServices::Call> calls;
    services.record(&calls);
    shade(block, services, hitFromAbove());
    services.record(nullptr);
    std::vector<std::ptrdiff_t> offsets;
    const auto* base = static_cast<const unsigned char*>(block.data());
    for (const auto& call : calls) {
        if (call.kind == ScriptedServices::Call::Parameter) {
            offsets.push_back(static_cast<const unsigned char*>(call.parameter) - base);
        }
    }
    return offsets;
}

}  // namespace

// The documented layout and order: color 0, ambientColor 16, specularColor 96,
// incandescence 32, refractiveIndex 72, normalCamera 48, useIrradiance 132,
// diffuse 60, depthRangeMin 64, depthRangeMax 68, specularMin 84,
// specularMax 88, frequencyX 112, frequencyY 116, normalDeviation 120,
// seed 124, specularPower 92, n_light 156, i_light 152, light 160, then
// irradianceColor 136 (only with useIrradiance set) and, after the lights,
// reflectivity 128.
TEST(Parameters, AreFetchedInTheRenderersOrderAtTheDocumentedOffsets) {
    ParameterBlock block(testSupport::declaration(), 1);
    connectEverything(block);
    block.as<flakeCoatParameters>().reflectivity = 0.5f;
    ScriptedServices services;

    block.as<flakeCoatParameters>().useIrradiance = miTRUE;
    EXPECT_EQ(askedOffsets(block, services),
              (std::vector<std::ptrdiff_t>{0, 16, 96, 32, 72, 48, 132, 60, 64, 68, 84, 88, 112, 116, 120, 124, 92,
                                           156, 152, 160, 136, 128}));

    block.as<flakeCoatParameters>().useIrradiance = miFALSE;
    EXPECT_EQ(askedOffsets(block, services),
              (std::vector<std::ptrdiff_t>{0, 16, 96, 32, 72, 48, 132, 60, 64, 68, 84, 88, 112, 116, 120, 124, 92,
                                           156, 152, 160, 128}));
}

TEST(Parameters, ComeFromTheBlockWhenTheGhostOffsetIsZero) {
    ParameterBlock block(testSupport::declaration(), 0);
    connectEverything(block);
    block.function().ghost_offs = 0;
    block.as<flakeCoatParameters>().useIrradiance = miTRUE;
    ScriptedServices services;
    EXPECT_TRUE(askedOffsets(block, services).empty());
}

// With a ghost offset, a set connection word sends the parameter to
// mi_phen_eval and the block's own value is ignored; a clear word reads the
// block without asking.
TEST(Parameters, AConnectedParameterTakesTheRenderersValue) {
    ParameterBlock block(testSupport::declaration(), 1);
    flakeCoatParameters& p = block.as<flakeCoatParameters>();
    p.reflectivity = 0.0f;
    p.color = {0.0f, 0.0f, 1.0f, 1.0f};
    p.ambientColor = {1.0f, 1.0f, 1.0f, 1.0f};
    p.incandescence = {0.0f, 0.0f, 0.0f, 1.0f};
    p.n_light = 0;
    block.arrayElements()[0] = 4;

    miColor connectedColour{1.0f, 0.0f, 0.0f, 1.0f};
    miInteger connectedCount = 1;
    ScriptedServices services;
    block.setConnected(&p.color);
    block.setConnected(&p.n_light);
    services.connect(&p.color, &connectedColour);
    services.connect(&p.n_light, &connectedCount);
    services.setLightSamples(4, {});

    std::vector<ScriptedServices::Call> calls;
    services.record(&calls);
    const miColor result = shade(block, services, hitFromAbove());

    // ambient * color with the connected red, not the block's blue
    EXPECT_EQ(result.r, 1.0f);
    EXPECT_EQ(result.b, 0.0f);
    // n_light from the connection: light 4 was sampled
    int parameterCalls = 0, lightCalls = 0;
    for (const auto& call : calls) {
        parameterCalls += call.kind == ScriptedServices::Call::Parameter;
        lightCalls += call.kind == ScriptedServices::Call::SampleLight && call.light == 4;
    }
    EXPECT_EQ(parameterCalls, 2);
    EXPECT_EQ(lightCalls, 1);
}

TEST(Version, IsOneOnEveryCall) {
    EXPECT_EQ(testSupport::shaderLibrary().version(), 1);
    EXPECT_EQ(testSupport::shaderLibrary().version(), 1);
}

// A state without a shader record or texture coordinates, and a renderer that
// answers a connection with a null address, leave the block's values in use
// (the texture position is then the origin).
TEST(Parameters, MissingStateRecordsAndNullConnectionsFallBackToTheBlock) {
    ParameterBlock block = testSupport::lightsOnlyBlock(1);
    block.as<flakeCoatParameters>().normalDeviation = 0.5f;
    ScriptedServices services;
    services.setLightSamples(1, {{{1.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.6f, 0.8f}}});
    mentalrayHost::SurfaceHit origin = hitFromAbove();
    origin.u = origin.v = 0.0f;
    const miColor expected = shade(block, services, origin);

    mentalrayHost::ShadingSample sample(hitFromAbove(), block.function(), &services);
    sample.state().shader = nullptr;
    sample.state().tex_list = nullptr;
    miColor result{};
    testSupport::shaderLibrary().shade(&result, &sample.state(), &block.as<flakeCoatParameters>());
    EXPECT_EQ(std::memcmp(&result, &expected, sizeof result), 0);

    block.setConnected(&block.as<flakeCoatParameters>().color);
    services.connect(&block.as<flakeCoatParameters>().color, nullptr);
    const miColor connectedToNothing = shade(block, services, origin);
    EXPECT_EQ(std::memcmp(&connectedToNothing, &expected, sizeof expected), 0);
}

// The trace functions change the label, point, normal, dist and motion of
// the state they are given (the stand-in's always do). Whether the
// reflection hits or the environment answers, the irradiance call gets the
// state the lights saw: the shading normal, and the hit's own fields; so
// does the environment's trace after a reflection that missed.
TEST(RendererState, TheIrradianceCallSeesTheStateAsBuiltAfterTheTraces) {
    ParameterBlock block = testSupport::lightsOnlyBlock(1);
    flakeCoatParameters& p = block.as<flakeCoatParameters>();
    p.reflectivity = 0.5f;
    p.useIrradiance = miTRUE;
    p.normalCamera = {0.25f, 0.0f, 0.0f};  // a shading normal other than the renderer's
    mentalrayHost::SurfaceHit hit = hitFromAbove();
    hit.point = {0.5f, -2.0f, 3.0f};
    hit.distance = 7.0f;
    for (const bool reflectionHits : {true, false}) {
        ScriptedServices services;
        services.setLightSamples(1, {{{1.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.6f, 0.8f}}});
        services.setReflection(reflectionHits ? std::optional<miColor>(miColor{0.5f, 0.5f, 0.5f, 1.0f}) : std::nullopt);
        services.setEnvironment(miColor{0.25f, 0.25f, 0.25f, 1.0f});
        services.setIrradiance(miColor{1.0f, 1.0f, 1.0f, 1.0f});
        std::vector<ScriptedServices::Call> calls;
        services.record(&calls);
        shade(block, services, hit);
        services.record(nullptr);
        const miState* lit = nullptr;
        const miState* irradiance = nullptr;
        int traces = 0;
        for (const auto& call : calls) {
            if (call.kind == ScriptedServices::Call::SampleLight && !lit) lit = &call.state;
            if (call.kind == ScriptedServices::Call::Irradiance) irradiance = &call.state;
            traces += call.kind == ScriptedServices::Call::TraceReflection ||
                      call.kind == ScriptedServices::Call::TraceEnvironment;
        }
        ASSERT_TRUE(lit && irradiance) << reflectionHits;
        EXPECT_EQ(traces, reflectionHits ? 1 : 2);
        // Every call, the environment's after a missed reflection too
        const auto same = [](const miVector& a, const miVector& b) { return a.x == b.x && a.y == b.y && a.z == b.z; };
        for (const auto& call : calls) {
            const miState& seen = call.state;
            EXPECT_TRUE(same(seen.normal, lit->normal) && same(seen.point, lit->point) &&
                        same(seen.motion, lit->motion) && seen.dist == lit->dist && seen.label == lit->label)
                << reflectionHits << " call " << &call - calls.data();
        }
        EXPECT_NE(lit->normal.x, 0.0f);
        EXPECT_EQ(irradiance->point.y, -2.0f);
        EXPECT_EQ(irradiance->dist, 7.0);
    }
}
