#ifndef FLAKECOAT_PREVIEW_IMAGE_CONTACT_SHEET_H
#define FLAKECOAT_PREVIEW_IMAGE_CONTACT_SHEET_H

// Images of one size laid out in a grid on a dark ground, each with a label
// band below it, under an optional title line. Cells are given in reading
// order: left to right, then top to bottom.
//
//   gap | cell | gap | cell | gap        title band (when there is a title)
//         label        label             gap, cells, label bands, gaps

#include <string>
#include <vector>

#include "kernel/framebuffer.h"

namespace flakecoat::preview {

struct SheetGeometry {
    int cellWidth = 0, cellHeight = 0;
    int columns = 0, rows = 0;
    int gap = 0;          // around and between cells
    int labelHeight = 0;  // the band below each cell
    int titleHeight = 0;  // 0 without a title
    float labelPixels = 0.0f, titlePixels = 0.0f;  // font sizes
    int width = 0, height = 0;

    // Top-left corner of the image of cell index (reading order).
    int cellX(int index) const { return gap + (index % columns) * (cellWidth + gap); }
    int cellY(int index) const { return titleHeight + gap + (index / columns) * (cellHeight + labelHeight + gap); }
};

// The sheet's size, known before any cell is rendered. Sides stay within
// int for cells and counts the callers bound.
SheetGeometry sheetGeometry(int cellWidth, int cellHeight, int columns, int rows, bool hasTitle);

struct SheetCell {
    const Framebuffer* image = nullptr;  // cellWidth x cellHeight
    std::string label;
};

// Labels too wide for their cell are set smaller so that they fit, or left
// out where they cannot (a cell a few pixels wide).
Framebuffer composeSheet(const SheetGeometry& geometry, const std::vector<SheetCell>& cells, const std::string& title);

// The label band's ground and ink, linear RGB.
constexpr float kSheetGround[3] = {0.01f, 0.01f, 0.01f};
constexpr float kSheetInk[3] = {0.8f, 0.8f, 0.8f};

// Labels squeezed below this size are left out.
constexpr float kMinLabelPixels = 1.0f;

// Draws one label centred in a band of the sheet (as composeSheet does).
void drawLabel(Framebuffer& image, int left, int top, int width, int height, const std::string& text,
               float pixelHeight);

}  // namespace flakecoat::preview

#endif
