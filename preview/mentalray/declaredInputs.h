#ifndef FLAKECOAT_PREVIEW_MENTALRAY_DECLARED_INPUTS_H
#define FLAKECOAT_PREVIEW_MENTALRAY_DECLARED_INPUTS_H

// The shading inputs --set may name on the mental ray host: the parameters
// of the shader's declaration, written where the renderer's block layout
// puts them.

#include <vector>

#include <mentalrayHost/parameterBlock.h>
#include <mentalrayHost/shaderDeclaration.h>

#include "settings/parameterOverrides.h"

namespace flakecoat::preview::mentalray {

// All declared parameters but arrays and tags. A colour takes 3 values (its
// alpha is not used), a vector 3, a transform 16, the others 1. No hard
// limits: the declaration gives none.
std::vector<SettableInput> settableParameters(const mentalrayHost::ShaderDeclaration& declaration);

// Writes a checked override into a block built from the same declaration.
// Nothing outside the named field is written, whatever the override holds.
void writeOverride(const mentalrayHost::ShaderDeclaration& declaration, const ParameterOverride& value,
                   mentalrayHost::ParameterBlock& block);

}  // namespace flakecoat::preview::mentalray

#endif
