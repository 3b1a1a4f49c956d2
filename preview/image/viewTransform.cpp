#include "image/viewTransform.h"

#include <cmath>

namespace flakecoat::preview {

namespace {
float clampUnit(float v) {
    if (!(v > 0.0f)) return 0.0f;  // also NaN
    return v < 1.0f ? v : 1.0f;
}
}  // namespace

float srgbEncode(float linear) {
    if (linear <= 0.0031308f) return 12.92f * linear;
    return 1.055f * std::pow(linear, 1.0f / 2.4f) - 0.055f;
}

std::uint8_t displayValue(float linear, float scale) {
    return std::uint8_t(std::lround(srgbEncode(clampUnit(linear * scale)) * 255.0f));
}

std::uint8_t alphaValue(float alpha) { return std::uint8_t(std::lround(clampUnit(alpha) * 255.0f)); }

}  // namespace flakecoat::preview
