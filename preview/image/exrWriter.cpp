#include <algorithm>
#include <cmath>
#include <exception>
#include <vector>

#include <ImfHeader.h>
#include <ImfRgbaFile.h>

#include "image/imageWriter.h"

namespace flakecoat::preview {

namespace {

constexpr float kHalfMax = 65504.0f;

half toHalf(float v) {
    if (std::isnan(v)) return half(v);
    return half(std::clamp(v, -kHalfMax, kHalfMax));
}

class ExrWriter : public ImageWriter {
public:
    bool write(const std::string& path, const Framebuffer& image, std::string& error) const override {
        try {
            std::vector<Imf::Rgba> pixels(size_t(image.width) * size_t(image.height));
            for (size_t i = 0; i < pixels.size(); ++i) {
                const float* p = &image.rgba[i * 4];
                pixels[i] = Imf::Rgba(toHalf(p[0]), toHalf(p[1]), toHalf(p[2]), toHalf(p[3]));
            }
            Imf::Header header(image.width, image.height);
            header.compression() = Imf::ZIP_COMPRESSION;
            Imf::RgbaOutputFile file(path.c_str(), header, Imf::WRITE_RGBA);
            file.setFrameBuffer(pixels.data(), 1, size_t(image.width));
            file.writePixels(image.height);
        } catch (const std::exception& e) {
            error = std::string("EXR encoder: ") + e.what();
            return false;
        }
        return true;
    }
};

}  // namespace

std::unique_ptr<ImageWriter> makeExrWriter() { return std::make_unique<ExrWriter>(); }

}  // namespace flakecoat::preview
