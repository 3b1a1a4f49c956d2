// What the hosts tell a reader about their inputs: labels, descriptions and
// slider ranges for every input the viewer shows, from the node's
// attribute-editor template and the .mi's gui block, and the range derived
// where neither gives one.

#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "hosts/renderHost.h"
#include "mentalray/declaredInputs.h"

namespace fp = flakecoat::preview;

namespace {

fp::ShadingInput numeric(std::vector<double> defaults, bool color = false) {
    fp::ShadingInput input;
    input.arity = int(defaults.size());
    input.defaults = std::move(defaults);
    input.isColor = color;
    return input;
}

}  // namespace

TEST(ShadingInputs, DerivedRangesRunToARoundNumber) {
    struct Case {
        fp::ShadingInput input;
        double low, high;
    } cases[] = {
        {numeric({0.5}), 0, 1},
        {numeric({40, 10}), 0, 100},
        {numeric({50, 90}), 0, 200},
        {numeric({1234}), 0, 5000},
        {numeric({0, 0, 0}), 0, 1},
        {numeric({3, 0.2, 0.1}, true), 0, 1},  // a colour, whatever its value
        {numeric({-3}), -3, 7},
    };
    for (Case& c : cases) {
        fp::deriveSoftRange(c.input);
        EXPECT_TRUE(c.input.hasSoftMin && c.input.hasSoftMax);
        EXPECT_EQ(c.input.softMin, c.low) << c.input.defaults[0];
        EXPECT_EQ(c.input.softMax, c.high) << c.input.defaults[0];
    }
    fp::ShadingInput index = numeric({1.4, 1.4, 1.4});
    index.hasHardMin = true;
    index.hardMin[0] = index.hardMin[1] = index.hardMin[2] = 1.0;
    fp::deriveSoftRange(index);
    EXPECT_EQ(index.softMin, 1.0);
    EXPECT_EQ(index.softMax, 2.0);
    fp::ShadingInput flag = numeric({0});
    flag.kind = fp::ValueKind::Boolean;
    fp::deriveSoftRange(flag);
    EXPECT_FALSE(flag.hasSoftMin);
    EXPECT_EQ(fp::readableName("normalDeviation"), "Normal Deviation");
    EXPECT_EQ(fp::readableName("frequencyX"), "Frequency X");
}

TEST(ShadingInputs, EveryShownInputOfBothHostsIsLabelledDescribedAndRanged) {
    for (const char* name : {"maya", "mentalray"}) {
        std::string error;
        const std::unique_ptr<fp::RenderHost> host = fp::loadRenderHost(name, FLAKECOAT_LIBRARY_DIR, error);
        ASSERT_TRUE(host) << error;
        int shown = 0;
        for (const fp::ShadingInput& input : host->inputs()) {
            if (!input.shown) continue;
            ++shown;
            EXPECT_FALSE(input.label.empty()) << name << " " << input.name;
            EXPECT_FALSE(input.description.empty()) << name << " " << input.name;
            if (input.kind == fp::ValueKind::Boolean) continue;
            EXPECT_TRUE(input.hasSoftMin && input.hasSoftMax && input.softMin < input.softMax)
                << name << " " << input.name;
        }
        EXPECT_EQ(shown, std::string(name) == "maya" ? 13 : 19);
    }
}

TEST(ShadingInputs, GuiHintsThatFitNothingAreRefusedWithTheirLine) {
    const mentalrayHost::ShaderDeclaration declaration = [] {
        std::istringstream text("declare shader color \"paint\" (scalar \"gloss\", boolean \"on\", array light \"light\")\n"
                                "end declare\n");
        mentalrayHost::ShaderDeclaration read;
        std::string error;
        EXPECT_TRUE(mentalrayHost::parseShaderDeclaration(text, "p.mi", read, error)) << error;
        return read;
    }();
    const struct {
        const char* controls;
        const char* message;  // "" when the hints apply
    } cases[] = {
        {"control \"gloss\" \"scalar\" (\"uiName\" \"Gloss\", \"range\" 0 2)\n"
         "control \"light\" \"array\" (\"hidden\")\ncontrol \"Global\" \"Global\" ()",
         ""},
        {"\ncontrol \"glos\" \"scalar\" ()", "p.mi:3: control \"glos\": paint has no parameter of that name"},
        {"control \"gloss\" \"scalar\" (\"range\" 1)", "p.mi:2: control \"gloss\": \"range\" takes two numbers"},
        {"control \"gloss\" \"scalar\" (\"range\" 2 1)", "\"range\" takes two numbers, low then high"},
        {"control \"gloss\" \"scalar\" (\"range\" \"a\" \"b\")", "\"range\" takes two numbers"},
        {"control \"on\" \"boolean\" (\"range\" 0 1)", "for a numeric parameter"},
        {"control \"gloss\" \"scalar\" (\"range\" 0 \"b\")", "p.mi:2: attribute \"range\" mixes numbers and strings"},
        {"control \"gloss\" scalar ()", "p.mi:2: expected its quoted type, found 'scalar'"},
        {"control \"gloss\" \"scalar\" (\"uiName\" \"G)", "p.mi:2: unterminated quoted string"},
        {"controls", "p.mi:2: expected 'control' or '}', found 'controls'"},
    };
    for (const auto& c : cases) {
        std::istringstream text(std::string("gui \"gui_paint\" {\n") + c.controls + "\n}\n");
        mentalrayHost::ShaderGui gui;
        bool found = false;
        std::string error;
        std::vector<fp::ShadingInput> inputs = fp::mentalray::declaredInputs(declaration);
        const bool applied = mentalrayHost::parseShaderGui(text, "p.mi", "gui_paint", gui, found, error) &&
                             fp::mentalray::applyGuiHints(gui, declaration, "p.mi", inputs, error);
        EXPECT_EQ(applied, std::string(c.message).empty()) << c.controls << ": " << error;
        if (applied) {
            EXPECT_EQ(inputs[0].label, "Gloss");
            EXPECT_EQ(inputs[0].softMax, 2.0);
            EXPECT_EQ(inputs[1].label, "On");  // no hint: its name, readable
        } else {
            EXPECT_NE(error.find(c.message), std::string::npos) << c.controls << ": " << error;
        }
    }
}
