#include "look/shadingInput.h"

#include <cstdio>
#include <cstdlib>

namespace flakecoat::preview {

const char* kindName(const ShadingInput& input) {
    if (input.kind == ValueKind::Boolean) return "boolean";
    if (input.kind == ValueKind::Integer) return "integer";
    if (input.isColor) return "color";
    switch (input.arity) {
        case 1: return "float";
        case 2: return "float2";
        case 3: return "float3";
        default: return "matrix";
    }
}

const ShadingInput* findInput(const std::vector<ShadingInput>& inputs, const std::string& name) {
    for (const ShadingInput& input : inputs)
        if (input.name == name) return &input;
    return nullptr;
}

bool overlaps(const ShadingInput& a, const ShadingInput& b) {
    return a.name == b.name || a.parent == b.name || b.parent == a.name;
}

double shortestFloat(double value) {
    char text[32];
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        const double candidate = std::strtod(text, nullptr);
        if (float(candidate) == float(value)) return candidate;
    }
    return value;
}

}  // namespace flakecoat::preview
