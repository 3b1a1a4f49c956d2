#ifndef FLAKECOAT_PREVIEW_IMAGE_EXR_READER_H
#define FLAKECOAT_PREVIEW_IMAGE_EXR_READER_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "kernel/environment.h"

namespace flakecoat::preview {

// The largest environment read by default: 8192 x 4096, about 400 MB once
// read (12 bytes a pixel). A lat-long image beyond that adds nothing a
// render of the ball can show.
constexpr std::uint64_t kDefaultMaxEnvironmentPixels = std::uint64_t(8192) * 4096;

// Reads a latitude-longitude environment from an OpenEXR file (RGB; alpha
// ignored; a missing channel reads as 0). The header is checked before any
// pixel memory is allocated. Fails, with error naming the file and the
// reason, for an unreadable file, an image under 2 x 1 pixels or over
// maxPixels, or a pixel that is not a finite colour. The data window may
// lie anywhere OpenEXR allows (corners within +-2^30).
bool readLatLongExr(const std::string& path, LatLongImage& image, std::string& error,
                    std::uint64_t maxPixels = kDefaultMaxEnvironmentPixels);

// The same from a file's bytes in memory; name stands for the file in
// messages.
bool readLatLongExrBytes(const char* data, std::size_t size, const std::string& name, LatLongImage& image,
                         std::string& error, std::uint64_t maxPixels = kDefaultMaxEnvironmentPixels);

}  // namespace flakecoat::preview

#endif
