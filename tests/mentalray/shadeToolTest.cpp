// flakecoat shade --host mentalray: output format, light names and tags,
// connections, and the error paths.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitStatus;
    std::vector<std::string> lines;
    std::string errors;
};

std::string readFile(const std::string& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

ToolRun runShade(const std::string& input, const std::string& inputPath) {
    const std::string base = testing::TempDir() + "mentalray_shade_" + std::to_string(getpid());
    std::ofstream(inputPath) << input;
    const std::string command = std::string(FLAKECOAT_TOOL_PATH) + " shade --host mentalray " + inputPath + " >" +
                                base + ".out 2>" + base + ".err";
    const int status = std::system(command.c_str());
    ToolRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, {}, readFile(base + ".err")};
    std::istringstream out(readFile(base + ".out"));
    for (std::string line; std::getline(out, line);) run.lines.push_back(line);
    return run;
}

// Each process writes its own input file: ctest runs tests in parallel.
ToolRun runShade(const std::string& input) {
    return runShade(input, testing::TempDir() + "mentalray_shade_input_" + std::to_string(getpid()) + ".jsonl");
}

std::vector<double> valuesOf(const std::string& line) {
    std::istringstream fields(line);
    std::vector<double> values;
    for (double value; fields >> value;) values.push_back(value);
    return values;
}

// One white light along the normal; n = 1 and film depth 0 make the result
// 0.9330127 * 0.8 * 0.5 + 0.3 = 0.6732051 per channel (by hand).
const std::string kLitByHand =
    R"({"light":["key"],"lights":{"key":[{"color":[1,1,1],"direction":[0,0,1]}]},"refractiveIndex":[1,1,1],)"
    R"("depthRangeMin":0,"depthRangeMax":0,"color":[0.5,0.5,0.5],"diffuse":0.8,"specularPower":0.3,)"
    R"("reflectivity":0,"normal":[0,0,1],"dir":[0,0,-1],"tex":[0.5,0.5]})";

}  // namespace

TEST(ShadeTool, PrintsTheResultColourPerLine) {
    const ToolRun run = runShade(kLitByHand + "\n" + R"({"result":[0.2,0.3,0.4,0.7],"reflection":[1,0,0]})" + "\n");
    EXPECT_EQ(run.exitStatus, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    ASSERT_EQ(run.lines.size(), 2u);
    const std::vector<double> lit = valuesOf(run.lines[0]);
    ASSERT_EQ(lit.size(), 4u);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(lit[c], 0.6732051, 1e-6);
    EXPECT_EQ(lit[3], 1.0);
    // Default reflectivity 0.5: the entry halved plus half the reflection,
    // exact in float and printed with nine significant digits
    EXPECT_EQ(run.lines[1], "0.600000024 0.150000006 0.200000003 1");
}

TEST(ShadeTool, NamesAndTagsSelectTheLightSamples) {
    std::string twoLights = kLitByHand;
    twoLights.replace(twoLights.find(R"("light":["key"])"), 15, R"("light":["key",7])");
    twoLights.replace(twoLights.find(R"("lights":{)"), 10,
                      R"("lights":{"7":[{"color":[1,1,1],"direction":[0,0,1]}],)");
    std::string firstOnly = twoLights;
    firstOnly.replace(firstOnly.find(R"("reflectivity")"), 0, R"("n_light":1,)");
    const ToolRun run = runShade(twoLights + "\n" + firstOnly + "\n");
    ASSERT_EQ(run.lines.size(), 2u) << run.errors;
    EXPECT_NEAR(valuesOf(run.lines[0])[0], 2 * 0.6732051, 2e-6);
    EXPECT_NEAR(valuesOf(run.lines[1])[0], 0.6732051, 1e-6);
}

TEST(ShadeTool, AConnectionReplacesTheBlockValue) {
    const ToolRun run = runShade(R"({"reflectivity":0,"ambientColor":[1,1,1],"color":[0,0,1],)"
                             R"("connections":{"color":[0.5,0.25,0]}})"
                             "\n");
    ASSERT_EQ(run.lines.size(), 1u) << run.errors;
    EXPECT_EQ(run.lines[0], "0.5 0.25 0 1");
}

TEST(ShadeTool, ReportsBadLinesByNumberAndKeyAndGoesOn) {
    const std::string path = testing::TempDir() + "mentalray_bad_lines.jsonl";
    const ToolRun run = runShade(kLitByHand + "\n" +
                                 R"({"colr":[1,0,0]})" + "\n" +
                                 R"({"light":["a"],"n_light":2})" + "\n" +
                                 "{not json\n" +
                                 R"({"color":"red"})" + "\n" +
                                 R"({"lights":{"b":[]}})" + "\n" +
                                 "\n" + kLitByHand + "\n",
                             path);
    EXPECT_EQ(run.exitStatus, 1);
    ASSERT_EQ(run.lines.size(), 7u);
    EXPECT_NEAR(valuesOf(run.lines[0])[0], 0.6732051, 1e-6);
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(run.lines[i], "error");
    EXPECT_EQ(run.lines[6], run.lines[0]);
    EXPECT_NE(run.errors.find(path + ":2: key \"colr\": unknown key\n"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find(path + ":3: key \"n_light\": "), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find(path + ":4: malformed JSON: "), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find(path + ":5: key \"color\": expected an array"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find(path + ":6: key \"lights.b\": "), std::string::npos) << run.errors;
}

TEST(ShadeTool, AMissingInputFileFails) {
    const std::string command = std::string(FLAKECOAT_TOOL_PATH) +
                                " shade --host mentalray /nonexistent/input.jsonl >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 0);
}
