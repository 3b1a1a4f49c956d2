// Behaviour of the colour evaluation on hand-built samples. Expected values
// are worked out by hand or from the formulas in double precision (stated at
// each test); exact equality only where the single-precision steps are exact.

#include <cmath>

#include <gtest/gtest.h>

#include "colorEvaluation.h"

namespace flakecoat::maya {
namespace {

// Records what the evaluation hands the tracer, and answers with a fixed colour.
struct TraceRecord {
    int calls = 0;
    MFloatVector origin, direction;
    const void* objectId = nullptr;
    const void* raySampler = nullptr;
    short rayDepth = -1;
    bool reflected = false;
    MFloatVector answer{0.5f, 0.25f, 1.0f};
};
TraceRecord traceRecord;

MStatus recordingTracer(const MFloatVector& origin, const MFloatVector& direction, const void* objectId,
                        const void* raySampler, short rayDepth, MFloatVector& color, MFloatVector&,
                        bool reflected) {
    TraceRecord& r = traceRecord;
    ++r.calls;
    r.origin = origin;
    r.direction = direction;
    r.objectId = objectId;
    r.raySampler = raySampler;
    r.rayDepth = rayDepth;
    r.reflected = reflected;
    color = r.answer;
    return MS::kSuccess;
}

const int samplerToken = 0;
const int objectToken = 0;

// A sample whose noise is exactly 0: with pointWorld at the origin and an
// integral seed every noise coordinate is a lattice point. So filmNoise is 0
// (filmDepth = depthRangeMin) and flakeNoise is -1 (offset -normalDeviation).
// Eye ray straight down onto a surface facing +z; nothing lit by default.
ColorInputs latticeSample() {
    ColorInputs in;
    in.color = MFloatVector(1.0f, 1.0f, 1.0f);
    in.ambientColor = MFloatVector(0.0f, 0.0f, 0.0f);
    in.incandescence = MFloatVector(0.0f, 0.0f, 0.0f);
    in.pointWorld = MFloatVector(0.0f, 0.0f, 0.0f);
    in.seed = 1234.0f;
    in.normalDeviation = 0.0f;
    in.reflectivity = 0.0f;
    in.rayDirection = MFloatVector(0.0f, 0.0f, -1.0f);
    in.pointCamera = MFloatVector(0.0f, 0.0f, -5.0f);
    in.raySampler = &samplerToken;
    return in;
}

LightElement light(MFloatVector direction, bool ambient, bool diffuse, bool specular,
                   MFloatVector intensity = MFloatVector(1.0f, 1.0f, 1.0f)) {
    LightElement l;
    l.intensity = intensity;
    l.direction = direction;
    l.ambient = ambient;
    l.diffuse = diffuse;
    l.specular = specular;
    return l;
}

const MFloatVector kOpaque(0.0f, 0.0f, 0.0f);
const MFloatVector kClear(1.0f, 1.0f, 1.0f);

MFloatVector evaluate(const ColorInputs& in, MFloatVector N, LightElement* lights, int count,
                      const MFloatVector& transparency = kOpaque) {
    return evaluateColor(in, N, lights, count, transparency, recordingTracer);
}

TEST(ColorEvaluation, UnlitOpaqueSampleShowsItsColor) {
    ColorInputs in = latticeSample();
    in.color = MFloatVector(0.209f, 1.0f, 0.182f);
    in.ambientColor = MFloatVector(1.0f, 1.0f, 1.0f);
    const MFloatVector out = evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), nullptr, 0);
    EXPECT_EQ(out, in.color);
}

// Interference term at film depth 0, from ((2 cos 0) sqrt((1-b) b) + 1) / 2
// with b = 3n/(n+1)^2, evaluated in double.
TEST(ColorEvaluation, InterferenceTermAtZeroFilmDepth) {
    for (const float n : {1.0f, 1.4f}) {
        ColorInputs in = latticeSample();
        in.depthRangeMin = 0.0f;
        in.depthRangeMax = 77.0f;  // unused: filmNoise is 0 here
        in.diffuse = 1.0f;
        for (float& index : in.refractiveIndex) index = n;
        LightElement lights[] = {light(MFloatVector(0.0f, 0.0f, 1.0f), false, true, false)};
        const MFloatVector out = evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), lights, 1);
        const double b = 3.0 * n / ((n + 1.0) * (n + 1.0));
        const double term = (2.0 * std::sqrt((1.0 - b) * b) + 1.0) * 0.5;
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(out[j], term, 1e-7) << "n " << n << " channel " << j;
    }
    // By hand for n = 1: b = 0.75, term = 1/2 + sqrt(3)/4.
    EXPECT_NEAR(0.5 + std::sqrt(3.0) / 4.0, 0.9330127, 1e-7);
}

// Each channel has its own wavelength: at film depth 115.18 and n = 1.4 the
// red phase 1.4 * 4pi * 115.18 / 645 is pi and the red term falls to
// 1/2 - sqrt((1-b) b) = 0.05561; green and blue from the same formula.
TEST(ColorEvaluation, InterferencePhasePerWavelength) {
    ColorInputs in = latticeSample();
    in.depthRangeMin = 115.18f;
    in.depthRangeMax = 10.0f;
    in.diffuse = 1.0f;
    LightElement lights[] = {light(MFloatVector(0.0f, 0.0f, 1.0f), false, true, false)};
    const MFloatVector out = evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), lights, 1);
    const double n = 1.4, b = 3.0 * n / ((n + 1.0) * (n + 1.0)), pi = std::acos(-1.0);
    const double wavelength[3] = {645.0, 525.0, 445.0};
    for (int j = 0; j < 3; ++j) {
        const double term = (2.0 * std::cos(n * 4.0 * pi * 115.18 / wavelength[j]) * std::sqrt((1.0 - b) * b) + 1.0) * 0.5;
        EXPECT_NEAR(out[j], term, 2e-5) << "channel " << j;
    }
    EXPECT_NEAR(out[0], 0.05561, 1e-5);
}

// A light along the normal with n = 1.4: 1 - N.(-L) = 2, so the Fresnel
// weight is 32 (1 - 1/1.4) + 1/1.4 = 32 - 31/1.4 = 9.857142..., not capped
// at 1. Exponent 0 makes the coat lobe 1; a steep flake exponent on an
// oblique view makes the flake lobe 0 (0.9035^10000 underflows).
TEST(ColorEvaluation, FresnelWeightIsNotLimitedToOne) {
    ColorInputs in = latticeSample();
    in.rayDirection = MFloatVector(0.6f, 0.0f, -0.8f);
    in.specularMin = 0.0f;
    in.specularMax = 10000.0f;
    in.specularPower = 1.0f;
    LightElement lights[] = {light(MFloatVector(0.0f, 0.0f, 1.0f), false, false, true)};
    const MFloatVector out = evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), lights, 1, kClear);
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(out[j], 32.0 - 31.0 / 1.4, 2e-6);
}

// With n = 1 the Fresnel weight is 1 and refraction leaves the light ray
// as it is, so the flake lobe sees the flake normal alone. normalDeviation
// -0.5 and flakeNoise -1 offset N = (0,0,1) by +0.5 on every axis:
// F = (0.5, 0.5, 1.5)/sqrt(2.75). Mirroring (0,0,-1) about F gives
// z = 1 - 2 * 2.25/2.75 = -7/11, and the view refracted with n = 1 is
// (0,0,-1): flake lobe 7/11 at exponent 1. Coat lobe |(-1)^1| = 1.
TEST(ColorEvaluation, FlakeNormalLeansAlongTheDiagonal) {
    ColorInputs in = latticeSample();
    for (float& index : in.refractiveIndex) index = 1.0f;
    in.normalDeviation = -0.5f;
    in.specularMin = 1.0f;
    in.specularMax = 1.0f;
    in.specularPower = 1.0f;
    LightElement lights[] = {light(MFloatVector(0.0f, 0.0f, 1.0f), false, false, true)};
    const MFloatVector out = evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), lights, 1, kClear);
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(out[j], 1.0 + 7.0 / 11.0, 1e-6);
}

// Film noise 0 selects depthRangeMin, whatever the maximum (bounds unordered).
TEST(ColorEvaluation, FilmDepthFollowsTheMinimumWhereFilmNoiseIsZero) {
    ColorInputs in = latticeSample();
    in.diffuse = 1.0f;
    LightElement lights[] = {light(MFloatVector(0.0f, 0.0f, 1.0f), false, true, false)};
    in.depthRangeMin = 40.0f;
    in.depthRangeMax = 10.0f;
    const MFloatVector a = evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), lights, 1);
    in.depthRangeMax = 900.0f;
    const MFloatVector b = evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), lights, 1);
    in.depthRangeMin = 10.0f;
    const MFloatVector c = evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), lights, 1);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
}

// Transparency dims all but the specular part. With n = 1, a light along
// the normal and the eye straight down, both lobes are 1 (see above) and
// the specular sum is ((2 * 0.5) * Li) * 1 = Li, exactly.
TEST(ColorEvaluation, TransparencyDimsAllButSpecular) {
    ColorInputs in = latticeSample();
    for (float& index : in.refractiveIndex) index = 1.0f;
    in.specularPower = 0.5f;
    in.ambientColor = MFloatVector(0.3f, 0.3f, 0.3f);
    in.incandescence = MFloatVector(0.2f, 0.1f, 0.4f);
    in.reflectivity = 0.5f;
    const MFloatVector Li(1.0f, 0.5f, 0.25f);
    LightElement lights[] = {light(MFloatVector(0.0f, 0.0f, 1.0f), true, true, true, Li)};
    EXPECT_EQ(evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), lights, 1, kClear), Li);
    lights[0].specular = false;
    EXPECT_EQ(evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), lights, 1, kClear), MFloatVector(0.0f, 0.0f, 0.0f));
}

// Mended accumulation: every light is weighted once, whatever its place.
// N and L are unit and stay bit-identical when normalised again, so two
// identical lights add identical contributions and every sum doubles
// exactly (x + x = 2x); the output doubles with them.
TEST(ColorEvaluation, TwoIdenticalLightsGiveTwiceOne) {
    ColorInputs in = latticeSample();
    in.normalDeviation = 0.3f;
    in.refractiveIndex[0] = 1.3f;
    in.refractiveIndex[2] = 1.6f;
    in.specularMin = 3.0f;
    in.specularMax = 5.0f;
    MFloatVector L(0.3f, -0.2f, 0.9f);
    for (int i = 0; i < 4; ++i) L.normalize();
    MFloatVector check = L;
    check.normalize();
    ASSERT_EQ(check, L) << "pick a direction that is a fixed point of normalize()";
    const MFloatVector Li(0.9f, 0.7f, 0.4f);
    LightElement one[] = {light(L, true, true, true, Li)};
    LightElement two[] = {light(L, true, true, true, Li), light(L, true, true, true, Li)};
    const MFloatVector single = evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), one, 1);
    const MFloatVector twice = evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), two, 2);
    EXPECT_GT(single.x, 0.0f);
    EXPECT_EQ(twice, 2 * single);
}

TEST(ColorEvaluation, LightOrderDoesNotMatter) {
    ColorInputs in = latticeSample();
    in.normalDeviation = 0.7f;
    in.refractiveIndex[1] = 1.5f;
    in.specularMin = 8.0f;
    in.specularMax = 3.0f;
    in.depthRangeMin = 60.0f;
    MFloatVector A(0.5f, 0.1f, 0.8f), B(-0.4f, 0.3f, 0.6f);
    for (int i = 0; i < 4; ++i) {
        A.normalize();
        B.normalize();
    }
    LightElement ab[] = {light(A, true, true, true, MFloatVector(1.0f, 0.5f, 0.2f)),
                         light(B, false, true, true, MFloatVector(0.3f, 0.9f, 0.6f))};
    LightElement ba[] = {ab[1], ab[0]};
    EXPECT_EQ(evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), ab, 2), evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), ba, 2));
}

// A specular light normalises N and L in the caller's storage; a diffuse
// light does not, and a later light's diffuse step sees the normalised N.
TEST(ColorEvaluation, SpecularLightsNormaliseNormalAndDirectionInPlace) {
    ColorInputs in = latticeSample();
    in.diffuse = 1.0f;
    MFloatVector N(0.0f, 0.0f, 2.0f);
    LightElement diffuseOnly[] = {light(MFloatVector(0.0f, 0.0f, 1.0f), false, true, false)};
    const MFloatVector atLengthTwo = evaluateColor(in, N, diffuseOnly, 1, kOpaque, recordingTracer);
    EXPECT_EQ(N, MFloatVector(0.0f, 0.0f, 2.0f));

    // The specular light lies behind the surface: it adds nothing, but still
    // normalises.
    LightElement both[] = {light(MFloatVector(0.0f, -3.0f, -4.0f), false, false, true),
                           light(MFloatVector(0.0f, 0.0f, 1.0f), false, true, false)};
    const MFloatVector atUnitLength = evaluateColor(in, N, both, 2, kOpaque, recordingTracer);
    EXPECT_EQ(N, MFloatVector(0.0f, 0.0f, 1.0f));
    EXPECT_EQ(both[0].direction, MFloatVector(0.0f, -0.6f, -0.8f));  // 3/5 and 4/5, exact divisions
    EXPECT_EQ(atLengthTwo, 2 * atUnitLength);                        // d was 2, then 1
}

// Lights at or behind the horizon add no diffuse and no specular part.
TEST(ColorEvaluation, LightsAtOrBehindTheHorizonAddOnlyAmbient) {
    ColorInputs in = latticeSample();
    in.color = MFloatVector(0.5f, 0.25f, 1.0f);
    LightElement lights[] = {light(MFloatVector(1.0f, 0.0f, 0.0f), true, true, true),
                             light(MFloatVector(0.0f, 0.2f, -1.0f), false, true, true)};
    EXPECT_EQ(evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), lights, 2), in.color);  // color * Li
}

// The tracer gets the camera point as origin, the mirrored eye ray, the
// sample's object id and sampler, depth 0 and the reflected-rays flag.
// Eye (0,0,-1) on N (0,0,1): I = (0,0,1), e = 1, direction (0,0,2) - I = (0,0,1).
TEST(ColorEvaluation, TracerArguments) {
    ColorInputs in = latticeSample();
    in.color = MFloatVector(0.0f, 0.0f, 0.0f);
    in.reflectivity = 0.5f;
    in.objectId = &objectToken;
    traceRecord = TraceRecord();
    const MFloatVector out = evaluate(in, MFloatVector(0.0f, 0.0f, 3.0f), nullptr, 0);
    EXPECT_EQ(traceRecord.calls, 1);
    EXPECT_EQ(traceRecord.origin, in.pointCamera);
    EXPECT_EQ(traceRecord.direction, MFloatVector(0.0f, 0.0f, 1.0f));
    EXPECT_EQ(traceRecord.objectId, &objectToken);
    EXPECT_EQ(traceRecord.raySampler, &samplerToken);
    EXPECT_EQ(traceRecord.rayDepth, 0);
    EXPECT_TRUE(traceRecord.reflected);
    EXPECT_EQ(out, MFloatVector(0.25f, 0.125f, 0.5f));  // answer * reflectivity
}

// Without a sampler the eye direction comes from pointCamera, and the ray is
// still traced. pointCamera (3,0,-4) normalises to (0.6,0,-0.8); mirrored on
// N = (0,0,1): (0.6, 0, 0.8).
TEST(ColorEvaluation, NullSamplerStillTraces) {
    ColorInputs in = latticeSample();
    in.raySampler = nullptr;
    in.reflectivity = 1.0f;
    in.pointCamera = MFloatVector(3.0f, 0.0f, -4.0f);
    traceRecord = TraceRecord();
    evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), nullptr, 0);
    EXPECT_EQ(traceRecord.calls, 1);
    EXPECT_EQ(traceRecord.raySampler, nullptr);
    EXPECT_NEAR(traceRecord.direction.x, 0.6f, 1e-7);
    EXPECT_NEAR(traceRecord.direction.y, 0.0f, 1e-7);
    EXPECT_NEAR(traceRecord.direction.z, 0.8f, 1e-7);
}

TEST(ColorEvaluation, TracesOnlyPrimaryRaysWithPositiveReflectivity) {
    ColorInputs in = latticeSample();
    in.color = MFloatVector(0.0f, 0.0f, 0.0f);
    const struct {
        float reflectivity;
        short depth;
    } cases[] = {{1.0f, 1}, {0.0f, 0}, {-1.0f, 0}, {NAN, 0}};
    for (const auto& c : cases) {
        in.reflectivity = c.reflectivity;
        in.rayDepth = c.depth;
        traceRecord = TraceRecord();
        EXPECT_EQ(evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), nullptr, 0), MFloatVector(0.0f, 0.0f, 0.0f));
        EXPECT_EQ(traceRecord.calls, 0) << "reflectivity " << c.reflectivity << " depth " << c.depth;
    }
    // A missing tracer traces nothing instead of crashing.
    in.reflectivity = 1.0f;
    in.rayDepth = 0;
    MFloatVector N(0.0f, 0.0f, 1.0f);
    EXPECT_EQ(evaluateColor(in, N, nullptr, 0, kOpaque, nullptr), MFloatVector(0.0f, 0.0f, 0.0f));
}

// A lobe is the power of the cosine's magnitude, so a negative cosine with a
// fractional exponent (a user may type 50.5) still gives a colour. Coat lobe:
// reflected light (0,0,-1) against toEye (0,0,1) gives -1, and |-1|^e is 1
// for every exponent. Flake lobe: normalDeviation -10 tilts the flake normal
// so far that the mirrored light climbs back (z = 1 - 2 * 121/321 > 0)
// against a refracted view of (0,0,-1).
TEST(ColorEvaluation, FractionalExponentOfNegativeCosineGivesAColour) {
    ColorInputs in = latticeSample();
    for (float& index : in.refractiveIndex) index = 1.0f;
    LightElement lights[] = {light(MFloatVector(0.0f, 0.0f, 1.0f), false, false, true)};
    const MFloatVector N(0.0f, 0.0f, 1.0f);

    in.specularMin = 50.0f;
    const MFloatVector whole = evaluate(in, N, lights, 1);
    for (const float exponent : {50.5f, 51.0f, 0.25f, 7.75f}) {
        in.specularMin = exponent;
        EXPECT_EQ(evaluate(in, N, lights, 1), whole) << exponent;
    }

    in.specularMin = 50.0f;
    in.normalDeviation = -10.0f;
    for (const float exponent : {90.0f, 90.5f, 91.0f, 0.25f, 7.75f}) {
        in.specularMax = exponent;
        const MFloatVector c = evaluate(in, N, lights, 1);
        EXPECT_TRUE(std::isfinite(c.x) && std::isfinite(c.y) && std::isfinite(c.z)) << exponent;
    }
}

// An infinite reflectivity on a sample that traces nothing still weighs the
// black reflection: 0 * inf is not a number.
TEST(ColorEvaluation, UntracedReflectionIsStillWeighted) {
    ColorInputs in = latticeSample();
    in.reflectivity = INFINITY;
    in.rayDepth = 1;
    EXPECT_TRUE(std::isnan(evaluate(in, MFloatVector(0.0f, 0.0f, 1.0f), nullptr, 0).x));
}

}  // namespace
}  // namespace flakecoat::maya
