#ifndef TARN_FLAKECOAT_SHADING_INPUTS_H
#define TARN_FLAKECOAT_SHADING_INPUTS_H

#include <shader.h>

#include "flakeCoatParameters.h"

namespace flakecoat::shading {

// One call's parameter values, fetched in the renderer's order into a copy of
// the block. The light tags stay where the renderer keeps them; reflectivity
// is fetched later, after the lights, and stays 0 here; useIrradiance is
// cleared when a black irradiance colour switches the term off.
struct ShadingInputs : flakeCoatParameters {
    const miTag* lights;
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
