// tarn_flakeCoat.mi against the parameter block: the declared parameters,
// laid out by the renderer's rules, land on the documented offsets, and the
// declared defaults are the ones host programs fill in.

#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <mentalrayHost/parameterBlock.h>

namespace {

struct Declared {
    std::string type, name;
    std::vector<std::string> defaults;
    std::size_t offset;
};

// The declaration's parameters with the offsets the renderer gives them:
// colours 16 bytes, vectors 12, the rest 4; an array is its first-index and
// count integers followed by its slots.
std::vector<Declared> readDeclaration(std::string& version) {
    std::ifstream file(TARN_FLAKECOAT_MI_PATH);
    EXPECT_TRUE(file.good());
    const std::regex parameter(R"re(^\s*(color|vector|scalar|integer|boolean)\s+"(\w+)"\s+default\s+([^,]*),?\s*$)re");
    const std::regex array(R"re(^\s*array\s+light\s+"(\w+)"\s*$)re");
    const std::regex versionLine(R"re(^\s*version\s+(\d+)\s*$)re");
    const std::map<std::string, std::size_t> sizes{{"color", 16}, {"vector", 12}, {"scalar", 4}, {"integer", 4},
                                                   {"boolean", 4}};
    std::vector<Declared> declared;
    std::size_t offset = 0;
    std::string line;
    std::smatch match;
    while (std::getline(file, line)) {
        if (std::regex_match(line, match, parameter)) {
            std::istringstream values(match[3].str());
            std::vector<std::string> defaults;
            for (std::string value; values >> value;) defaults.push_back(value);
            declared.push_back({match[1], match[2], defaults, offset});
            offset += sizes.at(match[1]);
        } else if (std::regex_match(line, match, array)) {
            declared.push_back({"integer", "i_" + match[1].str(), {"0"}, offset});
            declared.push_back({"integer", "n_" + match[1].str(), {"0"}, offset + 4});
            declared.push_back({"light", match[1], {}, offset + 8});
            offset += 12;
        } else if (std::regex_match(line, match, versionLine)) {
            version = match[1];
        }
    }
    return declared;
}

}  // namespace

TEST(Declaration, MatchesTheBlockLayoutAndVersion) {
    const std::map<std::string, std::size_t> documented{
        {"color", 0},           {"ambientColor", 16},   {"incandescence", 32},  {"normalCamera", 48},
        {"diffuse", 60},        {"depthRangeMin", 64},  {"depthRangeMax", 68},  {"refractiveIndex", 72},
        {"specularMin", 84},    {"specularMax", 88},    {"specularPower", 92},  {"specularColor", 96},
        {"frequencyX", 112},    {"frequencyY", 116},    {"normalDeviation", 120}, {"seed", 124},
        {"reflectivity", 128},  {"useIrradiance", 132}, {"irradianceColor", 136}, {"i_light", 152},
        {"n_light", 156},       {"light", 160}};
    std::string version;
    const std::vector<Declared> declared = readDeclaration(version);
    EXPECT_EQ(version, "1");
    ASSERT_EQ(declared.size(), documented.size());
    for (const Declared& parameter : declared) {
        ASSERT_TRUE(documented.count(parameter.name)) << parameter.name;
        EXPECT_EQ(parameter.offset, documented.at(parameter.name)) << parameter.name;
    }
}

TEST(Declaration, DefaultsAreTheHostDefaults) {
    mentalrayHost::ParameterBlock block;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&block.parameters());
    std::string version;
    for (const Declared& parameter : readDeclaration(version)) {
        for (std::size_t i = 0; i < parameter.defaults.size(); ++i) {
            const unsigned char* at = bytes + parameter.offset + 4 * i;
            const std::string& text = parameter.defaults[i];
            if (parameter.type == "boolean") {
                std::int32_t value;
                std::memcpy(&value, at, 4);
                EXPECT_EQ(value, text == "on" ? 1 : 0) << parameter.name;
            } else if (parameter.type == "integer") {
                std::int32_t value;
                std::memcpy(&value, at, 4);
                EXPECT_EQ(value, std::stoi(text)) << parameter.name;
            } else {
                float value;
                std::memcpy(&value, at, 4);
                EXPECT_EQ(value, std::stof(text)) << parameter.name << "[" << i << "]";
            }
        }
    }
}
