// The renderer's reading of .mi declarations: tarn_flakeCoat.mi laid out
// field by field as the shader's parameter block, and the faults the reader
// refuses with file and line.

#include <cstddef>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "shaderTestSupport.h"

using mentalrayHost::ParameterType;

TEST(Declaration, LaysOutTheShadersParameterBlockFieldByField) {
    const mentalrayHost::ShaderDeclaration& declared = testSupport::declaration();
    EXPECT_EQ(declared.name, "tarn_flakeCoat");
    EXPECT_EQ(declared.resultType, "color");
    EXPECT_EQ(declared.version, 1);
    EXPECT_EQ(declared.blockSize, int(sizeof(flakeCoatParameters)));

    using T = ParameterType;
    const struct {
        const char* name;
        std::size_t offset;
        ParameterType type;
    } block[] = {
        {"color", offsetof(flakeCoatParameters, color), T::Color},
        {"ambientColor", offsetof(flakeCoatParameters, ambientColor), T::Color},
        {"incandescence", offsetof(flakeCoatParameters, incandescence), T::Color},
        {"normalCamera", offsetof(flakeCoatParameters, normalCamera), T::Vector},
        {"diffuse", offsetof(flakeCoatParameters, diffuse), T::Scalar},
        {"depthRangeMin", offsetof(flakeCoatParameters, depthRangeMin), T::Scalar},
        {"depthRangeMax", offsetof(flakeCoatParameters, depthRangeMax), T::Scalar},
        {"refractiveIndex", offsetof(flakeCoatParameters, refractiveIndex), T::Vector},
        {"specularMin", offsetof(flakeCoatParameters, specularMin), T::Scalar},
        {"specularMax", offsetof(flakeCoatParameters, specularMax), T::Scalar},
        {"specularPower", offsetof(flakeCoatParameters, specularPower), T::Scalar},
        {"specularColor", offsetof(flakeCoatParameters, specularColor), T::Color},
        {"frequencyX", offsetof(flakeCoatParameters, frequencyX), T::Scalar},
        {"frequencyY", offsetof(flakeCoatParameters, frequencyY), T::Scalar},
        {"normalDeviation", offsetof(flakeCoatParameters, normalDeviation), T::Scalar},
        {"seed", offsetof(flakeCoatParameters, seed), T::Integer},
        {"reflectivity", offsetof(flakeCoatParameters, reflectivity), T::Scalar},
        {"useIrradiance", offsetof(flakeCoatParameters, useIrradiance), T::Boolean},
        {"irradianceColor", offsetof(flakeCoatParameters, irradianceColor), T::Color},
        {"light", offsetof(flakeCoatParameters, light), T::Light},
    };
    ASSERT_EQ(declared.parameters.size(), std::size(block));
    for (std::size_t i = 0; i < std::size(block); ++i) {
        const mentalrayHost::DeclaredParameter& parameter = declared.parameters[i];
        EXPECT_EQ(parameter.name, block[i].name);
        EXPECT_EQ(parameter.offset, int(block[i].offset)) << block[i].name;
        EXPECT_EQ(parameter.type, block[i].type) << block[i].name;
    }
    const mentalrayHost::DeclaredParameter& light = declared.parameters.back();
    EXPECT_TRUE(light.isArray);
    EXPECT_EQ(light.firstIndexOffset(), int(offsetof(flakeCoatParameters, i_light)));
    EXPECT_EQ(light.countOffset(), int(offsetof(flakeCoatParameters, n_light)));

    // Defaults as the block holds them: a colour given three values is opaque.
    mentalrayHost::ParameterBlock filled(declared, 2);
    const flakeCoatParameters& p = filled.as<flakeCoatParameters>();
    EXPECT_EQ(p.color.g, 1.0f);
    EXPECT_EQ(p.color.a, 1.0f);
    EXPECT_EQ(p.depthRangeMin, 40.0f);
    EXPECT_EQ(p.seed, 1234);
    EXPECT_EQ(p.useIrradiance, miFALSE);
    EXPECT_EQ(p.i_light, 0);
    EXPECT_EQ(p.n_light, 0);
    EXPECT_EQ(filled.firstElementIndex(), 0);  // the array ends the block: its elements start at its slot
    EXPECT_EQ(filled.size(), sizeof(flakeCoatParameters) + sizeof(miTag));
}

// Fields after an array follow its one slot; the elements follow the block.
TEST(Declaration, FieldsAfterAnArrayFollowItsSlot) {
    std::istringstream text("declare shader scalar \"s\" (scalar \"a\", array light \"l\", color \"c\" default 1 2 3)\n"
                            "end declare\n");
    mentalrayHost::ShaderDeclaration declared;
    std::string error;
    ASSERT_TRUE(mentalrayHost::parseShaderDeclaration(text, "s.mi", declared, error)) << error;
    EXPECT_EQ(declared.find("l")->offset, 12);
    EXPECT_EQ(declared.find("c")->offset, 16);
    EXPECT_EQ(declared.blockSize, 32);

    mentalrayHost::ParameterBlock block(declared, 3);
    EXPECT_EQ(block.firstElementIndex(), 5);  // (32 - 12) / 4
    EXPECT_EQ(block.size(), 32u + 3 * 4);
    block.arrayElements()[0] = 9;
    EXPECT_EQ(block.at<float>(16 + 12), 1.0f);  // the colour's alpha is untouched
}

TEST(Declaration, MalformedDeclarationsAreRefusedWithFileAndLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"declare shader color \"s\" (\n colour \"c\"\n)\nend declare", "m.mi:2: unknown parameter type 'colour'"},
        {"declare shader color \"s\" (\n scalar \"a\",\n integer \"a\"\n)\nend declare",
         "m.mi:3: parameter \"a\" is declared twice"},
        {"declare shader color \"s\" (\n array light \"l\",\n integer \"n_l\"\n) end declare",
         "m.mi:3: parameter \"n_l\" is declared twice"},
        {"declare shader color \"s\" (\n scalar \"a\"\n scalar \"b\"\n) end declare",
         "m.mi:3: expected ',' or ')' after a parameter, found 'scalar'"},
        {"declare shader color \"s\" (\n scalar \"a\",\n", "m.mi:3: expected a parameter type, found the end of the file"},
        {"declare shader color \"s\" (\n vector \"v\" default 1 2\n) end declare",
         "m.mi:3: \"v\" needs 3 default values, has 2"},
        {"declare shader color \"s\" (\n scalar \"a\" default 1 2\n) end declare",
         "m.mi:2: too many default values for \"a\""},
        {"declare shader color \"s\" (\n integer \"i\" default 1.5\n) end declare",
         "m.mi:2: default of \"i\": '1.5' is not a 32-bit integer"},
        {"declare shader color \"s\" (\n scalar \"a\" default x\n) end declare",
         "m.mi:2: default of \"a\": 'x' is not a number"},
        {"declare shader color \"s\" (\n array light \"l\" default 1\n) end declare",
         "m.mi:2: parameter \"l\" cannot take a default"},
        {"declare shader color \"s\" (\n struct \"t\"\n) end declare", "m.mi:2: parameter type 'struct' is not supported"},
        {"declare shader color \"s\" (\n scalar a\n) end declare", "m.mi:2: expected a quoted parameter name, found 'a'"},
        {"declare shader color \"s\" (\n scalar \"a\n) end declare", "unterminated quoted name"},
        {"declare shader \"s\" ()\nend declare", "m.mi:1: expected the shader's result type"},
        {"declare shader color \"s\" ()\nversion x\nend declare", "m.mi:2: expected a version number, found 'x'"},
        {"declare shader color \"s\" ()\ntrace on\nend declare", "m.mi:2: expected 'version', 'apply' or 'end declare'"},
        {"# nothing here\nlink \"x.so\"\n", "m.mi:3: no \"declare shader\""},
    };
    for (const auto& c : cases) {
        std::istringstream text(c.text);
        mentalrayHost::ShaderDeclaration declared;
        std::string error;
        EXPECT_FALSE(mentalrayHost::parseShaderDeclaration(text, "m.mi", declared, error)) << c.text;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.text << "\ngave: " << error;
        EXPECT_TRUE(declared.parameters.empty());
    }
}
