// Options that could switch a bound off or mean nothing, refused alike by
// every command that renders, and sweeps a sheet could not show.

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "toolProcess.h"

namespace fs = std::filesystem;

namespace {

// What each command needs besides the option under test; view stops before
// serving when an option is refused (and is stopped should it serve).
const std::pair<const char*, const char*> kCommands[] = {
    {"render", "render --host maya --out x.png"},
    {"sweep", "sweep --host maya --vary diffuse=0:1:2 --out x.png"},
    {"view", "view --port 0"},
};

}  // namespace

TEST(HostileOptions, BoundsAndEmptyPathsAreRefusedAlikeInEveryCommand) {
    const fs::path directory = testDirectory();
    const struct {
        const char* option;
        const char* message;
        bool sweepHasIt;
    } cases[] = {
        {"--max-pixels -5", "--max-pixels -5: expected a whole number of pixels from 1 to 268435456", false},
        {"--max-pixels 0", "--max-pixels 0: expected a whole number", false},
        {"--max-pixels 268435457", "--max-pixels 268435457: expected", false},
        {"--max-pixels 18446744073709551616", "--max-pixels 18446744073709551616: expected", false},
        {"--max-pixels 99999999999999999999999", "--max-pixels 99999999999999999999999: expected", false},
        {"--max-env-pixels -1", "--max-env-pixels -1: expected a whole number of pixels from 1 to 4294967296", true},
        {"--max-env-pixels 18446744073709551615", "--max-env-pixels 18446744073709551615: expected", true},
        {"--max-env-pixels 1e9", "--max-env-pixels 1e9: expected", true},
        {"--size 16384x16384", "--size 16384x16384: 268435456 pixels is over the bound of", true},
        {"--size 64x64 --max-pixels 4095", "4096 pixels is over the bound of 4095 pixels (--max-pixels raises it", false},
        {"--mesh ''", "--mesh: expected the path of an .obj model", true},
        {"--env ''", "--env: expected the path of an .exr image", true},
        {"--spp -1", "--spp -1: expected 1 to 4096 samples per pixel", true},
        {"--seed 18446744073709551616", "--seed 18446744073709551616: expected a whole number", true},
        {"--exposure inf", "--exposure: expected -20 to 20 stops", true},
        {"--orbit nan", "--orbit nan: expected a finite number of degrees", true},
        {"--elevation 90.5", "--elevation 90.5: expected -90 to 90 degrees", true},
        {"--elevation -91", "--elevation -91: expected -90 to 90 degrees", true},
        {"--zoom 0", "--zoom 0: expected a factor from 0.001 to 1000", true},
        {"--zoom 1e9", "--zoom 1e9: expected a factor from 0.001 to 1000", true},
        {"--fov 0", "--fov 0: expected 0.5 to 170 degrees", true},
        {"--fov 180", "--fov 180: expected 0.5 to 170 degrees", true},
        {"--frame tight", "--frame tight: expected fill or sphere", true},
        {"--shot macro", "--shot macro: expected whole or closeup", true},
    };
    for (const auto& [command, base] : kCommands)
        for (const auto& c : cases) {
            if (std::string(command) == "sweep" && !c.sweepHasIt) continue;
            if (std::string(command) == "view" && std::string(c.option).find("--spp") == 0) continue;
            const ToolRun run = runTool(directory, std::string(base) + " " + c.option, "timeout 60");
            EXPECT_EQ(run.status, 1) << command << " " << c.option << "\n" << run.err;
            EXPECT_NE(run.err.find(c.message), std::string::npos) << command << " " << c.option << "\n" << run.err;
            EXPECT_EQ(entryCount(directory), 0) << command << " " << c.option;
        }
    // A sheet's bound is its own, and the message says what sweep can change.
    const ToolRun run = runTool(directory, "sweep --host maya --vary diffuse=0:1:2 --size 8193x8192 --out x.png");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("the bound of a whole sheet; use a smaller --size"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("--max-pixels"), std::string::npos) << run.err;
    fs::remove_all(directory);
}

TEST(HostileOptions, SweepsRefuseAnInputWithItsOwnComponent) {
    const fs::path directory = testDirectory();
    const std::pair<const char*, const char*> cases[] = {
        {"--vary colorR=0:1:3 --vary color=0.1,0.2,0.3:0.9,0.8,0.7:3",
         "--vary color and --vary colorR: one is a component of the other"},
        {"--vary color=0:1:2 --vary colorR=0:1:2", "--vary colorR and --vary color: one is a component"},
        {"--vary color=0:1:2 --set colorR=0.9", "--set colorR: the input is varied by --vary color, of which it is"},
        {"--vary depthRangeMin=0:50:2 --set depthRange=10,20", "--set depthRange: the input is varied by --vary"},
        {"--vary seed=1:2:2 --vary seed=3:4:2", "--vary seed is given twice"},
    };
    for (const auto& [arguments, message] : cases) {
        const ToolRun run = runTool(directory, std::string("sweep --host maya --size 8x8 --out x.png ") + arguments);
        EXPECT_EQ(run.status, 1) << arguments;
        EXPECT_NE(run.err.find(message), std::string::npos) << arguments << "\n" << run.err;
        EXPECT_EQ(entryCount(directory), 0) << arguments;
    }
    // mental ray has no components: its own names vary side by side.
    const ToolRun run = runTool(directory, "sweep --host mentalray --size 8x8 --spp 1 --out x.png "
                                           "--vary depthRangeMin=0:50:2 --set depthRangeMax=20");
    EXPECT_EQ(run.status, 0) << run.err;
    fs::remove_all(directory);
}

TEST(HostileOptions, IntegersTakeTheirWholeRange) {
    const fs::path directory = testDirectory();
    const std::pair<const char*, int> cases[] = {
        {"--set seed=-2147483648", 0},
        {"--set seed=2147483647", 0},
        {"--set seed=-2147483649", 1},
        {"--set seed=2147483648", 1},
    };
    for (const auto& [setting, status] : cases) {
        const ToolRun run = runTool(directory, std::string("render --host mentalray --size 4x4 --spp 1 --out x.png ") +
                                                   setting);
        EXPECT_EQ(run.status, status) << setting << "\n" << run.err;
        if (status != 0) {
            EXPECT_NE(run.err.find("is out of the integer range"), std::string::npos) << run.err;
        }
    }
    fs::remove_all(directory);
}
