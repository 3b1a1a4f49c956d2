// Solid noise: golden values from an independent build of the tables,
// lattice zeros, the rounded offset, negative coordinates, continuity,
// range and determinism.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "solidNoise.h"

namespace flakecoat {
namespace {

std::uint32_t bitsOf(float v) {
    std::uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

struct Golden {
    float x, y, z, expected;
};

// From tests/core/solidNoiseGolden.py: tables rebuilt from the C library's
// srandom(1)/random(), every operation rounded to single precision. Covers
// the evaluation's own coordinate ranges and coordinates below -10000.
const Golden kGolden[] = {
    {0x1.0000000000000p-1, 0x1.0000000000000p-2, 0x1.8000000000000p-1, -0x1.baa8b80000000p-2},
    {0x1.4ccccc0000000p+0, -0x1.59999a0000000p+1, 0x1.8ccccc0000000p+1, 0x1.b21e580000000p-3},
    {0x1.9066660000000p+6, 0x1.9066660000000p+7, 0x1.2c4ccc0000000p+8, -0x1.9c7a600000000p-8},
    {0x1.4aa97a0000000p+14, 0x1.e81fc20000000p+20, 0x1.e822880000000p+20, -0x1.4a09d80000000p-2},
    {-0x1.81cd6c0000000p+13, 0x1.6000000000000p+2, -0x1.3881000000000p+14, 0x1.1e77660000000p-2},
    {-0x1.3884000000000p+13, -0x1.388e000000000p+13, -0x1.869fe60000000p+16, -0x1.8bac100000000p+3},
};

TEST(SolidNoise, MatchesIndependentlyBuiltGoldenValuesExactly) {
    for (const Golden& g : kGolden)
        EXPECT_EQ(bitsOf(solidNoise(g.x, g.y, g.z)), bitsOf(g.expected))
            << "(" << g.x << ", " << g.y << ", " << g.z << ") gave " << solidNoise(g.x, g.y, g.z);
}

// The tables are built once: reseeding or drawing from the shared generator
// afterwards changes nothing, and repeated calls agree.
TEST(SolidNoise, LaterUseOfTheGeneratorDoesNotRebuild) {
    const float first = solidNoise(kGolden[0].x, kGolden[0].y, kGolden[0].z);
    srandom(99);
    for (int i = 0; i < 1000; ++i) (void)random();
    for (const Golden& g : kGolden) EXPECT_EQ(bitsOf(solidNoise(g.x, g.y, g.z)), bitsOf(g.expected));
    EXPECT_EQ(bitsOf(solidNoise(kGolden[0].x, kGolden[0].y, kGolden[0].z)), bitsOf(first));
}

// Where a + 10000 is whole on every axis, every fraction is 0: exactly 0,
// below -10000 too.
TEST(SolidNoise, ZeroAtLatticePoints) {
    const float points[][3] = {{0, 0, 0},         {1, 2, 3},           {21162, 1999356, 1999400},
                               {-3, 255, 256},    {-10003, -20000, -12345}, {-9999, 70000, 131071}};
    for (const auto& p : points) EXPECT_EQ(solidNoise(p[0], p[1], p[2]), 0.0f) << p[0] << ", " << p[1] << ", " << p[2];
}

// The offset sum is rounded before the cell and fraction are taken: two
// inputs whose sums with 10000 round alike give the same value, so near 0
// the field steps every 1/1024 (the spacing of floats near 10000).
TEST(SolidNoise, OffsetSumIsRoundedFirst) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> u(-5.0f, 5.0f);
    for (int i = 0; i < 1000; ++i) {
        const float x = u(rng), y = u(rng), z = u(rng);
        const float gx = (x + 10000.0f) - 10000.0f, gy = (y + 10000.0f) - 10000.0f, gz = (z + 10000.0f) - 10000.0f;
        EXPECT_EQ(bitsOf(solidNoise(x, y, z)), bitsOf(solidNoise(gx, gy, gz)));
    }
    EXPECT_EQ(solidNoise(0.3001f, 0.7f, 0.2f), solidNoise(0.3002f, 0.7f, 0.2f));  // same 1/1024 step
    EXPECT_NE(solidNoise(0.3001f, 0.7f, 0.2f), solidNoise(0.3021f, 0.7f, 0.2f));  // next step
}

// The field is continuous across cell faces, including the wrap from cell
// 255 to cell 0: approaching a face changes the value at most in proportion
// to the distance (8 is a loose bound on the slope of 1.5 x the noise).
TEST(SolidNoise, ContinuousAcrossCellFaces) {
    std::mt19937 rng(4);
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    const float faces[] = {1.0f, 17.0f, 246.0f, 502.0f};  // 10246 and 10502 are multiples of 256
    for (const float face : faces) {
        for (int i = 0; i < 200; ++i) {
            const float y = u(rng) * 7.0f, z = u(rng) * 7.0f;
            const float at = solidNoise(face, y, z);
            for (const float step : {0x1p-6f, 0x1p-8f, 0x1p-10f}) {
                EXPECT_LE(std::fabs(solidNoise(face - step, y, z) - at), 8.0f * step);
                EXPECT_LE(std::fabs(solidNoise(y, face - step, z) - solidNoise(y, face, z)), 8.0f * step);
                EXPECT_LE(std::fabs(solidNoise(y, z, face - step) - solidNoise(y, z, face)), 8.0f * step);
            }
        }
    }
}

// In the positive range the value is finite and within +-1.5 (unit
// gradients keep the unscaled noise within +-1).
TEST(SolidNoise, BoundedInThePositiveRange) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> u(-9000.0f, 9000.0f);
    for (int i = 0; i < 100000; ++i) {
        const float v = solidNoise(u(rng), u(rng), u(rng));
        ASSERT_TRUE(std::fabs(v) <= 1.5f) << v;
    }
}

// Below -10000 the sum is negative and truncates towards zero, so the
// fraction lies in (-1, 0]: the field there is not the positive one
// shifted; it stays finite and is zero at its lattice points.
TEST(SolidNoise, NegativeSumsTruncateTowardsZero) {
    EXPECT_EQ(solidNoise(-10000.0f, -10000.0f, -10000.0f), 0.0f);
    EXPECT_TRUE(std::isfinite(solidNoise(-10000.5f, -15000.25f, -99999.9f)));
    // Cell 0 with fraction -0.5 differs from cell 255 with fraction 0.5.
    EXPECT_NE(solidNoise(-10000.5f, 0.25f, 0.5f), solidNoise(-9999.5f - 256.0f, 0.25f, 0.5f));
}

}  // namespace
}  // namespace flakecoat
