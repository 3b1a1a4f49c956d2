#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include <png.h>
#include <tbb/parallel_for.h>

#include "image/imageWriter.h"

namespace flakecoat::preview {

namespace {

std::vector<png_byte> displayPixels(const Framebuffer& image, const ViewTransform& view) {
    const float scale = std::exp2(view.exposure);
    std::vector<png_byte> pixels(image.rgba.size());
    // Rows in parallel: the transfer curve is most of an interactive encode.
    const size_t rowValues = size_t(image.width) * 4;
    tbb::parallel_for(0, image.height, [&](int y) {
        for (size_t i = size_t(y) * rowValues, end = i + rowValues; i < end; i += 4) {
            pixels[i + 0] = displayValue(image.rgba[i + 0], scale);
            pixels[i + 1] = displayValue(image.rgba[i + 1], scale);
            pixels[i + 2] = displayValue(image.rgba[i + 2], scale);
            pixels[i + 3] = alphaValue(image.rgba[i + 3]);
        }
    });
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
        errno = 0;
        if (!png_image_write_to_file(&png, path.c_str(), 0, pixels.data(), png_int_32(image.width) * 4, nullptr)) {
            // libpng says only "Write Error"; the system's reason (a full
            // disk, the file-size limit) is left in errno.
            error = std::string("PNG encoder: ") + png.message + (errno != 0 ? std::string(": ") + std::strerror(errno) : "");
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

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* bytes = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + length);
}

// The full libpng API, for the compression level the simplified one does
// not offer. No C++ object lives in this frame across setjmp.
bool compressRows(const png_byte* pixels, int width, int height, int level, std::vector<unsigned char>* bytes) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, bytes, appendBytes, nullptr);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, level);
    if (level == 0) png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) png_write_row(png, pixels + size_t(y) * size_t(width) * 4);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool encodePng(const Framebuffer& image, const ViewTransform& view, int compressionLevel,
               std::vector<unsigned char>& bytes, std::string& error) {
    const std::vector<png_byte> pixels = displayPixels(image, view);
    bytes.clear();
    bytes.reserve(pixels.size() / 2);
    if (!compressRows(pixels.data(), image.width, image.height, compressionLevel, &bytes)) {
        error = "PNG encoder failed";
        return false;
    }
    return true;
}

}  // namespace flakecoat::preview
