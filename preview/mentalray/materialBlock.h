#ifndef FLAKECOAT_PREVIEW_MENTALRAY_MATERIAL_BLOCK_H
#define FLAKECOAT_PREVIEW_MENTALRAY_MATERIAL_BLOCK_H

// A mental ray look as a block of a scene description (.mi): a named
// tarn_flakeCoat shader with every parameter the look gives a value, and a
// material using it. The scene adds the shader's lights.

#include <string>

#include "look/look.h"
#include "look/lookFile.h"

namespace flakecoat::preview::mentalray {

std::string materialBlock(const Look& look, const LookInfo& info);

}  // namespace flakecoat::preview::mentalray

#endif
