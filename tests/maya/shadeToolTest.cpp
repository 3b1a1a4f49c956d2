// flakecoat shade --host maya, run as a user runs it: its output agrees bit
// for bit with the colour evaluation called directly on the same values, and
// bad lines are reported by line and key while the others are evaluated.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "colorEvaluation.h"

using flakecoat::maya::ColorInputs;
using flakecoat::maya::LightElement;

namespace {

struct ToolRun {
    int exitStatus;
    std::string out;
    std::string err;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class MayaShadeTool : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/flakecoat-shade-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        dir = pattern;
    }
    void TearDown() override {
        for (const char* name : {"/in.jsonl", "/out.txt", "/err.txt"}) std::remove((dir + name).c_str());
        rmdir(dir.c_str());
    }

    // Runs the tool on the given input, read from a file or from "-".
    ToolRun run(const std::string& input, bool fromStdin = false, const std::string& plugin = FLAKECOAT_PLUGIN_PATH) {
        std::ofstream(dir + "/in.jsonl") << input;
        const std::string command = std::string(FLAKECOAT_TOOL_PATH) + " shade --host maya --plugin " + plugin +
                                    (fromStdin ? " - < " : " ") + dir + "/in.jsonl > " + dir + "/out.txt 2> " + dir +
                                    "/err.txt";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(dir + "/out.txt"), readFile(dir + "/err.txt")};
    }

    std::string dir;
};

// A number as the tool reads it back to the same float.
std::string num(float v) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.9g", double(v));
    return text;
}
std::string vec(const MFloatVector& v) { return "[" + num(v.x) + "," + num(v.y) + "," + num(v.z) + "]"; }

// One sample: the values given to both paths.
struct Case {
    ColorInputs inputs;
    MFloatVector normalCamera{1.0f, 1.0f, 1.0f};
    MFloatVector transparency{0.0f, 0.0f, 0.0f};
    std::vector<LightElement> lights;
    bool hasTrace = false;
    MFloatVector trace;

    std::string json() const {
        const ColorInputs& in = inputs;
        std::string s = "{\"color\":" + vec(in.color) + ",\"ambientColor\":" + vec(in.ambientColor) +
                        ",\"incandescence\":" + vec(in.incandescence) + ",\"transparency\":" + vec(transparency) +
                        ",\"diffuse\":" + num(in.diffuse) + ",\"depthRange\":[" + num(in.depthRangeMin) + "," +
                        num(in.depthRangeMax) + "],\"refractiveIndex\":[" + num(in.refractiveIndex[0]) + "," +
                        num(in.refractiveIndex[1]) + "," + num(in.refractiveIndex[2]) + "],\"specular\":[" +
                        num(in.specularMin) + "," + num(in.specularMax) + "],\"specularPower\":" +
                        num(in.specularPower) + ",\"frequency\":[" + num(in.frequencyX) + "," + num(in.frequencyY) +
                        "],\"normalDeviation\":" + num(in.normalDeviation) + ",\"seed\":" + num(in.seed) +
                        ",\"reflectivity\":" + num(in.reflectivity) + ",\"placementMatrix\":[";
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) s += num(in.placementMatrix[r][c]) + (r == 3 && c == 3 ? "]" : ",");
        s += ",\"rayDirection\":" + vec(in.rayDirection) + ",\"pointCamera\":" + vec(in.pointCamera) +
             ",\"pointWorld\":" + vec(in.pointWorld) + ",\"normalCamera\":" + vec(normalCamera) +
             ",\"rayDepth\":" + std::to_string(in.rayDepth) + ",\"raySampler\":" + (in.raySampler ? "true" : "false") +
             ",\"objectId\":" + (in.objectId ? "true" : "false") + ",\"lights\":[";
        for (std::size_t i = 0; i < lights.size(); ++i) {
            const LightElement& l = lights[i];
            s += std::string(i ? "," : "") + "{\"lightIntensity\":" + vec(l.intensity) +
                 ",\"lightDirection\":" + vec(l.direction) + ",\"lightAmbient\":" + (l.ambient ? "true" : "false") +
                 ",\"lightDiffuse\":" + (l.diffuse ? "true" : "false") +
                 ",\"lightSpecular\":" + (l.specular ? "true" : "false") + "}";
        }
        s += "]";
        if (hasTrace) s += ",\"trace\":" + vec(trace);
        return s + "}";
    }
};

const Case* currentCase = nullptr;  // the direct evaluation's tracer reads it (single-threaded)

MStatus traceCurrentCase(const MFloatVector&, const MFloatVector&, const void*, const void*, short,
                         MFloatVector& resultColor, MFloatVector&, bool) {
    if (currentCase && currentCase->hasTrace) resultColor = currentCase->trace;
    return MS::kSuccess;
}

std::string expectedLine(const Case& c) {
    MFloatVector normal = c.normalCamera;
    std::vector<LightElement> lights = c.lights;
    currentCase = &c;
    const MFloatVector color = flakecoat::maya::evaluateColor(c.inputs, normal, lights.data(), int(lights.size()),
                                                              c.transparency, traceCurrentCase);
    currentCase = nullptr;
    return num(color.x) + " " + num(color.y) + " " + num(color.z) + "\n";
}

const void* const kNonNull = &kNonNull;

std::vector<Case> cases() {
    std::vector<Case> all(6);
    // 0: the node's defaults, given explicitly.
    // 1: a lit eye-ray sample with a traced reflection.
    all[1].inputs.raySampler = kNonNull;
    all[1].inputs.objectId = kNonNull;
    all[1].inputs.rayDirection = MFloatVector(0.1f, -0.2f, -0.97f);
    all[1].inputs.pointCamera = MFloatVector(0.3f, -0.4f, -5.0f);
    all[1].inputs.pointWorld = MFloatVector(0.31f, 1.7f, -0.2f);
    all[1].normalCamera = MFloatVector(0.2f, 0.3f, 0.93f);
    all[1].hasTrace = true;
    all[1].trace = MFloatVector(0.9f, 0.8f, 0.7f);
    LightElement key;
    key.intensity = MFloatVector(1.0f, 0.95f, 0.9f);
    key.direction = MFloatVector(0.4f, 0.5f, 0.77f);
    key.specular = true;
    LightElement fill;
    fill.intensity = MFloatVector(0.3f, 0.3f, 0.35f);
    fill.direction = MFloatVector(-0.6f, 0.1f, 0.79f);
    LightElement ambient;
    ambient.intensity = MFloatVector(0.2f, 0.2f, 0.2f);
    ambient.diffuse = false;
    all[1].lights = {key, fill, ambient};
    // 2: the same at rayDepth 1 (no trace), transparent, other indices.
    all[2] = all[1];
    all[2].inputs.rayDepth = 1;
    all[2].transparency = MFloatVector(0.5f, 0.25f, 0.0f);
    all[2].inputs.refractiveIndex[0] = 1.0f;
    all[2].inputs.refractiveIndex[2] = 2.1f;
    // 3: no sampler: the eye direction is pointCamera; a placed, scaled noise.
    all[3] = all[1];
    all[3].inputs.raySampler = nullptr;
    all[3].inputs.placementMatrix[0][0] = 2.0f;
    all[3].inputs.placementMatrix[1][2] = 0.5f;
    all[3].inputs.placementMatrix[3][1] = 7.0f;
    all[3].inputs.frequencyX = 37.5f;
    all[3].inputs.seed = -12.25f;
    all[3].inputs.depthRangeMin = 0.0f;
    all[3].inputs.depthRangeMax = 300.0f;
    // 4: user colours and weights.
    all[4] = all[1];
    all[4].inputs.color = MFloatVector(0.8f, 0.1f, 0.05f);
    all[4].inputs.ambientColor = MFloatVector(0.1f, 0.1f, 0.2f);
    all[4].inputs.incandescence = MFloatVector(0.01f, 0.0f, 0.02f);
    all[4].inputs.diffuse = 0.9f;
    all[4].inputs.specularPower = 1.5f;
    all[4].inputs.specularMin = 20.0f;
    all[4].inputs.specularMax = 7.0f;
    all[4].inputs.normalDeviation = 3.0f;
    all[4].inputs.reflectivity = 0.25f;
    // 5: a light behind the surface only.
    all[5].lights = {key};
    all[5].lights[0].direction = MFloatVector(0.0f, 0.0f, -1.0f);
    all[5].normalCamera = MFloatVector(0.0f, 0.0f, 1.0f);
    return all;
}

}  // namespace

TEST_F(MayaShadeTool, AgreesBitForBitWithTheEvaluationCalledDirectly) {
    std::string input, expected;
    for (const Case& c : cases()) {
        input += c.json() + "\n";
        expected += expectedLine(c);
    }
    const ToolRun result = run(input);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, expected);
}

TEST_F(MayaShadeTool, MissingKeysTakeTheNodeAndLightDataDefaults) {
    // Only some keys: the rest are the node's defaults, the light's missing
    // keys the light-data default (intensity 0, so the ambient light adds 0).
    Case c;
    c.lights = {LightElement()};
    c.lights[0].direction = MFloatVector(0.0f, 0.0f, 1.0f);
    c.lights[0].intensity = MFloatVector(0.5f, 0.5f, 0.5f);
    const ToolRun result =
        run("{}\n{\"lights\":[{\"lightDirection\":[0,0,1],\"lightIntensity\":[0.5,0.5,0.5]}]}\n", true);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, expectedLine(Case()) + expectedLine(c));
}

TEST_F(MayaShadeTool, BadLinesAreReportedByLineAndKeyAndTheOthersStillEvaluated) {
    const std::string input =
        "{}\n"
        "{\"colour\":[1,1,1]}\n"
        "{\"diffuse\":\"high\"}\n"
        "{\"seed\": 5\n"
        "\n"
        "{\"lights\":[{\"lightDirection\":[0,0,1,2]}]}\n"
        "{\"rayDepth\":1}\n"
        "{\"refractiveIndex\":[0.5,1,1]}\n"
        "[1,2,3]\n";
    const ToolRun result = run(input);
    EXPECT_EQ(result.exitStatus, 1);
    Case depthOne;
    depthOne.inputs.rayDepth = 1;
    EXPECT_EQ(result.out, expectedLine(Case()) + "error\nerror\nerror\nerror\n" + expectedLine(depthOne) +
                              "error\nerror\n");
    const std::string file = dir + "/in.jsonl:";
    std::istringstream errors(result.err);
    std::vector<std::string> lines;
    for (std::string line; std::getline(errors, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 6u) << result.err;
    EXPECT_EQ(lines[0], "flakecoat shade: " + file + "2: key \"colour\": unknown key");
    EXPECT_EQ(lines[1], "flakecoat shade: " + file + "3: key \"diffuse\": expected a number");
    EXPECT_EQ(lines[2].rfind("flakecoat shade: " + file + "4: malformed JSON: ", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3], "flakecoat shade: " + file + "6: key \"lights[0].lightDirection\": expected an array of 3 numbers");
    EXPECT_EQ(lines[4].rfind("flakecoat shade: " + file + "8: key \"refractiveIndex\": value 0.5", 0), 0u) << lines[4];
    EXPECT_EQ(lines[5], "flakecoat shade: " + file + "9: expected a JSON object");
}

TEST_F(MayaShadeTool, UnloadablePluginIsAClearError) {
    const ToolRun result = run("{}\n", false, "/nonexistent/flakeCoat.so");
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("cannot open /nonexistent/flakeCoat.so"), std::string::npos) << result.err;
}

TEST_F(MayaShadeTool, AttributesCommandListsEveryAttributeOnce) {
    const std::string command = std::string(FLAKECOAT_TOOL_PATH) + " attributes --plugin " + FLAKECOAT_PLUGIN_PATH +
                                " > " + dir + "/out.txt 2> " + dir + "/err.txt";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::istringstream out(readFile(dir + "/out.txt"));
    int rows = 0;
    bool header = false;
    for (std::string line; std::getline(out, line);) {
        if (line.rfind("long name", 0) == 0) {
            header = true;
            continue;
        }
        if (header && !line.empty()) ++rows;
    }
    EXPECT_EQ(rows, 81);
    const std::string text = readFile(dir + "/out.txt");
    EXPECT_NE(text.find("node type  flakeCoat, id 465269, classification \"shader/surface\""), std::string::npos);
    EXPECT_NE(text.find("refractiveIndex        irf    float3       RWSK...  min 1 1 1"), std::string::npos) << text;
}
