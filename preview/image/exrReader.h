#ifndef FLAKECOAT_PREVIEW_IMAGE_EXR_READER_H
#define FLAKECOAT_PREVIEW_IMAGE_EXR_READER_H

#include <string>

#include "kernel/environment.h"

namespace flakecoat::preview {

// Reads a latitude-longitude environment from an OpenEXR file (RGB; alpha
// ignored; a missing channel reads as 0). Fails, with error naming the file
// and the reason, for an unreadable file, an image under 2 x 1 pixels or a
// pixel that is not a finite colour.
bool readLatLongExr(const std::string& path, LatLongImage& image, std::string& error);

}  // namespace flakecoat::preview

#endif
