// The first sample in a process builds the noise tables, reseeding the C
// library's generator, even when it samples no noise (no light in front).
// Runs in a process of its own so that nothing has built the tables before.

#include <cstdlib>

#include <gtest/gtest.h>
#include <stdlib.h>

#include <maya/MTypes.h>

#include "colorEvaluation.h"

namespace flakecoat::maya {
namespace {

TEST(ColorEvaluationFirstSample, BuildsTheNoiseTablesWithoutLights) {
    srandom(5);
    const long firstDrawAfterSeed5 = random();
    srandom(5);

    ColorInputs inputs;
    inputs.reflectivity = 0.0f;
    MFloatVector normal(0.0f, 0.0f, 1.0f);
    evaluateColor(inputs, normal, nullptr, 0, MFloatVector(0.0f, 0.0f, 0.0f), nullptr);

    // Reseeded with 1 and drawn from by the build: the seed-5 sequence is gone.
    EXPECT_NE(random(), firstDrawAfterSeed5);
}

}  // namespace
}  // namespace flakecoat::maya
