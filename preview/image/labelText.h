#ifndef FLAKECOAT_PREVIEW_IMAGE_LABEL_TEXT_H
#define FLAKECOAT_PREVIEW_IMAGE_LABEL_TEXT_H

// One line of text set in the label font (stb_truetype over the built-in
// DejaVu Sans), drawn into a linear framebuffer. Text is UTF-8; a character
// the font lacks shows as the font's missing-glyph box.

#include <string>

#include "kernel/framebuffer.h"

namespace flakecoat::preview {

struct TextMetrics {
    int width = 0;    // advance of the whole line, in pixels
    int ascent = 0;   // above the baseline
    int descent = 0;  // below the baseline (positive)
};

// Sizes the rasteriser is given: outside (0, kMaxTextPixels] text is
// neither measured (all zero) nor drawn.
constexpr float kMaxTextPixels = 1024.0f;

TextMetrics measureText(const std::string& text, float pixelHeight);

// Blends the line over the image in linear light, its baseline starting at
// (x, baseline); what falls outside the image is clipped.
void drawText(Framebuffer& image, int x, int baseline, const std::string& text, float pixelHeight,
              const float rgb[3]);

}  // namespace flakecoat::preview

#endif
