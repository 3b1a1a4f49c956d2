#include "image/contactSheet.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "image/labelText.h"

namespace flakecoat::preview {

SheetGeometry sheetGeometry(int cellWidth, int cellHeight, int columns, int rows, bool hasTitle) {
    SheetGeometry g;
    g.cellWidth = cellWidth;
    g.cellHeight = cellHeight;
    g.columns = columns;
    g.rows = rows;
    // Text scales with the cell but stays legible on small cells and modest on large ones.
    g.labelPixels = std::clamp(float(cellWidth) / 11.0f, 12.0f, 28.0f);
    g.titlePixels = std::round(g.labelPixels * 1.25f);
    g.labelHeight = int(std::ceil(g.labelPixels * 1.6f));
    g.titleHeight = hasTitle ? int(std::ceil(g.titlePixels * 1.8f)) : 0;
    g.gap = std::max(4, cellWidth / 32);
    g.width = columns * cellWidth + (columns + 1) * g.gap;
    g.height = g.titleHeight + rows * (cellHeight + g.labelHeight) + (rows + 1) * g.gap;
    return g;
}

void drawLabel(Framebuffer& image, int left, int top, int width, int height, const std::string& text,
               float pixelHeight) {
    TextMetrics metrics = measureText(text, pixelHeight);
    const int room = width - 4;
    if (metrics.width > room && metrics.width > 0) {
        pixelHeight *= float(room) / float(metrics.width);
        // No room: no label
        if (!(pixelHeight >= kMinLabelPixels)) return;
        metrics = measureText(text, pixelHeight);
    }
    const int x = left + (width - metrics.width) / 2;
    const int baseline = top + (height + metrics.ascent - metrics.descent) / 2;
    drawText(image, x, baseline, text, pixelHeight, kSheetInk);
}

Framebuffer composeSheet(const SheetGeometry& g, const std::vector<SheetCell>& cells, const std::string& title) {
    Framebuffer sheet;
    sheet.resize(g.width, g.height);
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            float* pixel = sheet.pixel(x, y);
            std::memcpy(pixel, kSheetGround, sizeof kSheetGround);
            pixel[3] = 1.0f;
        }
    if (g.titleHeight > 0) drawLabel(sheet, 0, g.gap / 2, g.width, g.titleHeight, title, g.titlePixels);
    for (size_t i = 0; i < cells.size() && int(i) < g.columns * g.rows; ++i) {
        const int left = g.cellX(int(i)), top = g.cellY(int(i));
        const Framebuffer& image = *cells[i].image;
        for (int y = 0; y < std::min(image.height, g.cellHeight); ++y)
            std::memcpy(sheet.pixel(left, top + y), image.pixel(0, y),
                        sizeof(float) * 4 * size_t(std::min(image.width, g.cellWidth)));
        drawLabel(sheet, left, top + g.cellHeight, g.cellWidth, g.labelHeight, cells[i].label, g.labelPixels);
    }
    return sheet;
}

}  // namespace flakecoat::preview
