#ifndef FLAKECOAT_PREVIEW_IMAGE_VIEW_TRANSFORM_H
#define FLAKECOAT_PREVIEW_IMAGE_VIEW_TRANSFORM_H

// How linear pixels become 8-bit display values: scale by 2^exposure, clamp
// to [0, 1] (a NaN becomes 0), apply the sRGB transfer curve, round to the
// nearest of 0..255. Alpha is clamped and rounded without the curve.

#include <cstdint>

namespace flakecoat::preview {

struct ViewTransform {
    float exposure = 0.0f;  // in stops
};

// The sRGB transfer curve (linear segment below 0.0031308, then the 1/2.4
// power) for a value in [0, 1].
float srgbEncode(float linear);

std::uint8_t displayValue(float linear, float scale);  // scale = 2^exposure
std::uint8_t alphaValue(float alpha);

}  // namespace flakecoat::preview

#endif
