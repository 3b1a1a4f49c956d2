// `flakecoat sweep` run as a user runs it: a sheet of the planned size, the
// same on one thread as on two, and bad input refused before rendering.

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "image/contactSheet.h"

namespace fs = std::filesystem;
namespace fp = flakecoat::preview;

namespace {

int runSweep(const std::string& arguments, std::string& output) {
    FILE* pipe = popen((std::string(FLAKECOAT_TOOL) + " sweep " + arguments + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    std::array<char, 4096> buffer;
    size_t n;
    output.clear();
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
    const int raw = pclose(pipe);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class SweepCommand : public ::testing::Test {
protected:
    void SetUp() override {
        directory = fs::temp_directory_path() / ("flakecoat-sweep-test-" + std::to_string(getpid()));
        fs::remove_all(directory);
        fs::create_directories(directory);
    }
    void TearDown() override { fs::remove_all(directory); }
    fs::path directory;
};

TEST_F(SweepCommand, TheSheetIsTheSameOnOneAndTwoThreads) {
    std::string output;
    const std::string common =
        "--host maya --shape swatch --vary normalDeviation=0:4:3 --vary reflectivity=0:1:2 --size 24x16 --spp 2";
    ASSERT_EQ(runSweep(common + " --threads 1 --out " + (directory / "one.exr").string(), output), 0) << output;
    ASSERT_EQ(runSweep(common + " --threads 2 --out " + (directory / "two.exr").string(), output), 0) << output;
    EXPECT_EQ(contents(directory / "one.exr"), contents(directory / "two.exr"));

    // A 3 x 2 grid of 24 x 16 cells, its PNG as large as the layout says.
    ASSERT_EQ(runSweep(common + " --out " + (directory / "grid.png").string(), output), 0) << output;
    const std::string png = contents(directory / "grid.png");
    ASSERT_GT(png.size(), 24u);
    const auto word = [&png](size_t at) {
        return int((unsigned char)png[at]) << 24 | int((unsigned char)png[at + 1]) << 16 |
               int((unsigned char)png[at + 2]) << 8 | int((unsigned char)png[at + 3]);
    };
    const fp::SheetGeometry g = fp::sheetGeometry(24, 16, 3, 2, true);
    EXPECT_EQ(word(16), g.width);
    EXPECT_EQ(word(20), g.height);
}

TEST_F(SweepCommand, BadInputIsRefusedBeforeAnythingRenders) {
    const std::pair<const char*, const char*> cases[] = {
        {"--host maya --vary glossiness=0:1:3", "--vary glossiness: maya has no shading input named 'glossiness'"},
        {"--host maya --vary diffuse=0:one:3", "'one' is not a number"},
        {"--host maya --vary diffuse=0:1:40", "STEPS must be a whole number from 2 to 16"},
        {"--host mentalray --vary diffuse=0:1:16 --vary seed=0:15:16 --size 512x512", "more than 16777216"},
        {"--host maya --size 8x8", "give one --vary (a row) or two (a grid), not 0"},
        {"--host maya --vary diffuse=0:1:2 --vary seed=0:1:2 --vary reflectivity=0:1:2", "not 3"},
        {"--host maya --vary diffuse=0:1:2 --set diffuse=0.5", "--set diffuse: the input is varied by --vary"},
        {"--host both --vary placementMatrix=0:1:2", "mentalray has no shading input named 'placementMatrix'"},
    };
    for (const auto& [arguments, message] : cases) {
        std::string output;
        const fs::path sheet = directory / "sheet.png";
        EXPECT_EQ(runSweep(std::string(arguments) + " --out " + sheet.string(), output), 1) << arguments;
        EXPECT_NE(output.find(message), std::string::npos) << arguments << "\n" << output;
        EXPECT_TRUE(fs::is_empty(directory)) << arguments;
    }
}

}  // namespace
