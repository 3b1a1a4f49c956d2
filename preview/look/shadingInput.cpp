#include "look/shadingInput.h"

#include <algorithm>
#include <cctype>
#include <cmath>
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

void deriveSoftRange(ShadingInput& input) {
    if (input.kind == ValueKind::Boolean || input.arity > 3) return;
    input.hasSoftMin = input.hasSoftMax = true;
    if (input.isColor) {
        input.softMin = 0.0;
        input.softMax = 1.0;
        return;
    }
    double low = input.hasHardMin ? *std::min_element(input.hardMin, input.hardMin + std::min(input.arity, 3)) : 0.0;
    double reach = 0.0;
    for (double value : input.defaults)
        if (!input.hasHardMin) low = std::min(low, std::floor(value));
    for (double value : input.defaults) reach = std::max({reach, 2.0 * (value - low), -2.0 * low});
    double span = 1.0;
    for (double decade = 1.0; span < reach; decade *= 10.0)
        for (double step : {1.0, 2.0, 5.0})
            if (span < reach) span = step * decade;
    input.softMin = low;
    input.softMax = low + span;
}

std::string readableName(const std::string& name) {
    std::string readable;
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (i == 0) {
            readable += char(std::toupper(c));
        } else {
            if (std::isupper(c) && !std::isupper(static_cast<unsigned char>(name[i - 1]))) readable += ' ';
            readable += char(c);
        }
    }
    return readable;
}

double shortestFloat(double value) {
    // A whole float is its own shortest text (16777217 reads back as the
    // float 16777216, which is the value).
    const float single = float(value);
    if (single == std::floor(single) && std::fabs(single) < 1e15f) return double(single);
    char text[32];
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        const double candidate = std::strtod(text, nullptr);
        if (float(candidate) == float(value)) return candidate;
    }
    return value;
}

}  // namespace flakecoat::preview
