// Solid noise: golden values from an independent build of the tables,
// lattice zeros, the rounded offset, negative coordinates, continuity,
// range and determinism.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>

#include <gtest/gtest.h>
#include <stdlib.h>

#include <maya/MTypes.h>

#include "bits.h"

#include "solidNoise.h"

namespace flakecoat {
namespace {

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
    {-0x1.b6c34e0000000p+7, 0x1.a0eba40000000p+7, 0x1.3c87900000000p+7, 0x1.554a100000000p-4},
    {-0x1.25eacc0000000p+7, -0x1.5e95d60000000p+1, -0x1.e4e2c20000000p+4, 0x1.eef4580000000p-2},
    {0x1.6bd2b80000000p+6, 0x1.5a77d00000000p+7, -0x1.e75e560000000p+7, 0x1.edc09e0000000p-4},
    {-0x1.1afdd40000000p+8, 0x1.92eb0a0000000p+7, -0x1.42b7d40000000p+5, 0x1.c1bd760000000p-2},
    {0x1.3abc700000000p+7, -0x1.2abc820000000p+8, -0x1.0624380000000p+5, -0x1.5bc1c00000000p-3},
    {0x1.09d91a0000000p+7, -0x1.457c3e0000000p+7, 0x1.0b29940000000p+8, 0x1.54a9620000000p-2},
    {0x1.e1b6840000000p+7, -0x1.19a5600000000p+8, -0x1.1cbb840000000p+8, 0x1.5264cc0000000p-2},
    {0x1.8d8f4c0000000p+4, 0x1.077d500000000p+8, -0x1.1d1c1e0000000p+6, 0x1.7e26780000000p-4},
    {-0x1.5414aa0000000p+7, -0x1.75d7260000000p+5, -0x1.1a93560000000p+8, 0x1.e11c8c0000000p-2},
    {-0x1.4df8520000000p+7, -0x1.2a23ba0000000p+5, -0x1.419eb00000000p+1, 0x1.76f6e80000000p-4},
    {0x1.45f15a0000000p+14, 0x1.e80c580000000p+20, 0x1.e809520000000p+20, -0x1.117b6c0000000p-5},
    {0x1.5419a80000000p+14, 0x1.e81b120000000p+20, 0x1.e7d8000000000p+20, -0x1.6ec1560000000p-2},
    {0x1.6bb9400000000p+14, 0x1.e85dbe0000000p+20, 0x1.e873320000000p+20, 0x1.bebab20000000p-2},
    {0x1.42fe800000000p+14, 0x1.e8cac20000000p+20, 0x1.e8a99c0000000p+20, -0x1.fb06000000000p-7},
    {0x1.3eee3e0000000p+14, 0x1.e825cc0000000p+20, 0x1.e887000000000p+20, -0x1.49f29a0000000p-3},
    {0x1.63d3120000000p+14, 0x1.e8bcbc0000000p+20, 0x1.e83c260000000p+20, -0x1.1034720000000p-3},
    {0x1.6b40920000000p+14, 0x1.e87a340000000p+20, 0x1.e81e780000000p+20, -0x1.30a5e00000000p-3},
    {0x1.5c194a0000000p+14, 0x1.e8af3e0000000p+20, 0x1.e8a62c0000000p+20, -0x1.4b13e80000000p-4},
    {0x1.56f48a0000000p+14, 0x1.e865e00000000p+20, 0x1.e7db420000000p+20, -0x1.affd700000000p-4},
    {0x1.468bd60000000p+14, 0x1.e899fa0000000p+20, 0x1.e83a340000000p+20, 0x1.970fa00000000p-9},
    {-0x1.912b420000000p+15, 0x1.6dfda00000000p+12, -0x1.4b0f5a0000000p+13, 0x1.5b63e40000000p+1},
    {-0x1.9a8ed60000000p+14, -0x1.d5dd1a0000000p+13, -0x1.5b909e0000000p+13, -0x1.f4b0a40000000p+2},
    {-0x1.0e255a0000000p+15, 0x1.050a3a0000000p+15, -0x1.5670fc0000000p+13, -0x1.d24b860000000p-1},
    {-0x1.3b227e0000000p+15, -0x1.3531c40000000p+10, -0x1.7526cc0000000p+13, -0x1.cea2d80000000p+1},
    {-0x1.c3c3460000000p+15, 0x1.7d57680000000p+14, -0x1.398d000000000p+13, -0x1.03f3800000000p+3},
    {-0x1.da13420000000p+14, -0x1.8f004e0000000p+13, -0x1.6c5a6a0000000p+13, 0x1.1f1a060000000p-1},
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
