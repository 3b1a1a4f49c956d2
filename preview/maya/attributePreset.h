#ifndef FLAKECOAT_PREVIEW_MAYA_ATTRIBUTE_PRESET_H
#define FLAKECOAT_PREVIEW_MAYA_ATTRIBUTE_PRESET_H

// A Maya look as a Maya attribute preset: the MEL file the Attribute
// Editor's Presets menu saves and loads (presets/attrPresets/flakeCoat/
// NAME.mel in a Maya user's folder), one blendAttr per input the editor
// shows, each with its value in the look.

#include <string>

#include "look/look.h"
#include "look/lookFile.h"

namespace flakecoat::preview::maya {

std::string attributePreset(const Look& look, const LookInfo& info);

}  // namespace flakecoat::preview::maya

#endif
