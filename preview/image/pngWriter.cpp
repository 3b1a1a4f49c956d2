#include <cmath>
#include <cstring>
#include <vector>

#include <png.h>

#include "image/imageWriter.h"

namespace flakecoat::preview {

namespace {

std::vector<png_byte> displayPixels(const Framebuffer& image, const ViewTransform& view) {
    const float scale = std::exp2(view.exposure);
    std::vector<png_byte> pixels(image.rgba.size());
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        pixels[i + 0] = displayValue(image.rgba[i + 0], scale);
        pixels[i + 1] = displayValue(image.rgba[i + 1], scale);
        pixels[i + 2] = displayValue(image.rgba[i + 2], scale);
        pixels[i + 3] = alphaValue(image.rgba[i + 3]);
    }
    return pixels;
}

// libpng's simplified API: no setjmp across C++ frames.
png_image pngHeader(const Framebuffer& image, png_uint_32 flags) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(image.width);
    png.height = png_uint_32(image.height);
    png.format = PNG_FORMAT_RGBA;
    png.flags = flags;
    return png;
}

class PngWriter : public ImageWriter {
public:
    explicit PngWriter(const ViewTransform& view) : view_(view) {}

    bool write(const std::string& path, const Framebuffer& image, std::string& error) const override {
        const std::vector<png_byte> pixels = displayPixels(image, view_);
        png_image png = pngHeader(image, 0);
        if (!png_image_write_to_file(&png, path.c_str(), 0, pixels.data(), png_int_32(image.width) * 4, nullptr)) {
            error = std::string("PNG encoder: ") + png.message;
            png_image_free(&png);
            return false;
        }
        return true;
    }

private:
    ViewTransform view_;
};

}  // namespace

std::unique_ptr<ImageWriter> makePngWriter(const ViewTransform& view) { return std::make_unique<PngWriter>(view); }

bool encodePng(const Framebuffer& image, const ViewTransform& view, std::vector<unsigned char>& bytes,
               std::string& error) {
    const std::vector<png_byte> pixels = displayPixels(image, view);
    // Interactive use: speed over size.
    png_image png = pngHeader(image, PNG_IMAGE_FLAG_FAST);
    // The bound holds for any content, so the image is compressed once.
    png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(png);
    bytes.resize(size);
    if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, pixels.data(), png_int_32(image.width) * 4,
                                   nullptr)) {
        error = std::string("PNG encoder: ") + png.message;
        png_image_free(&png);
        return false;
    }
    bytes.resize(size);
    return true;
}

}  // namespace flakecoat::preview
