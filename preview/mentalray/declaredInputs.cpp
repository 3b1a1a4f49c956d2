#include "mentalray/declaredInputs.h"

#include <algorithm>
#include <cstdint>

namespace flakecoat::preview::mentalray {

using mentalrayHost::DeclaredParameter;
using mentalrayHost::ParameterType;

namespace {

// Arrays and tags are the scene's, not settings.
bool settable(const DeclaredParameter& parameter, SettableInput& input) {
    const ParameterType type = parameter.type;
    if (parameter.isArray || type == ParameterType::Light || type == ParameterType::Shader ||
        type == ParameterType::Texture)
        return false;
    input.name = parameter.name;
    input.arity = type == ParameterType::Color ? 3 : parameter.size / 4;
    input.kind = type == ParameterType::Integer   ? ValueKind::Integer
                 : type == ParameterType::Boolean ? ValueKind::Boolean
                                                  : ValueKind::Float;
    return true;
}

}  // namespace

std::vector<SettableInput> settableParameters(const mentalrayHost::ShaderDeclaration& declaration) {
    std::vector<SettableInput> declared;
    for (const DeclaredParameter& parameter : declaration.parameters) {
        SettableInput input;
        if (settable(parameter, input)) declared.push_back(input);
    }
    return declared;
}

void writeOverride(const mentalrayHost::ShaderDeclaration& declaration, const ParameterOverride& value,
                   mentalrayHost::ParameterBlock& block) {
    const DeclaredParameter* parameter = declaration.find(value.name);
    SettableInput input;
    if (!parameter || !settable(*parameter, input)) return;
    const int count = std::min(value.count, parameter->size / 4);
    for (int i = 0; i < count; ++i) {
        const int at = parameter->offset + 4 * i;
        if (input.kind == ValueKind::Float) {
            block.at<float>(at) = float(value.values[i]);
        } else {
            block.at<std::int32_t>(at) = std::int32_t(value.values[i]);
        }
    }
}

}  // namespace flakecoat::preview::mentalray
