// flakecoat shade against hostile input: each bad line is refused by line
// and reason while the lines around it are still evaluated, and every
// failure to read or write ends in a message and a non-zero exit.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "toolProcess.h"

namespace fs = std::filesystem;

namespace {

struct BadLine {
    const char* host;
    std::string line;
    std::string message;
};

// {"KEY":[ELEMENT,ELEMENT,...]} with count elements.
std::string manyLights(const std::string& key, const std::string& element, int count) {
    std::string lights;
    for (int i = 0; i < count; ++i) lights += (i ? "," : "") + element;
    return "{\"" + key + "\":[" + lights + "]}";
}

}  // namespace

TEST(HostileShadeInput, BadLinesAreRefusedByLineAndReason) {
    const BadLine cases[] = {
        {"maya", "{\"diffuse\":1e400}", ":2: number overflow parsing '1e400'"},
        {"maya", "{\"rayDepth\":18446744073709551615}", ":2: key \"rayDepth\": expected an integer from -32768"},
        {"maya", "{\"diffuse\":1e39}", ":2: key \"diffuse\": number outside the single-precision range"},
        {"maya", std::string("{\"diffuse\":0.5}\0{\"x\":1}", 23), ":2: a NUL byte at column 16"},
        {"maya", manyLights("lights", "{}", 1025), ":2: key \"lights\": 1025 lights; a sample takes at most 1024"},
        {"maya", "{\"a\":\"" + std::string(1 << 20, 'x') + "\"}", ":2: the line is longer than 1048576 bytes"},
        {"mentalray", "{\"seed\":18446744073709551615}", ":2: key \"seed\": expected an integer from"},
        {"mentalray", "{\"n_light\":-1}", ":2: key \"n_light\": a negative number of lights"},
        {"mentalray", "{\"diffuse\":1e400}", ":2: number overflow parsing '1e400'"},
        {"mentalray", std::string("{}\0garbage", 10), ":2: a NUL byte at column 3"},
        {"mentalray", manyLights("light", "1", 1025), ":2: key \"light\": 1025 lights; a sample takes at most 1024"},
    };
    const fs::path directory = testDirectory();
    for (const BadLine& c : cases) {
        // A good line either side: neither is lost to the bad one.
        std::ofstream(directory / "in.jsonl", std::ios::binary) << "{}\n" << c.line << "\n{}\n";
        const ToolRun run = runTool(directory, std::string("shade --host ") + c.host + " in.jsonl");
        SCOPED_TRACE(std::string(c.host) + ": " + c.line.substr(0, 60));
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find("flakecoat shade: in.jsonl" + c.message), std::string::npos) << run.err;
        const std::string good = c.host[1] == 'a' ? "0 0 0\n" : "0 0 0 1\n";
        EXPECT_EQ(run.out, good + "error\n" + good);
    }
    fs::remove_all(directory);
}

TEST(HostileShadeInput, ANonFiniteResultIsFlagged) {
    // No limit stops a mental ray index of 0: the declaration carries none.
    const fs::path directory = testDirectory();
    std::ofstream(directory / "in.jsonl") << R"({"refractiveIndex":[0,0,0],"light":["k"],)"
                                          << R"("lights":{"k":[{"color":[1,1,1],"direction":[0,0,1]}]}})" << "\n";
    const ToolRun run = runTool(directory, "shade --host mentalray in.jsonl");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("nan"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("in.jsonl:1: warning: the result is not a finite colour"), std::string::npos) << run.err;
    fs::remove_all(directory);
}

TEST(HostileShadeInput, FailedReadsWritesAndLibrariesAreErrors) {
    const fs::path directory = testDirectory();
    fs::create_directory(directory / "samples");
    std::ofstream(directory / "one.jsonl") << "{}\n";
    const std::string libraries = "LD_LIBRARY_PATH='" FLAKECOAT_LIBRARY_DIR "'";
    const std::pair<std::string, std::string> cases[] = {
        {"shade --host maya samples", "cannot read samples: it is a directory"},
        {"shade --host mentalray - <&-", "cannot read standard input"},
        {"shade --host maya - >/dev/full <one.jsonl", "cannot write the results: No space left on device"},
        {"attributes >/dev/full", "cannot write standard output"},
        // A bare name is the file here, not one found along the search path.
        {"shade --host maya --plugin flakeCoat.so - </dev/null", "cannot open ./flakeCoat.so"},
        {"shade --host mentalray --plugin missing.so - </dev/null", "./missing.so"},
    };
    for (const auto& [arguments, message] : cases) {
        const ToolRun run = runTool(directory, arguments, "export " + libraries + ";");
        EXPECT_NE(run.status, 0) << arguments;
        EXPECT_NE(run.err.find(message), std::string::npos) << arguments << "\n" << run.err;
    }
    fs::remove_all(directory);
}
