#ifndef FLAKECOAT_PREVIEW_IMAGE_LABEL_FONT_H
#define FLAKECOAT_PREVIEW_IMAGE_LABEL_FONT_H

// The TrueType font labels are set in (DejaVu Sans), built into the program
// so that labels look the same wherever the tool runs or is installed.

#include <cstddef>

namespace flakecoat::preview {

const unsigned char* labelFontData();
std::size_t labelFontSize();

}  // namespace flakecoat::preview

#endif
