// Crafted environment files and outputs that must not be replaced, at the
// library level: the reader survives any data window and bounds what it
// allocates; the pending output refuses what users expect left alone.

#include <sys/stat.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <ImfHeader.h>
#include <ImfRgbaFile.h>
#include <gtest/gtest.h>

#include "image/exrReader.h"
#include "image/pendingOutput.h"
#include "toolProcess.h"

namespace fp = flakecoat::preview;
namespace fs = std::filesystem;

namespace {

class CraftedFiles : public ::testing::Test {
protected:
    void SetUp() override { directory = testDirectory(); }
    void TearDown() override { fs::remove_all(directory); }
    fs::path directory;
};

// A w x h EXR whose data window starts at (x0, y0); pixel (i, j) of the
// window has red i, green j.
std::string writeWindow(const fs::path& path, int x0, int y0, int w, int h) {
    std::vector<Imf::Rgba> pixels(size_t(w) * size_t(h));
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) pixels[size_t(j) * size_t(w) + size_t(i)] = Imf::Rgba(float(i), float(j), 0.5f);
    Imf::Header header(Imath::Box2i({0, 0}, {w - 1, h - 1}), Imath::Box2i({x0, y0}, {x0 + w - 1, y0 + h - 1}));
    Imf::RgbaOutputFile file(path.c_str(), header, Imf::WRITE_RGB);
    const std::uint64_t offset = std::uint64_t(std::int64_t(x0) + std::int64_t(y0) * w) * sizeof(Imf::Rgba);
    file.setFrameBuffer(reinterpret_cast<Imf::Rgba*>(reinterpret_cast<std::uintptr_t>(pixels.data()) - offset), 1,
                        size_t(w));
    file.writePixels(h);
    return path.string();
}

// The file's bytes with its data window replaced (the pixel data no longer
// matches it: only the header is meant to be read).
std::string withDataWindow(const std::string& path, const fs::path& out, const std::int32_t corners[4]) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string tag("dataWindow\0box2i\0", 17);
    const std::string::size_type at = bytes.find(tag);
    if (at == std::string::npos) return "";
    std::memcpy(&bytes[at + tag.size() + 4], corners, 16);  // after the attribute's 4-byte size
    std::ofstream(out, std::ios::binary) << bytes;
    return out.string();
}

}  // namespace

TEST_F(CraftedFiles, DataWindowsAnywhereInThePlaneAreRead) {
    // Origins whose offset from the buffer overflows 32 bits (the crash: y0 *
    // width) or lies far below zero; OpenEXR allows corners within +-2^30.
    const int origins[][2] = {{0, 220000000}, {-1000000000, -1000000000}, {1000000000, 1000000000}, {5, -3}};
    for (const auto& origin : origins) {
        const std::string path = writeWindow(directory / "window.exr", origin[0], origin[1], 10, 3);
        fp::LatLongImage image;
        std::string error;
        ASSERT_TRUE(fp::readLatLongExr(path, image, error)) << origin[0] << ", " << origin[1] << ": " << error;
        ASSERT_EQ(image.width, 10);
        ASSERT_EQ(image.height, 3);
        EXPECT_EQ(image.rgb[(2 * 10 + 7) * 3 + 0], 7.0f);  // red holds x, green y within the window
        EXPECT_EQ(image.rgb[(2 * 10 + 7) * 3 + 1], 2.0f);
    }
}

TEST_F(CraftedFiles, AbsurdOrOversizedDataWindowsAreRefusedBeforeAllocating) {
    const std::string small = writeWindow(directory / "small.exr", 0, 0, 4, 2);
    const std::int32_t windows[][4] = {
        {INT_MIN, 0, INT_MAX, 0},              // 2^32 wide: overflows a 32-bit width
        {0, 0, 1 << 20, 1 << 20},              // 2^40 pixels
        {0, 0, 3, -5},                         // inverted
        {0, 0, 70000, 70000},                  // over the bound, not absurd
    };
    for (const auto& corners : windows) {
        const std::string path = withDataWindow(small, directory / "crafted.exr", corners);
        ASSERT_FALSE(path.empty());
        fp::LatLongImage image;
        std::string error;
        EXPECT_FALSE(fp::readLatLongExr(path, image, error, 100000000)) << corners[2];
        EXPECT_NE(error.find(path), std::string::npos) << error;
    }
    // An attribute claiming 2 GB in a file of a few hundred bytes.
    std::ifstream in(small, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string::size_type at = bytes.find(std::string("screenWindowWidth\0float\0", 24));
    ASSERT_NE(at, std::string::npos);
    std::memcpy(&bytes[at + 24], "\xff\xff\xff\x7f", 4);
    fp::LatLongImage image;
    std::string error;
    EXPECT_FALSE(fp::readLatLongExrBytes(bytes.data(), bytes.size(), "claims.exr", image, error));
    EXPECT_NE(error.find("claims.exr: header attribute 'screenWindowWidth' claims 2147483647 bytes"), std::string::npos)
        << error;

    EXPECT_FALSE(fp::readLatLongExr(small, image, error, 7));
    EXPECT_NE(error.find("4 x 2 pixels is over the bound of 7 pixels"), std::string::npos) << error;
    EXPECT_TRUE(fp::readLatLongExr(small, image, error, 8)) << error;
    // Taller or wider than the bound: OpenEXR would refuse it in its own words
    for (const auto& [w, h] : {std::pair{2, 9}, std::pair{9, 1}}) {
        const std::string narrow = writeWindow(directory / "narrow.exr", 0, 0, w, h);
        EXPECT_FALSE(fp::readLatLongExr(narrow, image, error, 8));
        EXPECT_EQ(error, narrow + ": " + std::to_string(w) + " x " + std::to_string(h) +
                             " pixels is over the bound of 8 pixels for an environment (--max-env-pixels raises it)");
    }
}

TEST_F(CraftedFiles, OutputsRefuseToReplaceReadOnlyFilesLinksAndSpecialFiles) {
    const fs::path readOnly = directory / "readonly.png";
    std::ofstream(readOnly) << "kept";
    chmod(readOnly.c_str(), 0444);
    const fs::path link = directory / "link.png";
    fs::create_symlink(directory / "target.png", link);
    const fs::path fifo = directory / "fifo.png";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const std::pair<fs::path, const char*> refused[] = {
        {readOnly, "the file is read-only"}, {link, "it is a symbolic link"}, {fifo, "it is not a regular file"}};
    for (const auto& [path, reason] : refused) {
        fp::PendingOutput output;
        std::string error;
        EXPECT_FALSE(output.open(path.string(), error)) << path;
        EXPECT_NE(error.find("cannot write " + path.string() + ": " + reason), std::string::npos) << error;
    }
    // A file that turns read-only during the render is not replaced either.
    const fs::path later = directory / "later.png";
    fp::PendingOutput output;
    std::string error;
    ASSERT_TRUE(output.open(later.string(), error)) << error;
    std::ofstream(later) << "kept";
    chmod(later.c_str(), 0444);
    EXPECT_FALSE(output.commit(error));
    EXPECT_NE(error.find("read-only"), std::string::npos) << error;
    EXPECT_EQ(std::distance(fs::directory_iterator(directory), fs::directory_iterator()), 4);  // no temporary left
    std::ifstream kept(readOnly);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept");
}

TEST_F(CraftedFiles, OutputsOfOneRunAreCommittedTogetherOrTheWrittenOnesNamed) {
    const auto pending = [&](const std::vector<std::string>& names) {
        std::vector<std::unique_ptr<fp::PendingOutput>> outputs;
        for (const std::string& name : names) {
            outputs.push_back(std::make_unique<fp::PendingOutput>());
            std::string error;
            EXPECT_TRUE(outputs.back()->open((directory / name).string(), error)) << error;
            std::ofstream(outputs.back()->temporaryPath()) << "new " << name;
        }
        return outputs;
    };
    const auto contents = [&](const std::string& name) {
        std::ifstream in(directory / name);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::vector<std::string> names = {"x-maya.png", "x-mentalray.png", "x-both.png"};

    // A destination that became read-only: none is written
    auto outputs = pending(names);
    std::ofstream(directory / "x-both.png") << "kept";
    chmod((directory / "x-both.png").c_str(), 0444);
    std::string error;
    EXPECT_FALSE(fp::commitTogether(outputs, error));
    EXPECT_EQ(error, "cannot write " + (directory / "x-both.png").string() +
                         ": the file is read-only; it is not replaced; no file was written");
    EXPECT_EQ(entryCount(directory), 1);
    EXPECT_EQ(contents("x-both.png"), "kept");

    // A rename that fails after the checks: the message says what was written
    chmod((directory / "x-both.png").c_str(), 0644);
    outputs = pending(names);
    fs::remove(outputs[1]->temporaryPath());
    EXPECT_FALSE(fp::commitTogether(outputs, error));
    EXPECT_EQ(error, "cannot write " + (directory / "x-mentalray.png").string() + ": No such file or directory (" +
                         (directory / "x-maya.png").string() + " was written; " +
                         (directory / "x-mentalray.png").string() + " and " + (directory / "x-both.png").string() +
                         " were not)");
    EXPECT_EQ(contents("x-maya.png"), "new x-maya.png");
    EXPECT_EQ(contents("x-both.png"), "kept");
    EXPECT_EQ(entryCount(directory), 2);

    // And all together
    outputs = pending(names);
    EXPECT_TRUE(fp::commitTogether(outputs, error)) << error;
    for (const std::string& name : names) EXPECT_EQ(contents(name), "new " + name);
    EXPECT_EQ(entryCount(directory), 3);
}
