#ifndef MENTALRAY_HOST_SHADER_GUI_H
#define MENTALRAY_HOST_SHADER_GUI_H

// A shader's interface hints in the scene description language: the .mi
// `gui "gui_NAME" { control ... }` block a shader's author writes beside its
// declaration for the programs that show its parameters. The renderer
// itself renders without it. Each control names a parameter (or "Global"
// for the shader as a whole), its type, and attributes, each a quoted name
// with values:
//
//   gui "gui_tarn_flakeCoat" {
//       control "Global" "Global" ("uiName" "Car Paint")
//       control "diffuse" "scalar" ("uiName" "Diffuse Weight", "range" 0 1)
//       control "light" "array" ("hidden")
//   }

#include <iosfwd>
#include <string>
#include <vector>

namespace mentalrayHost {

struct GuiAttribute {
    std::string name;
    std::vector<std::string> values;  // numbers as written, strings unquoted
    bool quoted = false;              // the values are strings
};

struct GuiControl {
    std::string name;
    std::string type;
    std::vector<GuiAttribute> attributes;
    int line = 0;

    const GuiAttribute* find(const std::string& attributeName) const;
};

struct ShaderGui {
    std::string name;
    std::vector<GuiControl> controls;
    int line = 0;

    const GuiControl* find(const std::string& controlName) const;
};

// Reads the block named guiName from the text, skipping every other
// statement. found is false (and the call succeeds) when there is none.
// Fails with "fileName:line: message" for malformed syntax inside it.
bool parseShaderGui(std::istream& text, const std::string& fileName, const std::string& guiName, ShaderGui& gui,
                    bool& found, std::string& error);

// The same from a file.
bool readShaderGui(const std::string& path, const std::string& guiName, ShaderGui& gui, bool& found,
                   std::string& error);

}  // namespace mentalrayHost

#endif
