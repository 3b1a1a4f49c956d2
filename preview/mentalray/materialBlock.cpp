#include "mentalray/materialBlock.h"

namespace flakecoat::preview::mentalray {

std::string materialBlock(const Look& look, const LookInfo& info) {
    const std::string shader = info.name + ":paint";
    std::string mi = "# tarn_flakeCoat material \"" + info.name + "\", written by flakecoat from a look.\n";
    if (!info.description.empty()) mi += "# " + info.description + "\n";
    mi += "# The scene gives the shader its lights: add \"light\" [\"LIGHT\", ...] to its parameters.\n"
          "shader \"" + shader + "\"\n    \"tarn_flakeCoat\" (";
    const char* separator = "\n";
    for (const ShadingInput& input : look.inputs()) {
        if (!input.shown) continue;
        mi += separator + std::string("        \"") + input.name + "\"";
        for (double value : look.effective(input.name))
            mi += " " + (input.kind == ValueKind::Boolean ? std::string(value != 0.0 ? "on" : "off") : valueText(value));
        separator = ",\n";
    }
    return mi + "\n    )\n\nmaterial \"" + info.name + "\"\n    = \"" + shader + "\"\nend material\n";
}

}  // namespace flakecoat::preview::mentalray
