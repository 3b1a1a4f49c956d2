#ifndef TARN_FLAKECOAT_SHADING_INPUTS_H
#define TARN_FLAKECOAT_SHADING_INPUTS_H

#include <shader.h>

namespace flakecoat::shading {

// One call's parameter values, fetched in the renderer's order. The four
// colours stay addresses (read when needed); everything else is copied.
struct ShadingInputs {
    const miColor* color;
    const miColor* ambientColor;
    const miColor* specularColor;
    const miColor* incandescence;
    miVector refractiveIndex;
    miVector normalCamera;
    bool irradianceOn;
    float diffuse;
    float depthRangeMin, depthRangeMax;
    float specularMin, specularMax;
    float frequencyX, frequencyY;
    float normalDeviation;
    miInteger seed;
    float specularPower;
    miInteger n_light, i_light;
    const miTag* light;
    miColor irradianceColor;
};

// What every light sample of one call shares.
struct SurfaceFrame {
    miVector shadingNormal;
    miVector flakeNormal;
    miVector viewDirection;    // the incoming ray, travelling towards the surface
    float viewFresnelBase;     // (1 - shadingNormal . viewDirection)^5
    float interferenceTerm[3]; // thin-film weight per channel at filmDepth
};

// Adds one light sample (colour Lc, unit direction L towards the light) to a
// light's diffuse and specular sums. Samples from behind the surface or
// grazing it (L . shadingNormal not above 0, or not a number) add nothing.
void addLightSample(const ShadingInputs& in, const SurfaceFrame& frame, const miColor& Lc, const miVector& L,
                    float diffuseSum[3], float specularSum[3]);

}  // namespace flakecoat::shading

#endif
