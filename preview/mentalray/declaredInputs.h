#ifndef FLAKECOAT_PREVIEW_MENTALRAY_DECLARED_INPUTS_H
#define FLAKECOAT_PREVIEW_MENTALRAY_DECLARED_INPUTS_H

// The shading inputs of the mental ray host: the parameters of the shader's
// declaration, written where the renderer's block layout puts them.

#include <vector>

#include <mentalrayHost/parameterBlock.h>
#include <mentalrayHost/shaderDeclaration.h>
#include <mentalrayHost/shaderGui.h>

#include "look/setting.h"
#include "look/shadingInput.h"

namespace flakecoat::preview::mentalray {

// All declared parameters but arrays and tags (the scene's, not settings),
// in declaration order, with the declared defaults. A colour takes 3 values
// (its alpha is not used), a vector 3, a transform 16, the others 1. No hard
// limits: the declaration gives none. Transforms get no control in the
// viewer. Labels are readable forms of the names, slider ranges derived
// (deriveSoftRange), until applyGuiHints replaces them.
std::vector<ShadingInput> declaredInputs(const mentalrayHost::ShaderDeclaration& declaration);

// The hints of the shader's gui block: "uiName" as the label, "description"
// as the description, "range" LOW HIGH as the slider's range. Refused, with
// the file and line: a control that names no input (other than "Global" and
// the declaration's arrays), and a range that is not two numbers, low then
// high.
bool applyGuiHints(const mentalrayHost::ShaderGui& gui, const mentalrayHost::ShaderDeclaration& declaration,
                   const std::string& fileName, std::vector<ShadingInput>& inputs, std::string& error);

// Writes a checked setting into a block built from the same declaration.
// Nothing outside the named field is written, whatever the setting holds.
void writeSetting(const mentalrayHost::ShaderDeclaration& declaration, const Setting& value,
                  mentalrayHost::ParameterBlock& block);

}  // namespace flakecoat::preview::mentalray

#endif
