// The stand-in MFloatVector and MFloatMatrix round exactly as pinned for
// this project. Values are chosen so that another order of operations gives
// another result; expected values by hand.

#include <gtest/gtest.h>

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

// The length is summed and rooted in single precision: for (2^30, 1, 1) the
// ones are lost against 2^60, so the length is exactly 2^30. Division by a
// scalar rounds once: 5/49 rounded differs from 5 * (1/49 rounded), which is
// one ulp lower (both worked out in double and rounded by hand).
TEST(MFloatVector, NormalizeDividesByTheLength) {
    MFloatVector v(1073741824.0f, 1.0f, 1.0f);
    v.normalize();
    EXPECT_EQ(v, MFloatVector(1.0f, 0x1p-30f, 0x1p-30f));

    MFloatVector w(5.0f, 0.0f, 0.0f);
    w = w / 49.0f;
    EXPECT_EQ(w.x, 0x1.a1f58ep-4f);
    EXPECT_NE(w.x, 5.0f * (1.0f / 49.0f));
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
