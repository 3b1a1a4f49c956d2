// The vector optics in both forms: named special cases, identities, the two
// forms against each other on ordinary inputs, and where they differ.

#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "mayaOptics.h"
#include "mentalrayOptics.h"

namespace flakecoat {
namespace {

// The renderer's vector layout: three floats, nothing else.
struct PlainVector {
    float x, y, z;
};

PlainVector plain(const MFloatVector& v) { return {v.x, v.y, v.z}; }
MFloatVector maya(const PlainVector& v) { return MFloatVector(v.x, v.y, v.z); }

// Both forms, converted to MFloatVector for comparison.
MFloatVector reflectMaya(const MFloatVector& V, const MFloatVector& N) { return maya::reflectVector(V, N); }
MFloatVector reflectMentalray(const MFloatVector& V, const MFloatVector& N) {
    return maya(mentalray::reflectVector(plain(V), plain(N)));
}
MFloatVector refractMaya(const MFloatVector& V, const MFloatVector& N, float eta) {
    return maya::refractVector(V, N, eta);
}
MFloatVector refractMentalray(const MFloatVector& V, const MFloatVector& N, float eta) {
    return maya(mentalray::refractVector(plain(V), plain(N), eta));
}

using Reflect = MFloatVector (*)(const MFloatVector&, const MFloatVector&);
using Refract = MFloatVector (*)(const MFloatVector&, const MFloatVector&, float);
const Reflect kReflect[] = {reflectMaya, reflectMentalray};
const Refract kRefract[] = {refractMaya, refractMentalray};

void expectNear(const MFloatVector& got, double x, double y, double z, double tolerance = 2e-7) {
    EXPECT_NEAR(got.x, x, tolerance);
    EXPECT_NEAR(got.y, y, tolerance);
    EXPECT_NEAR(got.z, z, tolerance);
}

double dot(const MFloatVector& a, const MFloatVector& b) {
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

MFloatVector randomUnit(std::mt19937& rng) {
    std::normal_distribution<float> g;
    MFloatVector v(g(rng), g(rng), g(rng));
    v.normalize();
    return v;
}

TEST(VectorOptics, ReflectSpecialCases) {
    const MFloatVector up(0.0f, 0.0f, 1.0f);
    const float h = float(1.0 / std::sqrt(2.0));
    for (const Reflect reflect : kReflect) {
        EXPECT_EQ(reflect(up, up), up);
        expectNear(reflect(MFloatVector(h, 0.0f, h), up), -h, 0.0, h);
        // Parallel to the axis, of either sign: own direction, normalised.
        expectNear(reflect(MFloatVector(0.0f, 0.0f, -2.5f), up), 0.0, 0.0, -1.0);
        expectNear(reflect(MFloatVector(0.0f, 3.0f, 0.0f), MFloatVector(0.0f, -1.0f, 0.0f)), 0.0, 1.0, 0.0);
    }
}

// Mirroring keeps the angle with the axis (R.N = V.N) and twice is identity.
TEST(VectorOptics, ReflectIdentities) {
    std::mt19937 rng(11);
    for (int i = 0; i < 2000; ++i) {
        const MFloatVector V = randomUnit(rng), N = randomUnit(rng);
        for (const Reflect reflect : kReflect) {
            const MFloatVector R = reflect(V, N);
            EXPECT_NEAR(dot(R, N), dot(V, N), 1e-6);
            const MFloatVector back = reflect(R, N);
            expectNear(back, V.x, V.y, V.z, 1e-6);
        }
    }
}

TEST(VectorOptics, RefractSpecialCases) {
    const MFloatVector up(0.0f, 0.0f, 1.0f);
    for (const Refract refract : kRefract) {
        // eta 1 and V.N = d > 0: k = d^2, T = V - 2d N. d = 0.8 here.
        expectNear(refract(MFloatVector(0.6f, 0.0f, 0.8f), up, 1.0f), 0.6, 0.0, -0.8);
        // Perpendicular: k = 0 exactly, the zero vector.
        EXPECT_EQ(refract(MFloatVector(1.0f, 0.0f, 0.0f), up, 1.0f), MFloatVector(0.0f, 0.0f, 0.0f));
        // eta 1.5, V.N = 0.5: k = 1 - 0.75 * 2.25 = -0.6875, total internal reflection.
        EXPECT_EQ(refract(MFloatVector(0.0f, std::sqrt(0.75f), 0.5f), up, 1.5f), MFloatVector(0.0f, 0.0f, 0.0f));
        // Head on (V.N = -1): k = 1, T = eta V - (1 - eta) N = (0, 0, -1).
        expectNear(refract(MFloatVector(0.0f, 0.0f, -1.0f), up, 1.0f / 1.4f), 0.0, 0.0, -1.0);
        // Not a number in k fails the ordered test: T comes back (non-finite).
        EXPECT_TRUE(std::isnan(refract(MFloatVector(NAN, 0.0f, -1.0f), up, 1.0f).x));
    }
}

// Snell's law for directions towards the surface: T is unit, stays in the
// plane of V and N, and its sine is eta times V's sine.
TEST(VectorOptics, RefractObeysSnellsLaw) {
    std::mt19937 rng(12);
    std::uniform_real_distribution<float> etas(0.5f, 1.0f);
    for (int i = 0; i < 2000; ++i) {
        const MFloatVector N = randomUnit(rng);
        MFloatVector V = randomUnit(rng);
        if (dot(V, N) > 0.0) V = -V;
        const float eta = etas(rng);
        for (const Refract refract : kRefract) {
            const MFloatVector T = refract(V, N, eta);
            const double cosI = -dot(V, N), cosT = -dot(T, N);
            EXPECT_NEAR(dot(T, T), 1.0, 1e-5);
            EXPECT_NEAR(std::sqrt(std::max(0.0, 1.0 - cosT * cosT)), eta * std::sqrt(1.0 - cosI * cosI), 1e-5);
            EXPECT_GT(cosT, 0.0);
        }
    }
}

// On ordinary inputs the forms differ only in rounding.
TEST(VectorOptics, FormsAgreeOnOrdinaryInputs) {
    std::mt19937 rng(13);
    std::uniform_real_distribution<float> etas(0.4f, 2.5f);
    for (int i = 0; i < 5000; ++i) {
        const MFloatVector V = randomUnit(rng), N = randomUnit(rng);
        const float eta = etas(rng);
        const MFloatVector a = reflectMaya(V, N), b = reflectMentalray(V, N);
        expectNear(a, b.x, b.y, b.z, 4e-7);
        const MFloatVector c = refractMaya(V, N, eta), d = refractMentalray(V, N, eta);
        if (std::fabs(1.0 - (1.0 - dot(V, N) * dot(V, N)) * eta * eta) > 1e-4)
            expectNear(c, d.x, d.y, d.z, 2e-6);
    }
}

// Where the forms round differently (inputs found and both results computed
// by tests/core/opticsGolden.py): the Maya form sums the squared length in
// single precision, the mental ray form in double.
TEST(VectorOptics, FormsRoundTheReflectionDifferently) {
    struct Case {
        PlainVector V, N, mayaResult, mentalrayResult;
    };
    const Case cases[] = {
        {{0x1.f767c40000000p-3, 0x1.ef2e040000000p-2, 0x1.2e47380000000p-1}, {0x1.c511b00000000p-1, 0x1.eb4ff20000000p-2, 0x1.b075f60000000p-1}, {0x1.9666360000000p-1, 0x1.e3d6c80000000p-3, 0x1.1ef8980000000p-1}, {0x1.9666360000000p-1, 0x1.e3d6cc0000000p-3, 0x1.1ef8980000000p-1}},
        {{-0x1.e24c740000000p-1, -0x1.199e840000000p-4, 0x1.c5ff4e0000000p-1}, {0x1.3119920000000p-2, 0x1.9a85a80000000p-1, -0x1.8c13bc0000000p-1}, {0x1.863a620000000p-3, -0x1.cbaf3c0000000p-1, 0x1.9687de0000000p-2}, {0x1.863a680000000p-3, -0x1.cbaf3a0000000p-1, 0x1.9687da0000000p-2}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(reflectMaya(maya(c.V), maya(c.N)), maya(c.mayaResult));
        EXPECT_EQ(reflectMentalray(maya(c.V), maya(c.N)), maya(c.mentalrayResult));
    }
}

// A zero-length mirror image: the mental ray form returns it unnormalised;
// the Maya form hands it to MFloatVector::normalize(), which leaves a zero
// vector unchanged, so here both give zero rather than non-numbers.
TEST(VectorOptics, ZeroLengthReflection) {
    const MFloatVector zero(0.0f, 0.0f, 0.0f), up(0.0f, 0.0f, 1.0f);
    EXPECT_EQ(reflectMentalray(zero, up), zero);
    EXPECT_EQ(reflectMaya(zero, up), zero);
}

// The Maya form's normalizeVector divides by the length and has no zero
// check: a zero vector gives non-numbers.
TEST(VectorOptics, NormalizeVector) {
    EXPECT_EQ(maya::normalizeVector(MFloatVector(0.0f, -3.0f, 4.0f)), MFloatVector(0.0f, -0.6f, 0.8f));
    EXPECT_TRUE(std::isnan(maya::normalizeVector(MFloatVector(0.0f, 0.0f, 0.0f)).x));
}

}  // namespace
}  // namespace flakecoat
