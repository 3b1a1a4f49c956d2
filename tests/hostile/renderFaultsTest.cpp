// flakecoat render against faults: bounds refused by name before anything
// is allocated and memory running out; none leaves a file behind (signals:
// stopRequestsTest.cpp).

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "image/imageWriter.h"
#include "toolProcess.h"

namespace fp = flakecoat::preview;
namespace fs = std::filesystem;

TEST(HostileRender, BoundsAndUnusableInputsAreRefusedByName) {
    const fs::path directory = testDirectory();
    fs::create_directory(directory / "sky");
    fp::Framebuffer sky;
    sky.resize(4, 2);
    std::string error;
    ASSERT_TRUE(fp::writeImageFile((directory / "sky.exr").string(), sky, fp::ViewTransform(), error)) << error;
    const std::pair<const char*, const char*> cases[] = {
        {"--size 8193x8192", "--size 8193x8192: 67117056 pixels is over the bound of 67108864 pixels (--max-pixels"},
        {"--size 64x64 --max-pixels 4095", "4096 pixels is over the bound of 4095 pixels"},
        {"--threads -1", "--threads -1: expected 1 to 1024, or 0 for every core"},
        {"--env sky", "--env sky: it is a directory"},
        {"--env sky.exr --max-env-pixels 7", "4 x 2 pixels is over the bound of 7 pixels for an environment"},
    };
    for (const auto& [arguments, message] : cases) {
        const ToolRun run = runTool(directory, std::string("render --host mentalray --out ball.png ") + arguments);
        EXPECT_EQ(run.status, 1) << arguments;
        EXPECT_NE(run.err.find(message), std::string::npos) << arguments << "\n" << run.err;
    }
    EXPECT_EQ(entryCount(directory), 2);
    fs::remove_all(directory);
}

TEST(HostileRender, RunningOutOfMemoryIsReportedAndLeavesNoFile) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "sanitizers reserve more address space than the limit allows";
#else
    const fs::path directory = testDirectory();
    // 16384 x 16384 needs 4 GiB for its linear pixels alone.
    const ToolRun run = runTool(directory,
                                "render --host maya --size 16384x16384 --max-pixels 268435456 --spp 1 --out big.png",
                                "ulimit -v 2000000;");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("out of memory rendering 16384x16384; no image written"), std::string::npos) << run.err;
    EXPECT_EQ(entryCount(directory), 0);
    fs::remove_all(directory);
#endif
}
