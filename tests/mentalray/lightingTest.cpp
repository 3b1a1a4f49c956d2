// Light sampling: hand-computed cases, the double-precision reference on
// random geometry, area-light averaging, the lights in use and the rule that
// light from behind adds nothing.

#include <cmath>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "referenceShading.h"
#include "shaderTestSupport.h"

using mentalrayHost::ScriptedServices;
using testSupport::hitFromAbove;
using testSupport::lightsOnlyBlock;
using testSupport::shade;

namespace {

const miColor kWhite{1.0f, 1.0f, 1.0f, 1.0f};
const miVector kUp{0.0f, 0.0f, 1.0f};

// The noise coordinates of the shader: each rounded to float as formed.
float filmNoiseAt(const flakeCoatParameters& p, float u, float v, float f) {
    const float s = float(p.seed);
    const float first = float(float(u * f) + s) + 19928.0f;
    const float second = float(float(float(v * f) * 0.5f) + s) + 1998122.0f;
    return testSupport::moduleNoise(first, second);
}

}  // namespace

// n = 1 in every channel: both Fresnel weights are 1 and the flake lobe drops
// out; film depth 0. Light and view along the normal: d = 1, coat lobe 1.
// interference = (2 sqrt(0.75 * 0.25) + 1) / 2 = 0.9330127 (by hand), so
// diffuse = 0.9330127 * 0.8 * 0.5 = 0.3732051 and specular = 0.3.
TEST(Lighting, PointLightAtNormalIncidenceByHand) {
    auto block = lightsOnlyBlock(1);
    flakeCoatParameters& p = block.as<flakeCoatParameters>();
    p.refractiveIndex = {1.0f, 1.0f, 1.0f};
    p.depthRangeMin = p.depthRangeMax = 0.0f;
    p.color = {0.5f, 0.5f, 0.5f, 1.0f};
    p.diffuse = 0.8f;
    p.specularPower = 0.3f;
    ScriptedServices services;
    services.setLightSamples(1, {{kWhite, kUp}});
    const miColor result = shade(block, services, hitFromAbove());
    EXPECT_NEAR(result.r, 0.6732051, 1e-6);
    EXPECT_NEAR(result.g, 0.6732051, 1e-6);
    EXPECT_NEAR(result.b, 0.6732051, 1e-6);
    EXPECT_EQ(result.a, 1.0f);
}

// A lobe is the power of the cosine's magnitude, so a negative cosine with a
// fractional exponent (a user may type 50.5) still gives a colour. The light
// sits back along the view ray, so the mirrored light runs against the view:
// coat cosine (0.8, 0, -0.6) . (-0.8, 0, -0.6) = -0.28. A flake tilted far
// by normalDeviation -10 turns the flake cosine negative as well.
TEST(Lighting, FractionalExponentsOfNegativeCosinesGiveAColour) {
    auto block = lightsOnlyBlock(1);
    flakeCoatParameters& p = block.as<flakeCoatParameters>();
    ScriptedServices services;
    services.setLightSamples(1, {{kWhite, {-0.8f, 0.0f, 0.6f}}});
    mentalrayHost::SurfaceHit hit = hitFromAbove();
    hit.direction = {0.8f, 0.0f, -0.6f};
    for (const float deviation : {0.0f, -10.0f})
        for (const float exponent : {50.0f, 50.5f, 0.25f, 7.75f}) {
            p.normalDeviation = deviation;
            p.specularMin = p.specularMax = exponent;
            const miColor c = shade(block, services, hit);
            EXPECT_TRUE(std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b))
                << "exponent " << exponent << " deviation " << deviation;
            EXPECT_GT(c.r, 0.0f);
        }
}

// Documented values: with n = 1.4 the interference base is 0.72917 and the
// term at film depth 0 is 0.94439 in all channels; at depth 115.18 the red
// phase is pi and red falls to 0.05561. Diffuse only, unit light and colour.
TEST(Lighting, InterferenceFollowsFilmDepthPerChannel) {
    auto block = lightsOnlyBlock(1);
    flakeCoatParameters& p = block.as<flakeCoatParameters>();
    p.diffuse = 1.0f;
    p.specularPower = 0.0f;
    ScriptedServices services;
    services.setLightSamples(1, {{kWhite, kUp}});

    p.depthRangeMin = p.depthRangeMax = 0.0f;
    miColor result = shade(block, services, hitFromAbove());
    EXPECT_NEAR(result.r, 0.94439, 1e-5);
    EXPECT_NEAR(result.g, 0.94439, 1e-5);
    EXPECT_NEAR(result.b, 0.94439, 1e-5);

    p.depthRangeMin = p.depthRangeMax = 115.18f;
    result = shade(block, services, hitFromAbove());
    EXPECT_NEAR(result.r, 0.05561, 1e-4);
    EXPECT_NEAR(result.g, reference::interferenceTerm(1.4f, 115.18f, 525.0), 1e-5);
    EXPECT_NEAR(result.b, reference::interferenceTerm(1.4f, 115.18f, 445.0), 1e-5);
    EXPECT_GT(std::fabs(result.g - result.r), 0.1);
}

// Random geometry and parameters against the double-precision formulas.
// Tolerance 5e-5 relative: float rounding of about 1e-7 per operation,
// amplified up to ninety times by the lobe exponents.
TEST(Lighting, MatchesTheDoublePrecisionFormulasOnRandomGeometry) {
    std::mt19937 random(20240611);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto between = [&](float lo, float hi) { return lo + (hi - lo) * unit(random); };
    auto direction = [&](float minZ) {
        const float z = between(minZ, 1.0f);
        const float phi = between(0.0f, 6.2831853f);
        const float r = std::sqrt(1.0f - z * z);
        return miVector{r * std::cos(phi), r * std::sin(phi), z};
    };

    for (int trial = 0; trial < 200; ++trial) {
        auto block = lightsOnlyBlock(1);
        flakeCoatParameters& p = block.as<flakeCoatParameters>();
        p.color = {between(0, 1), between(0, 1), between(0, 1), 1.0f};
        p.specularColor = {between(0, 1), between(0, 1), between(0, 1), 1.0f};
        p.refractiveIndex = {between(1.2f, 1.8f), between(1.2f, 1.8f), between(1.2f, 1.8f)};
        p.normalCamera = {between(-0.1f, 0.1f), between(-0.1f, 0.1f), between(-0.1f, 0.1f)};
        p.diffuse = between(0.2f, 1.0f);
        p.specularPower = between(0.2f, 1.0f);
        p.depthRangeMin = between(0.0f, 200.0f);
        p.depthRangeMax = between(0.0f, 200.0f);
        p.specularMin = float(int(between(1.0f, 60.0f)));
        p.specularMax = float(int(between(1.0f, 90.0f)));
        p.normalDeviation = between(0.0f, 0.5f);
        p.frequencyX = between(1.0f, 200.0f);
        p.frequencyY = between(1.0f, 200.0f);
        p.seed = int(between(0.0f, 5000.0f));

        mentalrayHost::SurfaceHit hit = hitFromAbove();
        hit.u = unit(random);
        hit.v = unit(random);
        const miVector eye = direction(0.5f);
        hit.direction = {-eye.x, -eye.y, -eye.z};
        const miVector L = direction(0.3f);
        const miColor Lc{between(0, 2), between(0, 2), between(0, 2), 1.0f};
        ScriptedServices services;
        services.setLightSamples(1, {{Lc, L}});
        const miColor result = shade(block, services, hit);

        // The reference, from the noise the module returns at the shader's coordinates
        const reference::Vec N = reference::normalized(reference::vec(hit.normal) + reference::vec(p.normalCamera));
        const double depth = reference::filmDepth(p, filmNoiseAt(p, hit.u, hit.v, p.frequencyX));
        const reference::Vec flake = reference::flakeNormal(p, N, filmNoiseAt(p, hit.u, hit.v, p.frequencyY));
        const reference::Terms expected =
            reference::lightSample(p, N, flake, reference::vec(hit.direction), depth, Lc, reference::vec(L));
        const float got[3] = {result.r, result.g, result.b};
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(got[c], expected.rgb[c], 5e-5 * (1.0 + std::fabs(expected.rgb[c])))
                << "trial " << trial << " channel " << c;
        }
    }
}

// A light adds the mean of its samples: the 16-sample light equals the
// average of sixteen one-sample shadings (computed here in double).
TEST(Lighting, AnAreaLightAddsTheMeanOfItsSamples) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<ScriptedServices::LightSample> samples;
    for (int i = 0; i < 16; ++i) {
        const float x = unit(random) - 0.5f, y = unit(random) - 0.5f;
        const float z = std::sqrt(1.0f - x * x - y * y);
        samples.push_back({{unit(random), unit(random), unit(random), 1.0f}, {x, y, z}});
    }
    auto block = lightsOnlyBlock(1);

    double mean[3] = {0.0, 0.0, 0.0};
    for (const auto& sample : samples) {
        ScriptedServices single;
        single.setLightSamples(1, {sample});
        const miColor one = shade(block, single, hitFromAbove());
        mean[0] += one.r / 16.0;
        mean[1] += one.g / 16.0;
        mean[2] += one.b / 16.0;
    }
    ScriptedServices area;
    area.setLightSamples(1, samples);
    const miColor result = shade(block, area, hitFromAbove());
    EXPECT_NEAR(result.r, mean[0], 1e-6 * (1.0 + mean[0]));
    EXPECT_NEAR(result.g, mean[1], 1e-6 * (1.0 + mean[1]));
    EXPECT_NEAR(result.b, mean[2], 1e-6 * (1.0 + mean[2]));
}

// Light from behind the surface, grazing it or in an undefined direction adds
// nothing, neither diffuse (which would be negative) nor specular; it still
// counts as a sample of its light.
TEST(Lighting, LightNotInFrontOfTheSurfaceAddsNothing) {
    auto block = lightsOnlyBlock(1);
    const float nan = std::nanf("");
    for (const miVector L : {miVector{0.0f, 0.0f, -1.0f}, miVector{0.6f, 0.0f, -0.8f}, miVector{1.0f, 0.0f, 0.0f},
                             miVector{nan, nan, nan}}) {
        ScriptedServices services;
        services.setLightSamples(1, {{kWhite, L}});
        const miColor result = shade(block, services, hitFromAbove());
        EXPECT_EQ(result.r, 0.0f) << L.x << " " << L.z;
        EXPECT_EQ(result.g, 0.0f);
        EXPECT_EQ(result.b, 0.0f);
    }

    ScriptedServices front, frontAndBehind;
    front.setLightSamples(1, {{kWhite, kUp}});
    frontAndBehind.setLightSamples(1, {{kWhite, kUp}, {kWhite, {0.0f, 0.0f, -1.0f}}});
    const miColor one = shade(block, front, hitFromAbove());
    const miColor two = shade(block, frontAndBehind, hitFromAbove());
    EXPECT_GT(one.r, 0.0f);
    EXPECT_FLOAT_EQ(two.r, one.r / 2.0f);
    EXPECT_FLOAT_EQ(two.b, one.b / 2.0f);
}

// The tags in use run from light[i_light] for n_light slots, each sampled
// until it has no further sample; n_light 0 or below samples nothing.
TEST(Lighting, SamplesTheLightsFromILightForNLight) {
    auto block = lightsOnlyBlock(5);
    for (int i = 0; i < 5; ++i) block.arrayElements()[i] = miTag(10 + i);
    block.as<flakeCoatParameters>().i_light = 2;
    block.as<flakeCoatParameters>().n_light = 3;
    ScriptedServices services;
    services.setLightSamples(13, {{kWhite, kUp}, {kWhite, kUp}});
    std::vector<ScriptedServices::Call> calls;
    services.record(&calls);
    shade(block, services, hitFromAbove());

    std::vector<miTag> sampled;
    for (const auto& call : calls) {
        if (call.kind == ScriptedServices::Call::SampleLight) sampled.push_back(call.light);
    }
    EXPECT_EQ(sampled, (std::vector<miTag>{12, 13, 13, 13, 14}));

    for (int count : {0, -1}) {
        block.as<flakeCoatParameters>().n_light = count;
        calls.clear();
        shade(block, services, hitFromAbove());
        for (const auto& call : calls) EXPECT_NE(call.kind, ScriptedServices::Call::SampleLight) << count;
    }
}

// The renderer is asked with the shader's copy of the state: its normal is the
// renderer's normal plus normalCamera, normalised; the caller's state is left
// as it was.
TEST(Lighting, RendererCallsGetTheStateCopyWithTheShadingNormal) {
    auto block = lightsOnlyBlock(1);
    block.as<flakeCoatParameters>().normalCamera = {0.0f, 3.0f, 3.0f};  // normal + offset = (0, 3, 4)
    block.as<flakeCoatParameters>().reflectivity = 0.5f;
    ScriptedServices services;
    services.setLightSamples(1, {{kWhite, kUp}});
    std::vector<ScriptedServices::Call> calls;
    services.record(&calls);

    mentalrayHost::ShadingSample sample(hitFromAbove(), block.function(), &services);
    const miState before = sample.state();
    miColor result{};
    testSupport::shaderLibrary().shade(&result, &sample.state(), &block.as<flakeCoatParameters>());

    ASSERT_FALSE(calls.empty());
    for (const auto& call : calls) {
        EXPECT_NEAR(call.normal.x, 0.0, 1e-7);
        EXPECT_NEAR(call.normal.y, 0.6, 1e-7);
        EXPECT_NEAR(call.normal.z, 0.8, 1e-7);
    }
    const miState& after = sample.state();
    EXPECT_EQ(std::memcmp(&before.normal, &after.normal, sizeof(miVector)), 0);
    EXPECT_EQ(std::memcmp(&before.dir, &after.dir, sizeof(miVector)), 0);
    EXPECT_EQ(before.tex_list, after.tex_list);
    EXPECT_EQ(before.shader, after.shader);
    EXPECT_EQ(before.host_context, after.host_context);
}
