#include "view/inputControls.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "maya/mayaInputs.h"
#include "view/controlGroups.h"

namespace flakecoat::preview::view {

const char* controlKindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Float: return "float";
        case ControlKind::Integer: return "integer";
        case ControlKind::Boolean: return "boolean";
        case ControlKind::Color: return "color";
        case ControlKind::Float2: return "float2";
        case ControlKind::Float3: return "float3";
    }
    return "float";
}

namespace {

// A float attribute's value as the shortest decimal that reads back as the
// same float (0.209f, not 0.20900000631809235).
double shortestFloat(double value) {
    char text[32];
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        const double candidate = std::strtod(text, nullptr);
        if (float(candidate) == float(value)) return candidate;
    }
    return value;
}

bool isUserFacing(const mayaHost::AttributeInfo& info) {
    const bool numeric =
        info.kind == mayaHost::AttributeKind::numeric || info.kind == mayaHost::AttributeKind::numericCompound;
    return !info.parent && numeric && info.flags.writable && !info.flags.hidden;
}

ControlKind mayaKind(const mayaHost::AttributeInfo& info) {
    if (info.kind == mayaHost::AttributeKind::numericCompound) {
        if (info.componentCount() == 2) return ControlKind::Float2;
        return info.flags.usedAsColor ? ControlKind::Color : ControlKind::Float3;
    }
    switch (maya::kindOf(info)) {
        case ValueKind::Boolean: return ControlKind::Boolean;
        case ValueKind::Integer: return ControlKind::Integer;
        case ValueKind::Float: return ControlKind::Float;
    }
    return ControlKind::Float;
}

// In the template's order: by frame, then by place in the frame; inputs it
// does not place keep their own order after the rest.
void sortByTemplate(std::vector<InputControl>& controls) {
    std::stable_sort(controls.begin(), controls.end(), [](const InputControl& a, const InputControl& b) {
        return controlRank(a.name) < controlRank(b.name);
    });
}

}  // namespace

std::vector<InputControl> mayaControls(const mayaHost::NodeType& type) {
    std::vector<InputControl> controls;
    for (const mayaHost::AttributeInfo* info : type.attributes()) {
        if (!isUserFacing(*info)) continue;
        InputControl control;
        control.name = info->longName;
        control.kind = mayaKind(*info);
        control.arity = int(info->componentCount());
        const mayaHost::AttributeLimits& limits = info->limits;
        for (int i = 0; i < control.arity && i < 3; ++i) {
            control.defaults[i] = shortestFloat(info->defaultValue[i]);
            control.hardMin[i] = shortestFloat(limits.min[i]);
            control.hardMax[i] = shortestFloat(limits.max[i]);
        }
        control.hasHardMin = limits.hasMin;
        control.hasHardMax = limits.hasMax;
        control.hasSoftMin = limits.hasSoftMin;
        control.hasSoftMax = limits.hasSoftMax;
        control.softMin = shortestFloat(limits.softMin);
        control.softMax = shortestFloat(limits.softMax);
        control.group = controlGroupOf(control.name);
        for (const mayaHost::AttributeInfo* child : info->children) control.children.push_back(child->longName);
        controls.push_back(control);
    }
    sortByTemplate(controls);
    return controls;
}

std::vector<InputControl> mentalrayControls(const mentalrayHost::ShaderDeclaration& declaration) {
    using mentalrayHost::ParameterType;
    std::vector<InputControl> controls;
    for (const mentalrayHost::DeclaredParameter& parameter : declaration.parameters) {
        if (parameter.isArray) continue;
        InputControl control;
        control.name = parameter.name;
        switch (parameter.type) {
            case ParameterType::Color: control.kind = ControlKind::Color; break;
            case ParameterType::Vector: control.kind = ControlKind::Float3; break;
            case ParameterType::Scalar: control.kind = ControlKind::Float; break;
            case ParameterType::Integer: control.kind = ControlKind::Integer; break;
            case ParameterType::Boolean: control.kind = ControlKind::Boolean; break;
            default: continue;  // transforms and tags are the scene's
        }
        control.arity = control.kind == ControlKind::Color || control.kind == ControlKind::Float3 ? 3 : 1;
        // The defaults as the block stores them; a colour's alpha is not set from here.
        for (int i = 0; i < control.arity && i < int(parameter.defaultWords.size()); ++i) {
            const std::uint32_t word = parameter.defaultWords[size_t(i)];
            if (control.kind == ControlKind::Integer || control.kind == ControlKind::Boolean) {
                std::int32_t whole;
                std::memcpy(&whole, &word, 4);
                control.defaults[i] = whole;
            } else {
                float number;
                std::memcpy(&number, &word, 4);
                control.defaults[i] = shortestFloat(number);
            }
        }
        control.group = controlGroupOf(control.name);
        controls.push_back(control);
    }
    sortByTemplate(controls);
    return controls;
}

}  // namespace flakecoat::preview::view
