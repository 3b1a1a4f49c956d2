#include <algorithm>
#include <cmath>
#include <exception>
#include <vector>

#include <ImfArray.h>
#include <ImfHeader.h>
#include <ImfRgbaFile.h>

#include "image/exrReader.h"
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

bool readLatLongExr(const std::string& path, LatLongImage& image, std::string& error) {
    try {
        Imf::RgbaInputFile file(path.c_str());
        const Imath::Box2i window = file.dataWindow();
        const int width = window.max.x - window.min.x + 1;
        const int height = window.max.y - window.min.y + 1;
        if (width < 2 || height < 1) {
            error = path + ": an environment image needs at least 2 x 1 pixels";
            return false;
        }
        Imf::Array2D<Imf::Rgba> pixels(height, width);
        file.setFrameBuffer(&pixels[0][0] - window.min.x - window.min.y * width, 1, size_t(width));
        file.readPixels(window.min.y, window.max.y);

        image.width = width;
        image.height = height;
        image.rgb.resize(size_t(width) * size_t(height) * 3);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const Imf::Rgba& p = pixels[y][x];
                float* out = &image.rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
                out[0] = float(p.r);
                out[1] = float(p.g);
                out[2] = float(p.b);
                if (!std::isfinite(out[0]) || !std::isfinite(out[1]) || !std::isfinite(out[2])) {
                    error = path + ": pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                            ") is not a finite colour";
                    return false;
                }
            }
        }
    } catch (const std::exception& e) {
        error = "cannot read EXR " + path + ": " + e.what();
        return false;
    }
    return true;
}

}  // namespace flakecoat::preview
