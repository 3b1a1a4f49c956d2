#ifndef FLAKECOAT_PREVIEW_IMAGE_IMAGE_WRITER_H
#define FLAKECOAT_PREVIEW_IMAGE_IMAGE_WRITER_H

// Image files: one writer interface with a PNG and an EXR implementation,
// chosen by the file name's extension.
//   .png  8-bit sRGB RGBA through the view transform (viewTransform.h)
//   .exr  linear half-float RGBA, scan lines, ZIP compression; values
//         beyond the half range are clamped to +-65504 rather than written
//         as infinities

#include <memory>
#include <string>
#include <vector>

#include "image/viewTransform.h"
#include "kernel/framebuffer.h"

namespace flakecoat::preview {

class ImageWriter {
public:
    virtual ~ImageWriter() = default;
    // Writes the whole image to path (overwriting it); on failure error
    // holds the reason, without the path.
    virtual bool write(const std::string& path, const Framebuffer& image, std::string& error) const = 0;
};

std::unique_ptr<ImageWriter> makePngWriter(const ViewTransform& view);
std::unique_ptr<ImageWriter> makeExrWriter();

// The writer for the path's extension (.png or .exr, any letter case), or
// null with error set.
std::unique_ptr<ImageWriter> imageWriterFor(const std::string& path, const ViewTransform& view,
                                            std::string& error);

// The PNG file's bytes in memory, with zlib's compression level (0 stores
// the rows unfiltered and uncompressed: the fastest to make and to read; at
// 6 they are the bytes the PNG writer puts in a file).
bool encodePng(const Framebuffer& image, const ViewTransform& view, int compressionLevel,
               std::vector<unsigned char>& bytes, std::string& error);

// Writes through a temporary file in the same directory and renames it into
// place, so path is either the complete new image or untouched.
bool writeImageFile(const std::string& path, const Framebuffer& image, const ViewTransform& view,
                    std::string& error);

}  // namespace flakecoat::preview

#endif
