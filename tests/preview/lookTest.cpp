// Looks: parsing and checking NAME=VALUE settings against a host's
// declared inputs (a hand-made catalogue shaped like the node's), the
// values in effect, and settings spread over two hosts.

#include <gtest/gtest.h>

#include "look/look.h"
#include "madeInputs.h"

namespace fp = flakecoat::preview;

namespace {

using fp::testing::madeInput;

const std::vector<fp::ShadingInput>& catalogue() {
    static const std::vector<fp::ShadingInput> kInputs = [] {
        fp::ShadingInput color = madeInput("color", 3);
        color.children = {"colorR", "colorG", "colorB"};
        fp::ShadingInput red = madeInput("colorR", 1);
        red.parent = "color";
        fp::ShadingInput index = madeInput("refractiveIndex", 3);
        index.hasHardMin = true;
        index.hardMin[0] = index.hardMin[1] = index.hardMin[2] = 1.0;
        fp::ShadingInput fraction = madeInput("fraction", 2);
        fraction.hasHardMin = fraction.hasHardMax = true;
        fraction.hardMin[1] = -1.0;
        fraction.hardMax[0] = 1.0;
        return std::vector<fp::ShadingInput>{color, red, index, madeInput("seed", 1, fp::ValueKind::Integer),
                                             madeInput("useIrradiance", 1, fp::ValueKind::Boolean), fraction};
    }();
    return kInputs;
}

std::string checkError(const std::string& text) {
    fp::Look look(catalogue(), "maya");
    std::string error;
    return look.set(text, error) ? "" : error;
}

}  // namespace

TEST(Look, ParsesNumbersListsAndBooleanWords) {
    fp::Setting parsed;
    std::string error;
    ASSERT_TRUE(fp::parseSetting("color=1,0.5,2e-1", parsed, error)) << error;
    EXPECT_EQ(parsed.name, "color");
    ASSERT_EQ(parsed.count, 3);
    EXPECT_EQ(parsed.values[2], 0.2);
    ASSERT_TRUE(fp::parseSetting("useIrradiance=on", parsed, error));
    EXPECT_EQ(parsed.values[0], 1.0);
    EXPECT_TRUE(checkError("refractiveIndex=1,1.2,1.4").empty());
    EXPECT_TRUE(checkError("seed=-12").empty());
    EXPECT_TRUE(checkError("useIrradiance=false").empty());
}

TEST(Look, MalformedTextIsRefusedWithTheText) {
    for (const char* text : {"color", "=1", "color=", "color=1,,2", "color=abc", "color=nan", "color=inf",
                             "color=1 2", "color=0x"}) {
        const std::string error = checkError(text);
        EXPECT_NE(error.find(std::string("--set ") + text), std::string::npos) << text << ": " << error;
    }
    EXPECT_NE(checkError("m=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17").find("more than 16"), std::string::npos);
}

TEST(Look, ChecksNameArityKindAndHardMinimum) {
    std::string error = checkError("colour=1,1,1");
    EXPECT_NE(error.find("maya has no shading input named 'colour'"), std::string::npos) << error;
    EXPECT_NE(error.find("color colorR refractiveIndex seed useIrradiance fraction"), std::string::npos) << error;
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

TEST(Look, EffectiveValuesFollowTheSettingsInOrder) {
    fp::Look look(catalogue(), "maya");
    std::string error;
    for (const char* text : {"colorR=0.25", "color=0.1,0.2,0.3", "colorR=0.9", "seed=3", "seed=4"})
        ASSERT_TRUE(look.set(text, error)) << error;
    EXPECT_EQ(look.effective("color"), (std::vector<double>{0.9, 0.2, 0.3}));
    EXPECT_EQ(look.effective("colorR"), std::vector<double>{0.9});
    EXPECT_EQ(look.effective("fraction"), (std::vector<double>{0.5, 0.5}));  // the default
    EXPECT_TRUE(look.effective("nothing").empty());
    // A later setting of a name replaces the earlier one.
    EXPECT_EQ(look.arguments(), (std::vector<std::string>{"color=0.1,0.2,0.3", "colorR=0.9", "seed=4"}));
    EXPECT_EQ(look.with({look.settings()[0]}).arguments().back(), "color=0.1,0.2,0.3");
    ASSERT_TRUE(look.set("seed=-2147483648", error)) << error;  // whole numbers in full
    EXPECT_EQ(look.arguments().back(), "seed=-2147483648");
    EXPECT_FALSE(look.set("seed=2147483648", error));
    EXPECT_EQ(error, "--set seed: 2147483648 is out of the integer range");
    look.reset();
    EXPECT_TRUE(look.settings().empty());
    EXPECT_EQ(look.effective("color"), (std::vector<double>{0.5, 0.5, 0.5}));
}

TEST(Look, SettingsGoToEveryHostThatDeclaresThem) {
    std::vector<fp::ShadingInput> mentalray = {madeInput("color", 3), madeInput("useIrradiance", 1, fp::ValueKind::Boolean)};
    const std::vector<fp::ShadingInput> maya = {madeInput("color", 3), madeInput("transparency", 3)};
    std::vector<fp::Look> looks = {fp::Look(maya, "maya"), fp::Look(mentalray, "mentalray")};
    std::vector<std::string> notes;
    std::string error;
    ASSERT_TRUE(fp::setOnEveryHost({"color=1,0,0", "useIrradiance=on"}, looks, notes, error)) << error;
    EXPECT_EQ(looks[0].arguments(), std::vector<std::string>{"color=1,0,0"});
    EXPECT_EQ(looks[1].arguments(), (std::vector<std::string>{"color=1,0,0", "useIrradiance=1"}));
    EXPECT_EQ(notes, std::vector<std::string>{"--set useIrradiance does not apply to maya"});
    EXPECT_FALSE(fp::setOnEveryHost({"colour=1,1,1"}, looks, notes, error));
    EXPECT_EQ(error, "--set colour: neither host has a shading input named 'colour'");
    // A name both declare is checked by both.
    EXPECT_FALSE(fp::setOnEveryHost({"color=1,1"}, looks, notes, error));
    // With one host an unknown name is that host's error.
    std::vector<fp::Look> one = {fp::Look(maya, "maya")};
    EXPECT_FALSE(fp::setOnEveryHost({"color=1,1,1", "useIrradiance=1"}, one, notes, error));
    EXPECT_EQ(error.rfind("--set useIrradiance: maya has no shading input named 'useIrradiance'", 0), 0u) << error;
}
