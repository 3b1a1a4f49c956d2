// Strata, the cosine-weighted hemisphere and the per-sample random numbers.
// Hemisphere moments come from the density cos(theta)/pi:
// E[cos] = 2/3, E[cos^2] = 1/2.

#include <cmath>
#include <set>
#include <utility>

#include <gtest/gtest.h>

#include "kernel/random.h"
#include "kernel/sampling.h"

namespace fp = flakecoat::preview;

TEST(Strata, GridHoldsExactlyTheCount) {
    const std::pair<int, std::pair<int, int>> cases[] = {
        {1, {1, 1}}, {4, {2, 2}}, {8, {2, 4}}, {12, {3, 4}}, {16, {4, 4}}, {7, {1, 7}}};
    for (const auto& [count, expected] : cases) {
        const fp::StrataGrid grid = fp::strataFor(count);
        EXPECT_EQ(grid.columns, expected.first) << count;
        EXPECT_EQ(grid.rows, expected.second) << count;
    }
}

TEST(Strata, EachCellReceivesOneSample) {
    for (int count : {1, 4, 6, 9, 16}) {
        const fp::StrataGrid grid = fp::strataFor(count);
        std::set<std::pair<int, int>> cells;
        for (int i = 0; i < count; ++i) {
            float sx, sy;
            // The extremes of the jitter must stay inside the cell.
            for (float j : {0.0f, 0.999999f}) {
                fp::stratifiedPoint(grid, i, j, j, sx, sy);
                ASSERT_GE(sx, 0.0f);
                ASSERT_LT(sx, 1.0f);
                ASSERT_LT(sy, 1.0f);
                cells.insert({int(sx * float(grid.columns)), int(sy * float(grid.rows))});
            }
        }
        EXPECT_EQ(int(cells.size()), count);
    }
}

TEST(Hemisphere, CosineWeightedMomentsAroundAnyNormal) {
    const fp::Vec3 normals[] = {{0, 0, 1}, {0, 0, -1}, fp::normalize({1, 2, -0.5f}), {1, 0, 0}};
    for (const fp::Vec3& n : normals) {
        double sumCos = 0.0, sumCos2 = 0.0;
        const int count = 200000;
        fp::SampleRandom random(7, 3, 0);
        for (int i = 0; i < count; ++i) {
            const fp::Vec3 d = fp::cosineHemisphere(n, random.next(), random.next());
            ASSERT_NEAR(fp::length(d), 1.0f, 1e-5f);
            const double c = fp::dot(d, n);
            ASSERT_GE(c, -1e-6);
            sumCos += c;
            sumCos2 += c * c;
        }
        // Standard errors are about 0.0005; allow ten of them.
        EXPECT_NEAR(sumCos / count, 2.0 / 3.0, 0.005);
        EXPECT_NEAR(sumCos2 / count, 0.5, 0.005);
    }
}

TEST(Hemisphere, BasisIsOrthonormalNearThePoles) {
    for (const fp::Vec3& n : {fp::Vec3(0, 0, 1), fp::Vec3(0, 0, -1), fp::normalize({1e-7f, 0, -1})}) {
        fp::Vec3 t, b;
        fp::orthonormalBasis(n, t, b);
        EXPECT_NEAR(fp::dot(t, b), 0.0f, 1e-6f);
        EXPECT_NEAR(fp::dot(t, n), 0.0f, 1e-6f);
        EXPECT_NEAR(fp::length(t), 1.0f, 1e-6f);
        EXPECT_NEAR(fp::dot(fp::cross(t, b), n), 1.0f, 1e-6f);
    }
}

TEST(SampleRandom, RepeatableAndIndependentPerPixelAndSample) {
    fp::SampleRandom a(1, 10, 2), b(1, 10, 2), otherPixel(1, 11, 2), otherSample(1, 10, 3), otherSeed(2, 10, 2);
    const float first = a.next();
    EXPECT_EQ(first, b.next());
    EXPECT_NE(first, otherPixel.next());
    EXPECT_NE(first, otherSample.next());
    EXPECT_NE(first, otherSeed.next());
    EXPECT_NE(first, a.next());  // the sequence moves on
}

TEST(SampleRandom, UniformInTheHalfOpenUnitInterval) {
    double sum = 0.0;
    int buckets[10] = {};
    const int count = 100000;
    for (int i = 0; i < count; ++i) {
        fp::SampleRandom random(5, std::uint32_t(i), 0);
        const float u = random.next();
        ASSERT_GE(u, 0.0f);
        ASSERT_LT(u, 1.0f);
        sum += u;
        ++buckets[int(u * 10.0f)];
    }
    EXPECT_NEAR(sum / count, 0.5, 0.005);
    for (int bucket : buckets) EXPECT_NEAR(bucket, count / 10, 500);  // ~5 standard deviations
}
