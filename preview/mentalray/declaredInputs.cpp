#include "mentalray/declaredInputs.h"

#include <algorithm>
#include <cstdint>

namespace flakecoat::preview::mentalray {

using mentalrayHost::DeclaredParameter;
using mentalrayHost::ParameterType;

namespace {

bool settable(const DeclaredParameter& parameter, SettableInput& input) {
    if (parameter.isArray) return false;
    input.name = parameter.name;
    switch (parameter.type) {
        case ParameterType::Color:
        case ParameterType::Vector: input.arity = 3; return true;
        case ParameterType::Transform: input.arity = 16; return true;
        case ParameterType::Scalar: return true;
        case ParameterType::Integer: input.kind = ValueKind::Integer; return true;
        case ParameterType::Boolean: input.kind = ValueKind::Boolean; return true;
        case ParameterType::Light:
        case ParameterType::Shader:
        case ParameterType::Texture: return false;
    }
    return false;
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
