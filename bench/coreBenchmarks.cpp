// ns per call of the shading core and the colour evaluation, each beside a
// yardstick measured in the same run: stb_perlin_noise3 for the noise, and
// for the evaluation the library calls it cannot avoid with one light
// (2 solidNoise, 3 cosf, 7 powf). Compare ratios, not absolute times.

#include <cmath>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "colorEvaluation.h"
#include "solidNoise.h"
#include "stbPerlin.h"

namespace {

using flakecoat::maya::ColorInputs;
using flakecoat::maya::LightElement;

constexpr int kInputs = 1024;  // power of two: index with & (kInputs - 1)

struct Point {
    float x, y, z;
};

// The coordinates the evaluation passes: around 19928 and 1998122.
const std::vector<Point>& noisePoints() {
    static const std::vector<Point> points = [] {
        std::mt19937 rng(1);
        std::uniform_real_distribution<float> u(0.0f, 300.0f);
        std::vector<Point> p(kInputs);
        for (Point& q : p) q = {u(rng) + 21162.0f, u(rng) + 1999356.0f, u(rng) + 1999356.0f};
        return p;
    }();
    return points;
}

void BM_solidNoise(benchmark::State& state) {
    flakecoat::solidNoise(0.0f, 0.0f, 0.0f);  // tables built outside the timing
    const std::vector<Point>& p = noisePoints();
    unsigned i = 0;
    for (auto _ : state) {
        const Point& q = p[i++ & (kInputs - 1)];
        benchmark::DoNotOptimize(flakecoat::solidNoise(q.x, q.y, q.z));
    }
}
BENCHMARK(BM_solidNoise);

void BM_stbPerlinNoise3(benchmark::State& state) {
    const std::vector<Point>& p = noisePoints();
    unsigned i = 0;
    for (auto _ : state) {
        const Point& q = p[i++ & (kInputs - 1)];
        benchmark::DoNotOptimize(peerPerlinNoise3(q.x, q.y, q.z));
    }
}
BENCHMARK(BM_stbPerlinNoise3);

// The evaluation's unavoidable calls for one diffuse and specular light,
// on inputs in the ranges the evaluation produces: noise at its offsets,
// phases below 2 pi, Fresnel bases in [1, 2] to the 5th, lobe cosines to
// the default exponents 50 and 90.
void BM_unavoidableLibraryCalls(benchmark::State& state) {
    flakecoat::solidNoise(0.0f, 0.0f, 0.0f);
    const std::vector<Point>& p = noisePoints();
    std::vector<float> phase(kInputs), fresnelBase(kInputs), cosine(kInputs);
    std::mt19937 rng(2);
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    for (int k = 0; k < kInputs; ++k) {
        phase[k] = u(rng) * 6.0f;
        fresnelBase[k] = 1.0f + u(rng);
        cosine[k] = u(rng) * 2.0f - 1.0f;
    }
    unsigned i = 0;
    for (auto _ : state) {
        const unsigned a = i++ & (kInputs - 1), b = (a + 1) & (kInputs - 1), c = (a + 2) & (kInputs - 1);
        benchmark::DoNotOptimize(flakecoat::solidNoise(p[a].x, p[a].y, p[a].z));
        benchmark::DoNotOptimize(flakecoat::solidNoise(p[b].x, p[b].y, p[b].z));
        benchmark::DoNotOptimize(cosf(phase[a]));
        benchmark::DoNotOptimize(cosf(phase[b]));
        benchmark::DoNotOptimize(cosf(phase[c]));
        benchmark::DoNotOptimize(powf(fresnelBase[a], 5.0f));
        benchmark::DoNotOptimize(powf(fresnelBase[b], 5.0f));
        benchmark::DoNotOptimize(powf(fresnelBase[c], 5.0f));
        benchmark::DoNotOptimize(powf(cosine[a], 50.0f));
        benchmark::DoNotOptimize(powf(cosine[a], 90.0f));
        benchmark::DoNotOptimize(powf(cosine[b], 90.0f));
        benchmark::DoNotOptimize(powf(cosine[c], 90.0f));
    }
}
BENCHMARK(BM_unavoidableLibraryCalls);

MStatus constantTracer(const MFloatVector&, const MFloatVector&, const void*, const void*, short,
                       MFloatVector& color, MFloatVector&, bool) {
    color = MFloatVector(0.2f, 0.3f, 0.4f);
    return MS::kSuccess;
}

// Samples of a lit, curved surface seen by a camera: normals and light
// directions in front, eye rays towards the surface.
struct Sample {
    ColorInputs inputs;
    MFloatVector normal;
    LightElement lights[4];
};

std::vector<Sample> makeSamples(bool equalIndices) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> u(-1.0f, 1.0f);
    static const int sampler = 0;
    std::vector<Sample> samples(kInputs);
    for (Sample& s : samples) {
        s.inputs.pointWorld = MFloatVector(u(rng) * 3.0f, u(rng) * 3.0f, u(rng) * 3.0f);
        s.inputs.pointCamera = MFloatVector(u(rng), u(rng), -5.0f);
        s.inputs.rayDirection = MFloatVector(u(rng) * 0.3f, u(rng) * 0.3f, -1.0f);
        s.inputs.raySampler = &sampler;
        if (!equalIndices) {
            s.inputs.refractiveIndex[0] = 1.35f;
            s.inputs.refractiveIndex[2] = 1.45f;
        }
        s.normal = MFloatVector(u(rng) * 0.5f, u(rng) * 0.5f, 1.0f);
        for (LightElement& l : s.lights) {
            l.intensity = MFloatVector(1.0f, 0.9f, 0.8f);
            l.direction = MFloatVector(u(rng), u(rng), 1.5f);
            l.ambient = false;
            l.diffuse = true;
            l.specular = true;
        }
    }
    return samples;
}

void evaluateSamples(benchmark::State& state, bool equalIndices) {
    flakecoat::solidNoise(0.0f, 0.0f, 0.0f);
    const std::vector<Sample> samples = makeSamples(equalIndices);
    const int lightCount = int(state.range(0));
    const MFloatVector transparency(0.0f, 0.0f, 0.0f);
    unsigned i = 0;
    for (auto _ : state) {
        // Fresh copies: the evaluation normalises N and L in place.
        Sample s = samples[i++ & (kInputs - 1)];
        benchmark::DoNotOptimize(flakecoat::maya::evaluateColor(s.inputs, s.normal, s.lights, lightCount,
                                                                transparency, constantTracer));
    }
}

void BM_evaluateColor(benchmark::State& state) { evaluateSamples(state, true); }
BENCHMARK(BM_evaluateColor)->Arg(0)->Arg(1)->Arg(4)->ArgName("lights");

void BM_evaluateColorUnequalIndices(benchmark::State& state) { evaluateSamples(state, false); }
BENCHMARK(BM_evaluateColorUnequalIndices)->Arg(1)->Arg(4)->ArgName("lights");

}  // namespace
