// The view transform, PNG and EXR files, and outputs that cannot be written.
// Display values: the sRGB curve maps linear 0.5 to 0.7354 (188 of 255) and
// linear 0.18 to 0.4614 (118); linear 0.0031308 ends the straight segment
// at 0.04045 (10).

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include "image/exrReader.h"
#include "image/imageWriter.h"
#include "image/pendingOutput.h"
#include "image/viewTransform.h"

namespace fp = flakecoat::preview;
namespace fs = std::filesystem;

namespace {

// A fresh, empty directory per test.
class ImageFiles : public ::testing::Test {
protected:
    void SetUp() override {
        directory = fs::temp_directory_path() /
                    ("flakecoat-image-test-" + std::to_string(getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory);
        fs::create_directories(directory);
    }
    void TearDown() override { fs::remove_all(directory); }
    int entries() const { return int(std::distance(fs::directory_iterator(directory), fs::directory_iterator())); }
    fs::path directory;
};

fp::Framebuffer smallImage() {
    fp::Framebuffer image;
    image.resize(3, 2);
    const float values[6][4] = {{0.5f, 0.18f, 0.0f, 1.0f}, {2.0f, -1.0f, NAN, 0.5f}, {0.25f, 1.0f, 0.0031308f, 1.0f},
                                {1e6f, 0.0f, 0.0f, 1.0f},   {0.0f, 0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f, 1.0f}};
    for (int i = 0; i < 6; ++i) std::memcpy(&image.rgba[size_t(i) * 4], values[i], sizeof values[i]);
    return image;
}

}  // namespace

TEST(ViewTransform, SrgbCurveClampAndExposure) {
    EXPECT_EQ(fp::displayValue(0.5f, 1.0f), 188);
    EXPECT_EQ(fp::displayValue(0.18f, 1.0f), 118);
    EXPECT_EQ(fp::displayValue(0.0031308f, 1.0f), 10);
    EXPECT_EQ(fp::displayValue(0.0f, 1.0f), 0);
    EXPECT_EQ(fp::displayValue(1.0f, 1.0f), 255);
    EXPECT_EQ(fp::displayValue(7.0f, 1.0f), 255);    // clamped
    EXPECT_EQ(fp::displayValue(-1.0f, 1.0f), 0);
    EXPECT_EQ(fp::displayValue(NAN, 1.0f), 0);
    EXPECT_EQ(fp::displayValue(0.25f, 2.0f), 188);   // +1 stop doubles
    EXPECT_EQ(fp::alphaValue(0.5f), 128);            // alpha has no curve
}

TEST_F(ImageFiles, PngHoldsTheTransformedPixels) {
    const std::string path = (directory / "out.png").string();
    std::string error;
    ASSERT_TRUE(fp::writeImageFile(path, smallImage(), fp::ViewTransform(), error)) << error;
    EXPECT_EQ(entries(), 1);  // no temporary file left beside it

    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&png, path.c_str()));
    png.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(png));
    ASSERT_TRUE(png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr));
    EXPECT_EQ(png.width, 3u);
    EXPECT_EQ(png.height, 2u);
    const std::vector<png_byte> expectedFirstTwo = {188, 118, 0, 255, 255, 0, 0, 128};
    EXPECT_EQ(std::vector<png_byte>(pixels.begin(), pixels.begin() + 8), expectedFirstTwo);
}

TEST_F(ImageFiles, ExrRoundTripsLinearValuesAndClampsToTheHalfRange) {
    const std::string path = (directory / "out.exr").string();
    std::string error;
    ASSERT_TRUE(fp::writeImageFile(path, smallImage(), fp::ViewTransform(), error)) << error;
    fp::LatLongImage back;
    // The NaN pixel is refused by the environment reader, which names it.
    EXPECT_FALSE(fp::readLatLongExr(path, back, error));
    EXPECT_NE(error.find("(1, 0)"), std::string::npos) << error;

    fp::Framebuffer finite = smallImage();
    finite.rgba[6] = 3.0f;
    ASSERT_TRUE(fp::writeImageFile(path, finite, fp::ViewTransform(), error)) << error;
    ASSERT_TRUE(fp::readLatLongExr(path, back, error)) << error;
    ASSERT_EQ(back.width, 3);
    ASSERT_EQ(back.height, 2);
    // Values exact in half precision come back unchanged.
    EXPECT_EQ(back.rgb[0], 0.5f);
    EXPECT_EQ(back.rgb[3], 2.0f);
    EXPECT_EQ(back.rgb[4], -1.0f);
    EXPECT_EQ(back.rgb[6], 0.25f);
    EXPECT_EQ(back.rgb[9], 65504.0f);  // 1e6 clamped to the largest half
}

TEST_F(ImageFiles, UnwritablePathsFailClearlyAndLeaveNothing) {
    std::string error;
    // A missing directory.
    const std::string missing = (directory / "no-such-dir" / "out.png").string();
    EXPECT_FALSE(fp::writeImageFile(missing, smallImage(), fp::ViewTransform(), error));
    EXPECT_NE(error.find(missing), std::string::npos) << error;
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
    // A file where a directory should be.
    std::ofstream(directory / "plain").put('x');
    const std::string underFile = (directory / "plain" / "out.exr").string();
    EXPECT_FALSE(fp::writeImageFile(underFile, smallImage(), fp::ViewTransform(), error));
    EXPECT_NE(error.find("Not a directory"), std::string::npos) << error;
    // A directory in place of the file.
    fs::create_directory(directory / "taken.png");
    EXPECT_FALSE(fp::writeImageFile((directory / "taken.png").string(), smallImage(), fp::ViewTransform(), error));
    EXPECT_NE(error.find("directory"), std::string::npos) << error;
    // An unknown extension.
    EXPECT_FALSE(fp::writeImageFile((directory / "out.tiff").string(), smallImage(), fp::ViewTransform(), error));
    EXPECT_NE(error.find(".png or .exr"), std::string::npos) << error;
    EXPECT_EQ(entries(), 2);  // just "plain" and "taken.png"
}

TEST_F(ImageFiles, AFailedEncodingLeavesNoFileAndKeepsTheOldOne) {
    const fs::path path = directory / "out.png";
    std::ofstream(path) << "previous";
    fp::Framebuffer empty;  // 0 x 0: libpng refuses it
    std::string error;
    EXPECT_FALSE(fp::writeImageFile(path.string(), empty, fp::ViewTransform(), error));
    EXPECT_NE(error.find(path.string()), std::string::npos) << error;
    EXPECT_EQ(entries(), 1);
    std::ifstream in(path);
    std::string content;
    in >> content;
    EXPECT_EQ(content, "previous");
}

TEST_F(ImageFiles, PendingOutputDiscardsWhenNotCommitted) {
    std::string error;
    {
        fp::PendingOutput output;
        ASSERT_TRUE(output.open((directory / "x.png").string(), error)) << error;
        EXPECT_TRUE(fs::exists(output.temporaryPath()));
        EXPECT_EQ(fs::path(output.temporaryPath()).parent_path(), directory);
    }
    EXPECT_EQ(entries(), 0);
}

TEST_F(ImageFiles, EnvironmentReaderNamesAFileThatIsNotExr) {
    const fs::path path = directory / "sky.exr";
    std::ofstream(path) << "not an image";
    fp::LatLongImage image;
    std::string error;
    EXPECT_FALSE(fp::readLatLongExr(path.string(), image, error));
    EXPECT_NE(error.find(path.string()), std::string::npos) << error;
}
