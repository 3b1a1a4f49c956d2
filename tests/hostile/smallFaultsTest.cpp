// The smaller faults of hostile input: echoes of huge tokens, images too
// small for their labels, and models at extreme scales rendered without NaN.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <mentalrayHost/shaderDeclaration.h>

#include "craftedModels.h"
#include "toolProcess.h"

namespace fs = std::filesystem;

TEST(HostileMessages, EveryEchoOfInputIsCutShort) {
    const fs::path directory = testDirectory();
    const std::string huge(100000, 'q');
    std::ofstream(directory / "key.jsonl") << "{\"" << huge << "\":1}\n";
    std::ofstream(directory / "open.jsonl") << "{\"a\":\"" << huge << "\n";
    const std::string commands[] = {
        "shade --host maya key.jsonl",
        "shade --host mentalray key.jsonl",
        "shade --host maya open.jsonl",
        "render --host maya --size " + huge,
        "render --host maya --set " + huge + "=1",
        "render --host mentalray --set color=" + huge,
        "render --host both --set " + huge,
        "sweep --host maya --vary diffuse=" + huge + ":1:3",
        "sweep --host maya --vary " + huge,
    };
    for (const std::string& command : commands) {
        const ToolRun run = runTool(directory, command);
        EXPECT_NE(run.status, 0) << command.substr(0, 60);
        // Short beside the input (an unknown name's message lists the known ones)
        EXPECT_LT(run.err.size(), 1500u) << command.substr(0, 60) << "\n" << run.err.substr(0, 400);
        EXPECT_NE(run.err.find("qqq... (100"), std::string::npos) << command.substr(0, 60) << "\n"
                                                                   << run.err.substr(0, 400);
    }
    fs::remove_all(directory);

    // A declaration's words
    const std::string declarations[] = {
        "declare shader color \"s\" (" + huge + " \"p\") version 1 end declare\n",
        "declare shader color \"s\" (scalar \"" + huge + "\" default x) version 1 end declare\n",
        "declare shader color \"s\" (scalar \"p\" default " + huge + ") version 1 end declare\n",
    };
    for (const std::string& text : declarations) {
        std::istringstream in(text);
        mentalrayHost::ShaderDeclaration declaration;
        std::string error;
        EXPECT_FALSE(mentalrayHost::parseShaderDeclaration(in, "big.mi", declaration, error));
        EXPECT_LT(error.size(), 200u) << error.substr(0, 200);
        EXPECT_NE(error.find("... (100"), std::string::npos) << error.substr(0, 200);
    }
}

TEST(HostileMessages, ImagesTooSmallForTheirLabelsRender) {
    const fs::path directory = testDirectory();
    for (const char* size : {"1x1", "3x3", "5x2"}) {
        const std::string commands[] = {
            std::string("render --host both --spp 1 --out tiny.png --size ") + size,
            std::string("sweep --host maya --spp 1 --vary diffuse=0:1:2 --out tiny.png --size ") + size,
        };
        for (const std::string& command : commands) {
            const ToolRun run = runTool(directory, command);
            EXPECT_EQ(run.status, 0) << command << "\n" << run.err;
        }
    }
    fs::remove_all(directory);
}

TEST(HostileModels, ExtremeScalesRenderWithoutNaN) {
    // The mental ray shader places its noise by texture coordinates, so its
    // renders test the geometry alone at any scale; texture coordinates at
    // the top of single precision must not overflow when interpolated.
    const fs::path directory = testDirectory();
    const std::pair<std::string, std::string> models[] = {
        {"box1e-12.obj", boxObj(1e-12)},
        {"box1e18.obj", boxObj(1e18)},
        {"edge.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 3.4e38 3.4e38\nvt -3.4e38 3.4e38\nvt 3.4e38 -3.4e38\n"
                     "f 1/1 2/2 3/3\n"},
    };
    for (const auto& [name, text] : models) {
        std::ofstream(directory / name) << text;
        const ToolRun run = runTool(directory, "render --host mentalray --size 48x48 --spp 2 --out m.png --mesh " + name);
        EXPECT_EQ(run.status, 0) << name << "\n" << run.err;
        EXPECT_EQ(run.err.find("not finite"), std::string::npos) << name << "\n" << run.err;
    }
    fs::remove_all(directory);
}

// Needs the solid noise's conversion of coordinates beyond 32 bits mended
// (a change to the shading core made apart from the model reading).
TEST(HostileModels, AModelOfSize1e8RendersWithoutNaNInMaya) {
    const fs::path directory = testDirectory();
    std::ofstream(directory / "box1e8.obj") << boxObj(1e8);
    const ToolRun run = runTool(directory, "render --host maya --size 64x64 --spp 1 --out m.png --mesh box1e8.obj");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("not finite"), std::string::npos) << run.err;
    fs::remove_all(directory);
}
