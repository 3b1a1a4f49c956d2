#include "maya/attributePreset.h"

namespace flakecoat::preview::maya {

std::string attributePreset(const Look& look, const LookInfo& info) {
    std::string mel = "// flakeCoat attribute preset \"" + info.name + "\", written by flakecoat from a look.\n";
    if (!info.description.empty()) mel += "// " + info.description + "\n";
    mel += "startAttrPreset( \"flakeCoat\" );\n";
    for (const ShadingInput& input : look.inputs()) {
        if (!input.shown) continue;
        mel += "blendAttr \"" + input.name + "\"";
        for (double value : look.effective(input.name)) mel += " " + valueText(value);
        mel += ";\n";
    }
    return mel + "endAttrPreset();\n";
}

}  // namespace flakecoat::preview::maya
