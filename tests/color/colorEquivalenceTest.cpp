// The evaluation shares work across lights and channels and skips discarded
// work; over seeded random samples it must give exactly the bits of the
// step-by-step model (colorModel.h), and leave N and every L with exactly
// its bits.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "bits.h"

#include "colorEvaluation.h"
#include "colorModel.h"

namespace flakecoat::maya {
namespace {

// Same bits, or both not a number (which NaN comes out of an operation on
// two NaNs is the compiler's choice of operand order, not the model's).
bool sameFloat(float a, float b) { return bitsOf(a) == bitsOf(b) || (std::isnan(a) && std::isnan(b)); }

::testing::AssertionResult sameVector(const MFloatVector& a, const MFloatVector& b) {
    if (sameFloat(a.x, b.x) && sameFloat(a.y, b.y) && sameFloat(a.z, b.z))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") vs (" << b.x << ", "
                                         << b.y << ", " << b.z << ")";
}

// A repeatable tracer: the colour follows the direction it is given.
MStatus directionTracer(const MFloatVector&, const MFloatVector& direction, const void*, const void*, short,
                        MFloatVector& color, MFloatVector&, bool) {
    color = MFloatVector(std::fabs(direction.x), direction.y * 0.5f, direction.z + 0.25f);
    return MS::kSuccess;
}

struct RandomSample {
    std::mt19937 rng;
    explicit RandomSample(unsigned seed) : rng(seed) {}

    float uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng); }
    MFloatVector vector(float lo, float hi) { return MFloatVector(uniform(lo, hi), uniform(lo, hi), uniform(lo, hi)); }

    // Indices: all equal, two equal, or all different; sometimes below 1.
    void indices(float (&n)[3]) {
        const int kind = int(rng() % 3);
        n[0] = uniform(0.8f, 2.5f);
        n[1] = kind == 2 ? uniform(0.8f, 2.5f) : n[0];
        n[2] = kind == 0 ? n[0] : uniform(0.8f, 2.5f);
        if (chance(0.3)) std::swap(n[0], n[2]);
    }
    // Exponents: integral (odd and even) or not.
    float exponent() { return chance(0.5) ? float(1 + rng() % 100) : uniform(0.5f, 120.0f); }

    ColorInputs inputs() {
        ColorInputs in;
        in.color = vector(0.0f, 1.0f);
        in.ambientColor = vector(0.0f, 1.0f);
        in.incandescence = vector(0.0f, 0.5f);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) in.placementMatrix.matrix[r][c] = uniform(-2.0f, 2.0f);
        in.diffuse = uniform(0.0f, 1.2f);
        in.depthRangeMin = uniform(0.0f, 400.0f);
        in.depthRangeMax = uniform(0.0f, 400.0f);
        indices(in.refractiveIndex);
        in.specularMin = exponent();
        in.specularMax = exponent();
        in.specularPower = uniform(0.0f, 2.0f);
        in.frequencyX = uniform(1.0f, 200.0f);
        in.frequencyY = uniform(1.0f, 200.0f);
        in.normalDeviation = uniform(-2.0f, 4.0f);
        in.seed = uniform(0.0f, 5000.0f);
        in.reflectivity = uniform(-0.2f, 1.0f);
        in.rayDirection = vector(-1.0f, 1.0f);
        in.pointCamera = vector(-10.0f, 10.0f);
        in.pointWorld = vector(-10.0f, 10.0f);
        static const int samplerToken = 0;
        in.raySampler = chance(0.7) ? &samplerToken : nullptr;
        in.rayDepth = short(chance(0.8) ? 0 : 1);
        return in;
    }

    LightElement light() {
        LightElement l;
        l.intensity = vector(0.0f, 2.0f);
        // Lengths away from 1, and directions on both sides of the surface.
        l.direction = vector(-3.0f, 3.0f);
        l.ambient = chance(0.5);
        l.diffuse = chance(0.8);
        l.specular = chance(0.8);
        return l;
    }
};

TEST(ColorEvaluationEquivalence, MatchesStepByStepReferenceBitForBit) {
    RandomSample random(20261207u);
    constexpr int kSamples = 20000;
    for (int sample = 0; sample < kSamples; ++sample) {
        const ColorInputs in = random.inputs();
        const MFloatVector normal = random.vector(-2.0f, 2.0f);
        const int lightCount = int(random.rng() % 6);
        LightElement lights[5], referenceLights[5];
        for (int i = 0; i < lightCount; ++i) referenceLights[i] = lights[i] = random.light();
        const MFloatVector transparency = random.vector(0.0f, 1.0f);

        MFloatVector N = normal, referenceN = normal;
        const MFloatVector got = evaluateColor(in, N, lights, lightCount, transparency, directionTracer);
        const MFloatVector want =
            model::evaluateColor(in, referenceN, referenceLights, lightCount, transparency, directionTracer);

        ASSERT_TRUE(sameVector(got, want)) << "sample " << sample;
        ASSERT_TRUE(sameVector(N, referenceN)) << "normal, sample " << sample;
        for (int i = 0; i < lightCount; ++i)
            ASSERT_TRUE(sameVector(lights[i].direction, referenceLights[i].direction))
                << "light " << i << ", sample " << sample;
    }
}

// Out-of-range indices (signed zeros, not a number, infinite) on the
// shared-channel path: the non-finite results must match too.
TEST(ColorEvaluationEquivalence, NonFiniteAndSignedZeroIndices) {
    RandomSample random(7u);
    const float cases[][3] = {{0.0f, -0.0f, 0.0f}, {NAN, NAN, 1.4f}, {1.4f, 1.4f, -0.0f}, {INFINITY, 1.0f, 1.0f}};
    for (const auto& n : cases) {
        for (int sample = 0; sample < 200; ++sample) {
            ColorInputs in = random.inputs();
            for (int j = 0; j < 3; ++j) in.refractiveIndex[j] = n[j];
            LightElement lights[2] = {random.light(), random.light()};
            LightElement referenceLights[2] = {lights[0], lights[1]};
            MFloatVector N = random.vector(-1.0f, 1.0f), referenceN = N;
            const MFloatVector T(0.25f, 0.5f, 0.0f);
            ASSERT_TRUE(sameVector(evaluateColor(in, N, lights, 2, T, directionTracer),
                                   model::evaluateColor(in, referenceN, referenceLights, 2, T, directionTracer)));
        }
    }
}

// Vectors with zero, signed-zero, subnormal, huge, infinite and NaN
// components in the normal, the light directions and the eye ray: zero
// vectors must stay unchanged through normalisation (-0 included) and every
// special value must come out as the step-by-step evaluation gives it.
TEST(ColorEvaluationEquivalence, SpecialComponentValues) {
    const float special[] = {0.0f, -0.0f, 1e-40f, -1e-40f, 1e-20f, 1e20f, -1e20f, 3e38f,
                             INFINITY, -INFINITY, NAN, 1.0f, -1.0f, 0.5f};
    constexpr int kSpecial = int(sizeof special / sizeof special[0]);
    RandomSample random(11u);
    auto pick = [&](float lo, float hi) {
        return random.chance(0.6) ? special[random.rng() % kSpecial] : random.uniform(lo, hi);
    };
    auto vector = [&](float lo, float hi) { return MFloatVector(pick(lo, hi), pick(lo, hi), pick(lo, hi)); };
    for (int sample = 0; sample < 5000; ++sample) {
        ColorInputs in = random.inputs();
        in.rayDirection = vector(-1.0f, 1.0f);
        in.pointCamera = vector(-10.0f, 10.0f);
        if (random.chance(0.2)) in.normalDeviation = pick(-2.0f, 4.0f);
        const int lightCount = 1 + int(random.rng() % 3);
        LightElement lights[3], referenceLights[3];
        for (int i = 0; i < lightCount; ++i) {
            lights[i] = random.light();
            if (random.chance(0.7)) lights[i].direction = vector(-3.0f, 3.0f);
            if (random.chance(0.2)) lights[i].intensity = vector(0.0f, 2.0f);
            referenceLights[i] = lights[i];
        }
        const MFloatVector normal = random.chance(0.1) ? MFloatVector(-0.0f, 0.0f, -0.0f) : vector(-2.0f, 2.0f);
        MFloatVector N = normal, referenceN = normal;
        const MFloatVector T = vector(0.0f, 1.0f);
        const MFloatVector got = evaluateColor(in, N, lights, lightCount, T, directionTracer);
        const MFloatVector want = model::evaluateColor(in, referenceN, referenceLights, lightCount, T, directionTracer);
        ASSERT_TRUE(sameVector(got, want)) << "sample " << sample;
        ASSERT_TRUE(sameVector(N, referenceN)) << "normal, sample " << sample;
        for (int i = 0; i < lightCount; ++i)
            ASSERT_TRUE(sameVector(lights[i].direction, referenceLights[i].direction))
                << "light " << i << ", sample " << sample;
    }
}

// A zero normal and zero light directions keep their signed zeros exactly.
TEST(ColorEvaluationEquivalence, ZeroVectorsKeepTheirSignedZeros) {
    ColorInputs in;
    LightElement light;
    light.direction = MFloatVector(-0.0f, 0.0f, -0.0f);
    light.specular = true;
    MFloatVector N(0.0f, -0.0f, -0.0f);
    evaluateColor(in, N, &light, 1, MFloatVector(0.0f, 0.0f, 0.0f), directionTracer);
    EXPECT_EQ(bitsOf(N.x), bitsOf(0.0f));
    EXPECT_EQ(bitsOf(N.y), bitsOf(-0.0f));
    EXPECT_EQ(bitsOf(N.z), bitsOf(-0.0f));
    EXPECT_EQ(bitsOf(light.direction.x), bitsOf(-0.0f));
    EXPECT_EQ(bitsOf(light.direction.y), bitsOf(0.0f));
    EXPECT_EQ(bitsOf(light.direction.z), bitsOf(-0.0f));
}

}  // namespace
}  // namespace flakecoat::maya
