// Varied inputs: parsing NAME=FROM:TO:STEPS, the values and labels of each
// step, and the order of cells in a grid.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "look/sweep.h"

namespace fp = flakecoat::preview;

namespace {

const std::vector<fp::ShadingInput>& inputs() {
    static const std::vector<fp::ShadingInput> kInputs = [] {
        std::vector<fp::ShadingInput> made(4);
        made[0].name = "normalDeviation";
        made[1].name = "color";
        made[1].arity = 3;
        made[2].name = "refractiveIndex";
        made[2].arity = 3;
        made[2].hasHardMin = true;
        made[2].hardMin[0] = made[2].hardMin[1] = made[2].hardMin[2] = 1.0;
        made[3].name = "seed";
        made[3].kind = fp::ValueKind::Integer;
        return made;
    }();
    return kInputs;
}

// The labels of an axis's steps, or the error.
std::string labels(const std::string& text) {
    fp::SweepAxis axis;
    std::vector<fp::Setting> values;
    std::string error;
    if (!fp::parseSweepAxis(text, axis, error) || !fp::sweepValues(fp::Look(inputs(), "maya"), axis, values, error))
        return error;
    std::string out;
    for (const fp::Setting& value : values) out += (out.empty() ? "" : " ") + fp::sweepValueLabel(value);
    return out;
}

TEST(ParameterSweep, StepsAndLabels) {
    EXPECT_EQ(labels("normalDeviation=0:4:5"), "0 1 2 3 4");
    EXPECT_EQ(labels("normalDeviation=1:0:3"), "1 0.5 0");
    EXPECT_EQ(labels("normalDeviation=0:1:4"), "0 0.3333 0.6667 1");
    EXPECT_EQ(labels("normalDeviation=-1:1:3"), "-1 0 1");  // never "-0"
    EXPECT_EQ(labels("color=0:1:2"), "0 1");                // every component alike
    EXPECT_EQ(labels("color=1,0,0:0,0,1:3"), "1,0,0 0.5,0,0.5 0,0,1");
    EXPECT_EQ(labels("seed=1:2:4"), "1 1 2 2");            // whole numbers for an integer input
    EXPECT_EQ(labels("seed=16777217:16777219:3"), "16777217 16777218 16777219");  // exactly, however large
    EXPECT_EQ(labels("seed=-2147483648:2147483647:2"), "-2147483648 2147483647");
    EXPECT_EQ(labels("normalDeviation=16777217:16777219:3"), "16777216 16777218 16777220");  // as floats hold them
}

TEST(ParameterSweep, BadAxesAreRefusedByName) {
    EXPECT_EQ(labels("normalDeviation=0:4"), "--vary normalDeviation=0:4: expected NAME=FROM:TO:STEPS");
    EXPECT_EQ(labels("=0:4:5"), "--vary =0:4:5: expected NAME=FROM:TO:STEPS");
    EXPECT_EQ(labels("normalDeviation=0:4:5:6"), "--vary normalDeviation=0:4:5:6: expected NAME=FROM:TO:STEPS");
    EXPECT_EQ(labels("normalDeviation=0:four:5"), "--vary normalDeviation=0:four:5: 'four' is not a number or a list of numbers");
    EXPECT_EQ(labels("normalDeviation=0:4:1"), "--vary normalDeviation=0:4:1: STEPS must be a whole number from 2 to 16");
    EXPECT_EQ(labels("normalDeviation=0:4:17"), "--vary normalDeviation=0:4:17: STEPS must be a whole number from 2 to 16");
    EXPECT_EQ(labels("normalDeviation=0:4:2.5"), "--vary normalDeviation=0:4:2.5: STEPS must be a whole number from 2 to 16");
    EXPECT_EQ(labels("color=0,0:1,1,1:3"), "--vary color=0,0:1,1,1:3: FROM has 2 values, TO 3");
    EXPECT_EQ(labels("color=0,0:1,1:3"), "--vary color: takes 1 or 3 values at each end, got 2");
    EXPECT_EQ(labels("refractiveIndex=0.5:2:4"), "--vary refractiveIndex: 0.5 is below the minimum 1");
    EXPECT_EQ(labels("roughness=0:1:3").rfind("--vary roughness: maya has no shading input named 'roughness'", 0), 0u);
}

TEST(ParameterSweep, GridRunsTheFirstAxisAcrossAndTheSecondDown) {
    fp::SweepAxis across, down;
    std::string error;
    std::vector<std::vector<fp::Setting>> values(2);
    ASSERT_TRUE(fp::parseSweepAxis("normalDeviation=0:2:3", across, error));
    ASSERT_TRUE(fp::parseSweepAxis("seed=10:20:2", down, error));
    const fp::Look look(inputs(), "maya");
    ASSERT_TRUE(fp::sweepValues(look, across, values[0], error));
    ASSERT_TRUE(fp::sweepValues(look, down, values[1], error));
    const std::vector<fp::SweepCell> cells = fp::sweepGrid(values);
    std::vector<std::string> seen;
    for (const fp::SweepCell& cell : cells) {
        ASSERT_EQ(cell.values.size(), 2u);
        EXPECT_EQ(cell.values[0].name, "normalDeviation");
        EXPECT_EQ(cell.values[1].name, "seed");
        seen.push_back(cell.label);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"0 | 10", "1 | 10", "2 | 10", "0 | 20", "1 | 20", "2 | 20"}));
    EXPECT_EQ(fp::sweepTitle({across, down}), "normalDeviation | seed");
}

}  // namespace
