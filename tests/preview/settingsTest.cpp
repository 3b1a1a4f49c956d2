// Parsing and checking of NAME=VALUE settings against a host's declared
// inputs (a hand-made catalogue shaped like the node's).

#include <gtest/gtest.h>

#include "settings/parameterOverrides.h"

namespace fp = flakecoat::preview;

namespace {

std::vector<fp::SettableInput> catalogue() {
    fp::SettableInput color{"color", 3, fp::ValueKind::Float};
    fp::SettableInput index{"refractiveIndex", 3, fp::ValueKind::Float, true, {1.0, 1.0, 1.0}};
    fp::SettableInput seed{"seed", 1, fp::ValueKind::Integer};
    fp::SettableInput irradiance{"useIrradiance", 1, fp::ValueKind::Boolean};
    fp::SettableInput fraction{"fraction", 2, fp::ValueKind::Float, true, {0.0, -1.0, 0.0}, true, {1.0, 0.0, 0.0}};
    return {color, index, seed, irradiance, fraction};
}

std::string checkError(const std::string& text) {
    fp::ParameterOverride parsed;
    std::string error;
    if (!fp::parseOverride(text, parsed, error)) return error;
    if (!fp::checkOverride(catalogue(), parsed, "maya", error)) return error;
    return "";
}

}  // namespace

TEST(ParameterOverrides, ParsesNumbersListsAndBooleanWords) {
    fp::ParameterOverride parsed;
    std::string error;
    ASSERT_TRUE(fp::parseOverride("color=1,0.5,2e-1", parsed, error)) << error;
    EXPECT_EQ(parsed.name, "color");
    ASSERT_EQ(parsed.count, 3);
    EXPECT_EQ(parsed.values[2], 0.2);
    ASSERT_TRUE(fp::parseOverride("useIrradiance=on", parsed, error));
    EXPECT_EQ(parsed.values[0], 1.0);
    EXPECT_TRUE(checkError("refractiveIndex=1,1.2,1.4").empty());
    EXPECT_TRUE(checkError("seed=-12").empty());
    EXPECT_TRUE(checkError("useIrradiance=false").empty());
}

TEST(ParameterOverrides, MalformedTextIsRefusedWithTheText) {
    for (const char* text : {"color", "=1", "color=", "color=1,,2", "color=abc", "color=nan", "color=inf",
                             "color=1 2", "color=0x"}) {
        const std::string error = checkError(text);
        EXPECT_NE(error.find(std::string("--set ") + text), std::string::npos) << text << ": " << error;
    }
    EXPECT_NE(checkError("m=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17").find("more than 16"), std::string::npos);
}

TEST(ParameterOverrides, ChecksNameArityKindAndHardMinimum) {
    std::string error = checkError("colour=1,1,1");
    EXPECT_NE(error.find("maya has no shading input named 'colour'"), std::string::npos) << error;
    EXPECT_NE(error.find("color refractiveIndex seed useIrradiance fraction"), std::string::npos) << error;
    error = checkError("color=1,1");
    EXPECT_NE(error.find("takes 3 values, got 2"), std::string::npos) << error;
    error = checkError("refractiveIndex=1.4,0.5,1.4");
    EXPECT_NE(error.find("0.5 is below the minimum 1"), std::string::npos) << error;
    EXPECT_TRUE(checkError("refractiveIndex=1,1,1").empty());  // the minimum itself is allowed
    // Limits per component.
    EXPECT_TRUE(checkError("fraction=1,-1").empty());
    error = checkError("fraction=0.5,0.5");
    EXPECT_NE(error.find("0.5 is above the maximum 0"), std::string::npos) << error;
    error = checkError("fraction=-0.5,0");
    EXPECT_NE(error.find("-0.5 is below the minimum 0"), std::string::npos) << error;
    error = checkError("seed=1.5");
    EXPECT_NE(error.find("not a whole number"), std::string::npos) << error;
    error = checkError("useIrradiance=2");
    EXPECT_NE(error.find("not a boolean"), std::string::npos) << error;
    error = checkError("color=1e39,0,0");
    EXPECT_NE(error.find("single-precision range"), std::string::npos) << error;
}

TEST(ParameterOverrides, StopsAtTheFirstBadSetting) {
    std::vector<fp::ParameterOverride> parsed;
    std::string error;
    EXPECT_TRUE(fp::parseAndCheckOverrides(catalogue(), {"seed=3", "color=0,0,1"}, "maya", parsed, error));
    EXPECT_EQ(parsed.size(), 2u);
    EXPECT_FALSE(fp::parseAndCheckOverrides(catalogue(), {"seed=3", "bogus=1", "color=1"}, "maya", parsed, error));
    EXPECT_NE(error.find("bogus"), std::string::npos);
}
