// The stand-in module's mi_noise_2d, a gradient noise: range, mean,
// determinism, continuity across lattice cells, useful variation at the
// shader's large coordinates, and whole numbers of any size.

#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "shaderTestSupport.h"

using testSupport::moduleNoise;

TEST(Noise, StaysInUnitRangeAndRepeats) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> coordinate(-3e6f, 3e6f);
    double sum = 0.0;
    for (int i = 0; i < 20000; ++i) {
        const float u = coordinate(random), v = coordinate(random);
        const float n = moduleNoise(u, v);
        ASSERT_GE(n, 0.0f) << u << " " << v;
        ASSERT_LE(n, 1.0f) << u << " " << v;
        ASSERT_EQ(n, moduleNoise(u, v));
        sum += n;
    }
    // Symmetric about 0 before the mapping: the mean is near one half
    EXPECT_NEAR(sum / 20000.0, 0.5, 0.01);
}

// The noise's slope is at most 1 + 1.875 * 2 * sqrt(2) before the
// sqrt(1/2) mapping (the gradients' own part, then the quintic fade's peak
// slope times the largest difference of two corners' dot products): below
// 4.5 per unit.
constexpr double kSlopeBound = 4.5;

// The value on either side of a cell edge differs by no more than the
// slope allows.
TEST(Noise, IsContinuousAcrossCellEdges) {
    for (float edge : {-7.0f, 0.0f, 1.0f, 19928.0f}) {
        for (float other : {-3.5f, 0.25f, 1998122.0f}) {
            const float below = std::nextafter(edge, -1e9f), above = std::nextafter(edge, 1e9f);
            const double step = double(above) - double(below);
            EXPECT_LE(std::fabs(moduleNoise(below, other) - moduleNoise(above, other)), kSlopeBound * step + 1e-7);
            EXPECT_LE(std::fabs(moduleNoise(other, below) - moduleNoise(other, above)), kSlopeBound * step + 1e-7);
        }
    }
}

// Near 1998122 a float resolves eighths: neighbouring samples move by at most
// the slope bound, and the noise does not collapse to one value.
TEST(Noise, VariesSmoothlyAtTheShadersLargeCoordinates) {
    float lowest = 1.0f, highest = 0.0f;
    for (int i = 0; i < 400; ++i) {
        const float v = 1998122.0f + 0.125f * float(i);
        const float here = moduleNoise(19928.0f + 0.001953125f * float(i), v);
        const float next = moduleNoise(19928.0f + 0.001953125f * float(i), v + 0.125f);
        EXPECT_LE(std::fabs(next - here), kSlopeBound * 0.125 + 1e-6);
        lowest = std::min(lowest, here);
        highest = std::max(highest, here);
    }
    EXPECT_GT(highest - lowest, 0.3f);
}

// Whole numbers are lattice points, where the noise is its mid value: far
// beyond the 32-bit (and the 64-bit) range too, without a NaN on the way.
TEST(Noise, WholeNumbersOfAnySizeGiveTheMidValue) {
    for (float whole : {0.0f, -1.0f, 7.0f, 2147483648.0f, -3e9f, 5e12f, 9.3e18f, -1e30f, 3.4e38f})
        for (float other : {0.0f, 12.0f, -4294967296.0f, 1e20f}) {
            EXPECT_EQ(moduleNoise(whole, other), 0.5f) << whole << " " << other;
            EXPECT_EQ(moduleNoise(other, whole), 0.5f) << other << " " << whole;
        }
    // Between them, finite and in range however large the cell index
    for (float large : {2147483520.5f, -1e9f - 0.5f, 16777215.5f}) {
        const float n = moduleNoise(large, 0.25f);
        EXPECT_TRUE(n >= 0.0f && n <= 1.0f) << large;
    }
}

TEST(Noise, NonFiniteCoordinatesGiveTheMidValue) {
    EXPECT_EQ(moduleNoise(std::nanf(""), 1.0f), 0.5f);
    EXPECT_EQ(moduleNoise(1.0f, INFINITY), 0.5f);
    const float huge = moduleNoise(3e38f, -3e38f);
    EXPECT_GE(huge, 0.0f);
    EXPECT_LE(huge, 1.0f);
}

// Golden values printed by the Linux build of the module: a build for
// another platform must give the same bits, so the shader's flakes fall in
// the same places.
TEST(Noise, GivesTheLinuxBuildsValuesBitForBit) {
    const float golden[][3] = {
        {0x1p-2f, 0x1.8p-1f, 0x1.05fc54p-1f},
        {-0x1.ccccccp+1f, 0x1.833334p+3f, 0x1.5dc1e6p-3f},
        {0x1.37617ap+14f, 0x1.e7d2a8p+20f, 0x1.2c5a18p-1f},
        {0x1.3a6eccp+14f, 0x1.e7e404p+20f, 0x1.86e178p-2f},
        {0x1.dcd65p+29f, -0x1.dcd65p+29f, 0x1p-1f},
        {-0x1.0624dep-10f, 0x1.ff7ceep-1f, 0x1.00808ep-1f},
        {0x1.3p+3f, 0x1.0000fp+4f, 0x1.6a612p-1f},
    };
    for (const auto& g : golden) EXPECT_EQ(moduleNoise(g[0], g[1]), g[2]) << g[0] << ", " << g[1];
}
