// Labels set in the built-in font and the contact sheet that places images
// and labels in a grid.

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "image/contactSheet.h"
#include "image/labelText.h"

namespace fp = flakecoat::preview;

namespace {

fp::Framebuffer solid(int width, int height, float r, float g, float b) {
    fp::Framebuffer image;
    image.resize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float* p = image.pixel(x, y);
            p[0] = r, p[1] = g, p[2] = b, p[3] = 1.0f;
        }
    return image;
}

// Pixels differing from the ground inside a rectangle.
int inkIn(const fp::Framebuffer& image, int left, int top, int width, int height) {
    int count = 0;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            count += std::memcmp(image.pixel(x, y), fp::kSheetGround, sizeof fp::kSheetGround) != 0;
    return count;
}

bool sameRegion(const fp::Framebuffer& a, const fp::Framebuffer& b, int left, int top, int width, int height) {
    for (int y = top; y < top + height; ++y)
        if (std::memcmp(a.pixel(left, y), b.pixel(left, y), sizeof(float) * 4 * size_t(width)) != 0) return false;
    return true;
}

TEST(LabelText, InkStaysInsideTheMeasuredLine) {
    const float height = 20.0f;
    const fp::TextMetrics metrics = fp::measureText("normalDeviation 0.25", height);
    EXPECT_GT(metrics.width, fp::measureText("normalDeviation", height).width);
    EXPECT_GT(metrics.ascent, 10);
    EXPECT_GT(metrics.descent, 0);  // the descender of the p

    fp::Framebuffer image = solid(metrics.width + 20, 40, fp::kSheetGround[0], fp::kSheetGround[1], fp::kSheetGround[2]);
    fp::drawText(image, 10, 28, "normalDeviation 0.25", height, fp::kSheetInk);
    const int inside = inkIn(image, 9, 28 - metrics.ascent, metrics.width + 2, metrics.ascent + metrics.descent + 1);
    EXPECT_GT(inside, 100);
    EXPECT_EQ(inside, inkIn(image, 0, 0, image.width, image.height));

    // Different text, different pixels; spaces alone draw nothing.
    fp::Framebuffer other = solid(image.width, 40, fp::kSheetGround[0], fp::kSheetGround[1], fp::kSheetGround[2]);
    fp::drawText(other, 10, 28, "normalDeviation 0.26", height, fp::kSheetInk);
    EXPECT_FALSE(sameRegion(image, other, 0, 0, image.width, image.height));
    fp::Framebuffer blank = solid(image.width, 40, fp::kSheetGround[0], fp::kSheetGround[1], fp::kSheetGround[2]);
    fp::drawText(blank, 10, 28, "   ", height, fp::kSheetInk);
    EXPECT_EQ(inkIn(blank, 0, 0, blank.width, blank.height), 0);
    // Text running off the image is clipped, not written past it.
    fp::drawText(blank, blank.width - 5, 5, "Wg", 30.0f, fp::kSheetInk);
}

TEST(ContactSheet, CellsAndLabelsInReadingOrder) {
    // Five cells in three columns: two rows, the last slot empty.
    const fp::SheetGeometry g = fp::sheetGeometry(40, 30, 3, 2, true);
    EXPECT_EQ(g.width, 3 * 40 + 4 * g.gap);
    EXPECT_EQ(g.height, g.titleHeight + 2 * (30 + g.labelHeight) + 3 * g.gap);
    std::vector<fp::Framebuffer> images;
    for (int i = 0; i < 5; ++i) images.push_back(solid(40, 30, 0.1f * float(i + 1), 0.5f, 0.0f));
    const std::vector<std::string> labels = {"0", "1", "2", "3", "4"};
    std::vector<fp::SheetCell> cells;
    for (int i = 0; i < 5; ++i) cells.push_back({&images[size_t(i)], labels[size_t(i)]});
    const fp::Framebuffer sheet = fp::composeSheet(g, cells, "seed");

    fp::Framebuffer expected = solid(g.width, g.height, fp::kSheetGround[0], fp::kSheetGround[1], fp::kSheetGround[2]);
    for (int i = 0; i < 5; ++i) {
        const int x = g.cellX(i), y = g.cellY(i);
        EXPECT_EQ(x, g.gap + (i % 3) * (40 + g.gap));
        EXPECT_EQ(y, g.titleHeight + g.gap + (i / 3) * (30 + g.labelHeight + g.gap));
        for (int row = 0; row < 30; ++row)
            std::memcpy(expected.pixel(x, y + row), images[size_t(i)].pixel(0, row), sizeof(float) * 4 * 40);
        fp::drawLabel(expected, x, y + 30, 40, g.labelHeight, labels[size_t(i)], g.labelPixels);
        EXPECT_TRUE(sameRegion(sheet, expected, x, y, 40, 30 + g.labelHeight)) << "cell " << i;
        EXPECT_GT(inkIn(sheet, x, y + 30, 40, g.labelHeight), 0) << "label " << i;
    }
    // The empty slot and the gaps stay ground; the title is drawn above the cells.
    EXPECT_EQ(inkIn(sheet, g.cellX(5), g.cellY(5), 40, 30 + g.labelHeight), 0);
    EXPECT_EQ(inkIn(sheet, 0, g.cellY(0), g.gap, g.height - g.cellY(0)), 0);
    EXPECT_GT(inkIn(sheet, 0, 0, g.width, g.titleHeight), 0);
}

TEST(ContactSheet, ALabelWiderThanItsCellIsSetSmallerToFit) {
    const fp::SheetGeometry g = fp::sheetGeometry(40, 20, 1, 1, false);
    fp::Framebuffer image = solid(40, 20, 0.3f, 0.3f, 0.3f);
    const fp::Framebuffer sheet = fp::composeSheet(g, {{&image, "refractiveIndex=1.4,1.6,1.8"}}, "");
    EXPECT_GT(inkIn(sheet, g.cellX(0), g.cellY(0) + 20, 40, g.labelHeight), 0);
    EXPECT_EQ(inkIn(sheet, 0, g.cellY(0) + 20, g.gap, g.labelHeight), 0);
    EXPECT_EQ(inkIn(sheet, g.width - g.gap, g.cellY(0) + 20, g.gap, g.labelHeight), 0);
}

}  // namespace
