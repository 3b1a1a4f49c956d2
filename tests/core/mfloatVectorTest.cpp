// The stand-in MFloatVector and MFloatMatrix round exactly as pinned for
// this project. Values are chosen so that another order of operations gives
// another result; expected values by hand.

#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "packedMayaOptics.h"

#include <maya/MFloatMatrix.h>
#include <maya/MFloatVector.h>

namespace {

// (1e8 + -1e8) + 1 = 1, whereas 1e8 + (-1e8 + 1) = 0 in single precision.
TEST(MFloatVector, DotProductSumsXYThenZ) {
    const MFloatVector a(1e8f, -1e8f, 1.0f);
    EXPECT_EQ(a * MFloatVector(1.0f, 1.0f, 1.0f), 1.0f);
    EXPECT_EQ(MFloatVector(1.0f, 1.0f, 1.0f) * a, 1.0f);
}

TEST(MFloatVector, NormalizeScalesInPlaceAndLeavesZeroAlone) {
    MFloatVector v(3.0f, 0.0f, -4.0f);
    EXPECT_EQ(v.normalize(), MS::kSuccess);
    EXPECT_EQ(v, MFloatVector(3.0f / 5.0f, 0.0f, -4.0f / 5.0f));

    MFloatVector zero(0.0f, 0.0f, 0.0f);
    zero.normalize();
    EXPECT_EQ(zero, MFloatVector(0.0f, 0.0f, 0.0f));
}

// normalize(): lensq = (x*x + y*y) + z*z; above 1e-20 (compared in double)
// each component times 1 / sqrtf(lensq), otherwise the vector as it is. The
// readable vector and the colour evaluation's packed forms (one vector, a
// renormalisation, four at once in columns) must give the same bits.
// Expected values worked out in double and rounded step by step
// (tests/core/opticsGolden.py rounds the same way).
TEST(MFloatVector, NormalizeMultipliesByTheReciprocalInEveryForm) {
    const float nan = std::nanf("");
    const float inf = INFINITY;
    struct Case {
        MFloatVector in, out;
    };
    const Case cases[] = {
        {{3.0f, 0.0f, -4.0f}, {0x1.333334p-1f, 0.0f, -0x1.99999ap-1f}},
        // 6 / sqrt(37) divided would be 0x1.f9089ep-1: the reciprocal rounds first.
        {{1.0f, 6.0f, 0.0f}, {0x1.50b06ap-3f, 0x1.f908a0p-1f, 0.0f}},
        // The ones are lost against 2^60, so the length is exactly 2^30.
        {{1073741824.0f, 1.0f, 1.0f}, {1.0f, 0x1p-30f, 0x1p-30f}},
        // Squared lengths just under and just over 1e-20.
        {{0x1.b7cdfcp-34f, 0.0f, 0.0f}, {0x1.b7cdfcp-34f, 0.0f, 0.0f}},
        {{0x1.b7cdfep-34f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}},
        {{0.0f, -0.0f, 0.0f}, {0.0f, -0.0f, 0.0f}},
        {{nan, 1.0f, 2.0f}, {nan, 1.0f, 2.0f}},
        // An infinite length gives a zero factor: inf * 0 is not a number.
        {{inf, 1.0f, 0.0f}, {nan, 0.0f, 0.0f}},
    };
    namespace packed = flakecoat::maya::packed;
    const auto same = [](const MFloatVector& a, const MFloatVector& b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    const auto sameOrBothNaN = [&](const MFloatVector& a, const MFloatVector& b) {
        const float left[3] = {a.x, a.y, a.z}, right[3] = {b.x, b.y, b.z};
        for (unsigned i = 0; i < 3; ++i)
            if (!(std::isnan(left[i]) && std::isnan(right[i])) && std::memcmp(&left[i], &right[i], sizeof(float)) != 0)
                return false;
        return true;
    };
    for (const Case& c : cases) {
        MFloatVector v = c.in;
        EXPECT_EQ(v.normalize(), MS::kSuccess);
        EXPECT_TRUE(sameOrBothNaN(v, c.out)) << c.in.x << " " << c.in.y << " " << c.in.z << " -> " << v.x << " " << v.y;
        EXPECT_TRUE(same(c.in.normal(), v));
        EXPECT_TRUE(same(packed::toVector(packed::normalized(packed::load(c.in))), v));
        EXPECT_TRUE(same(packed::toVector(packed::normalizedAgain(packed::load(c.in))), v));
        packed::Lanes rows[4];
        packed::rowsOf(packed::normalizedColumns(packed::splatColumns(packed::load(c.in))), rows);
        EXPECT_TRUE(same(packed::toVector(rows[2]), v));
    }
}

// The int converts to float first: 16777217 becomes 16777216, so the
// product is 50331648 (a product formed in double would round to 50331652).
TEST(MFloatVector, IntTimesVectorConvertsTheIntFirst) {
    EXPECT_EQ(16777217 * MFloatVector(3.0f, 0.0f, -1.0f), MFloatVector(50331648.0f, 0.0f, -16777216.0f));
    EXPECT_EQ(0.5f * MFloatVector(3.0f, 1.0f, -1.0f), MFloatVector(3.0f, 1.0f, -1.0f) * 0.5f);
}

// r[c] = (x m[0][c] + y m[1][c]) + z m[2][c]; the translation row is ignored.
TEST(MFloatVector, TimesMatrixIsTheVectorForm) {
    MFloatMatrix m;
    m.matrix[0][0] = 1.0f;  m.matrix[0][1] = 2.0f;  m.matrix[0][2] = 0.0f;
    m.matrix[1][0] = 1.0f;  m.matrix[1][1] = 0.0f;  m.matrix[1][2] = 1.0f;
    m.matrix[2][0] = 1.0f;  m.matrix[2][1] = 0.0f;  m.matrix[2][2] = 1e8f;
    m.matrix[3][0] = 7.0f;  m.matrix[3][1] = 7.0f;  m.matrix[3][2] = 7.0f;
    const MFloatVector r = MFloatVector(1e8f, -1e8f, 1.0f) * m;
    EXPECT_EQ(r.x, 1.0f);    // (1e8 - 1e8) + 1
    EXPECT_EQ(r.y, 2e8f);    // (2e8 + 0) + 0, no translation
    EXPECT_EQ(r.z, 0.0f);    // (0 - 1e8) + 1e8
}

}  // namespace
