#include "image/labelText.h"

#include <algorithm>
#include <cmath>
#include <vector>

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb/stb_truetype.h>

#include "image/labelFont.h"

namespace flakecoat::preview {

namespace {

// Parsed once, on first use; read-only afterwards.
const stbtt_fontinfo& labelFont() {
    static const stbtt_fontinfo font = [] {
        stbtt_fontinfo info{};
        stbtt_InitFont(&info, labelFontData(), stbtt_GetFontOffsetForIndex(labelFontData(), 0));
        return info;
    }();
    return font;
}

// UTF-8 to code points; a malformed byte stands for itself.
std::vector<int> codePoints(const std::string& text) {
    std::vector<int> points;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        int point = length == 1 ? lead : length == 2 ? lead & 0x1f : length == 3 ? lead & 0x0f : lead & 0x07;
        bool valid = length > 0 && i + size_t(length) <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + size_t(k)]);
            valid = (next >> 6) == 2;
            point = (point << 6) | (next & 0x3f);
        }
        points.push_back(valid ? point : lead);
        i += valid ? size_t(length) : 1;
    }
    return points;
}

// Pen positions of each character, in pixels from the line's start.
std::vector<float> penPositions(const std::vector<int>& points, float scale, float& width) {
    const stbtt_fontinfo& font = labelFont();
    std::vector<float> pens;
    float pen = 0.0f;
    for (size_t i = 0; i < points.size(); ++i) {
        pens.push_back(pen);
        int advance = 0, leftBearing = 0;
        stbtt_GetCodepointHMetrics(&font, points[i], &advance, &leftBearing);
        pen += scale * float(advance);
        if (i + 1 < points.size()) pen += scale * float(stbtt_GetCodepointKernAdvance(&font, points[i], points[i + 1]));
    }
    width = pen;
    return pens;
}

}  // namespace

TextMetrics measureText(const std::string& text, float pixelHeight) {
    if (!(pixelHeight > 0.0f && pixelHeight <= kMaxTextPixels)) return {};
    const stbtt_fontinfo& font = labelFont();
    const float scale = stbtt_ScaleForPixelHeight(&font, pixelHeight);
    int ascent = 0, descent = 0, lineGap = 0;
    stbtt_GetFontVMetrics(&font, &ascent, &descent, &lineGap);
    float width = 0.0f;
    penPositions(codePoints(text), scale, width);
    return {int(std::ceil(width)), int(std::ceil(scale * float(ascent))), int(std::ceil(-scale * float(descent)))};
}

void drawText(Framebuffer& image, int x, int baseline, const std::string& text, float pixelHeight,
              const float rgb[3]) {
    if (!(pixelHeight > 0.0f && pixelHeight <= kMaxTextPixels)) return;
    const stbtt_fontinfo& font = labelFont();
    const float scale = stbtt_ScaleForPixelHeight(&font, pixelHeight);
    const std::vector<int> points = codePoints(text);
    float width = 0.0f;
    const std::vector<float> pens = penPositions(points, scale, width);
    std::vector<unsigned char> glyph;
    for (size_t i = 0; i < points.size(); ++i) {
        // Each glyph at its sub-pixel pen position, blended by coverage.
        const float pen = float(x) + pens[i];
        const float shift = pen - std::floor(pen);
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetCodepointBitmapBoxSubpixel(&font, points[i], scale, scale, shift, 0.0f, &x0, &y0, &x1, &y1);
        const int w = x1 - x0, h = y1 - y0;
        if (w <= 0 || h <= 0) continue;
        glyph.assign(size_t(w) * size_t(h), 0);
        stbtt_MakeCodepointBitmapSubpixel(&font, glyph.data(), w, h, w, scale, scale, shift, 0.0f, points[i]);
        const int left = int(std::floor(pen)) + x0, top = baseline + y0;
        for (int gy = std::max(0, -top); gy < h && top + gy < image.height; ++gy)
            for (int gx = std::max(0, -left); gx < w && left + gx < image.width; ++gx) {
                const float coverage = float(glyph[size_t(gy) * size_t(w) + size_t(gx)]) / 255.0f;
                float* pixel = image.pixel(left + gx, top + gy);
                for (int c = 0; c < 3; ++c) pixel[c] += (rgb[c] - pixel[c]) * coverage;
            }
    }
}

}  // namespace flakecoat::preview
