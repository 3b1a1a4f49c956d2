#ifndef FLAKECOAT_PREVIEW_KERNEL_FRAMEBUFFER_H
#define FLAKECOAT_PREVIEW_KERNEL_FRAMEBUFFER_H

#include <vector>

namespace flakecoat::preview {

// Linear float RGBA, rows from the top, four floats per pixel.
struct Framebuffer {
    int width = 0;
    int height = 0;
    std::vector<float> rgba;
    // One per pixel, non-zero where a sample was not finite; empty unless
    // the render was asked to mark them (RenderSettings::markNonFinite).
    std::vector<unsigned char> nonFinite;

    void resize(int w, int h) {
        width = w;
        height = h;
        rgba.assign(size_t(w) * size_t(h) * 4, 0.0f);
    }
    float* pixel(int x, int y) { return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4]; }
    const float* pixel(int x, int y) const { return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4]; }
};

}  // namespace flakecoat::preview

#endif
