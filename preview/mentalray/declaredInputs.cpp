#include "mentalray/declaredInputs.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "look/inputFrames.h"

namespace flakecoat::preview::mentalray {

using mentalrayHost::DeclaredParameter;
using mentalrayHost::ParameterType;

namespace {

// Arrays and tags are the scene's, not settings.
bool settable(const DeclaredParameter& parameter, ShadingInput& input) {
    const ParameterType type = parameter.type;
    if (parameter.isArray || type == ParameterType::Light || type == ParameterType::Shader ||
        type == ParameterType::Texture)
        return false;
    input.name = parameter.name;
    input.arity = type == ParameterType::Color ? 3 : parameter.size / 4;
    input.kind = type == ParameterType::Integer   ? ValueKind::Integer
                 : type == ParameterType::Boolean ? ValueKind::Boolean
                                                  : ValueKind::Float;
    input.isColor = type == ParameterType::Color;
    input.shown = type != ParameterType::Transform;
    return true;
}

// The default as the block stores it; missing components are zero.
double defaultComponent(const DeclaredParameter& parameter, const ShadingInput& input, int i) {
    if (i >= int(parameter.defaultWords.size())) return 0.0;
    const std::uint32_t word = parameter.defaultWords[size_t(i)];
    if (input.kind != ValueKind::Float) {
        std::int32_t whole;
        std::memcpy(&whole, &word, 4);
        return whole;
    }
    float number;
    std::memcpy(&number, &word, 4);
    return shortestFloat(number);
}

}  // namespace

std::vector<ShadingInput> declaredInputs(const mentalrayHost::ShaderDeclaration& declaration) {
    std::vector<ShadingInput> declared;
    for (const DeclaredParameter& parameter : declaration.parameters) {
        ShadingInput input;
        if (!settable(parameter, input)) continue;
        for (int i = 0; i < input.arity; ++i) input.defaults.push_back(defaultComponent(parameter, input, i));
        input.group = controlGroupOf(input.name);
        input.label = readableName(input.name);
        deriveSoftRange(input);
        declared.push_back(input);
    }
    return declared;
}

namespace {

bool number(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(value);
}

}  // namespace

bool applyGuiHints(const mentalrayHost::ShaderGui& gui, const mentalrayHost::ShaderDeclaration& declaration,
                   const std::string& fileName, std::vector<ShadingInput>& inputs, std::string& error) {
    for (const mentalrayHost::GuiControl& control : gui.controls) {
        const std::string where = fileName + ":" + std::to_string(control.line) + ": control \"" + control.name + "\"";
        const auto found = std::find_if(inputs.begin(), inputs.end(),
                                        [&](const ShadingInput& input) { return input.name == control.name; });
        if (found == inputs.end()) {
            const DeclaredParameter* parameter = declaration.find(control.name);
            if (control.name == "Global" || (parameter && parameter->isArray)) continue;
            error = where + ": " + declaration.name + " has no parameter of that name";
            return false;
        }
        ShadingInput& input = *found;
        if (const mentalrayHost::GuiAttribute* name = control.find("uiName"); name && name->values.size() == 1)
            input.label = name->values[0];
        if (const mentalrayHost::GuiAttribute* line = control.find("description"); line && line->values.size() == 1)
            input.description = line->values[0];
        if (const mentalrayHost::GuiAttribute* range = control.find("range")) {
            double low = 0, high = 0;
            if (range->quoted || range->values.size() != 2 || !number(range->values[0], low) ||
                !number(range->values[1], high) || !(low < high) || input.kind == ValueKind::Boolean) {
                error = where + ": \"range\" takes two numbers, low then high, for a numeric parameter";
                return false;
            }
            input.hasSoftMin = input.hasSoftMax = true;
            input.softMin = low;
            input.softMax = high;
        }
    }
    return true;
}

void writeSetting(const mentalrayHost::ShaderDeclaration& declaration, const Setting& value,
                  mentalrayHost::ParameterBlock& block) {
    const DeclaredParameter* parameter = declaration.find(value.name);
    ShadingInput input;
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
