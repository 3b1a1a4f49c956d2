// One light sample's diffuse and specular contributions: interference-weighted
// diffuse, and two specular lobes, a coat lobe weighted by the Fresnel term
// and a flake lobe seen through the coat.

#include <cmath>

#include <mentalrayOptics.h>
#include <paintModel.h>

#include "shadingInputs.h"
#include "shadingMath.h"

namespace flakecoat::shading {

namespace paint = flakecoat::paint;

void addLightSample(const ShadingInputs& in, const SurfaceFrame& frame, const miColor& Lc, const miVector& L,
                    float diffuseSum[3], float specularSum[3]) {
    const miVector& N = frame.shadingNormal;
    const float d = dot(L, N);
    // A light behind the surface, at grazing incidence or not a number adds
    // nothing: not even a negative diffuse term.
    if (!(d > 0.0f)) return;

    // Diffuse
    for (int c = 0; c < 3; ++c) {
        diffuseSum[c] += ((channel(Lc, c) * (frame.interferenceTerm[c] * in.diffuse)) * channel(in.color, c)) * d;
    }

    // Fresnel base of the light; the coat lobe does not depend on the channel
    const miVector towardsSurface = negated(L);
    const float lightFresnelBase = paint::fresnelBase(dot(towardsSurface, N));
    const miVector reflectedLight = normalizedZeroSafe(mentalray::reflectVector(towardsSurface, N));
    const float coatLobe = std::pow(std::fabs(dot(frame.viewDirection, reflectedLight)), in.specularMin);

    // Lobes per channel: m is the relative index from the outside into the
    // coat. The optics are the renderer form, with wider intermediates.
    for (int c = 0; c < 3; ++c) {
        const float m = 1.0f / channel(in.refractiveIndex, c);
        const float fresnelWeight = paint::fresnelWeight(lightFresnelBase, m);
        const float viewFresnelWeight = paint::fresnelWeight(frame.viewFresnelBase, m);
        const miVector refractedLight = normalizedZeroSafe(mentalray::refractVector(towardsSurface, N, m));
        const miVector refractedView = normalizedZeroSafe(mentalray::refractVector(frame.viewDirection, N, m));
        const miVector flakeReflection = normalizedZeroSafe(mentalray::reflectVector(refractedLight, frame.flakeNormal));
        const float flakeLobe = std::pow(std::fabs(dot(flakeReflection, negated(refractedView))), in.specularMax);
        // Unlike the Maya form, the flake lobe is weighted by the coat's
        // transmission on the way in and out.
        const float lobeTerm =
            (coatLobe * fresnelWeight) + (flakeLobe * ((viewFresnelWeight - 1.0f) * (fresnelWeight - 1.0f)));
        specularSum[c] += (((lobeTerm * in.specularPower) * channel(Lc, c)) * channel(in.specularColor, c)) * d;
    }
}

}  // namespace flakecoat::shading
