#include "colorModel.h"

#include <cmath>

#include "mayaOptics.h"
#include "paintModel.h"
#include "solidNoise.h"

// Single precision, rounded after every operation in the order written
// (the renderer form rounds at fewer places).
// Dot products written inline are the optics' (opticsDot); the Fresnel
// weight's is MFloatVector's own (operator*).

namespace flakecoat::maya::model {

float solidNoiseAround(const MFloatVector& placedPoint, float f, float seed) {
    return solidNoise(paint::firstNoiseCoordinate(placedPoint.x, f, seed),
                      paint::otherNoiseCoordinate(placedPoint.y, f, seed),
                      paint::otherNoiseCoordinate(placedPoint.z, f, seed));
}

MFloatVector evaluateColor(const ColorInputs& in, MFloatVector& N, LightElement* lights, int lightCount,
                           const MFloatVector& transparency, RaytraceFunction raytrace) {
    // 1. Accumulators.
    MFloatVector ambientLightSum(0, 0, 0), diffuseSum(0, 0, 0), specularSum(0, 0, 0), reflectionTerm(0, 0, 0);

    // 2. Eye direction: the ray's for eye rays, else towards the point.
    const MFloatVector viewDirection = normalizeVector(in.raySampler ? in.rayDirection : in.pointCamera);

    // 3. The noise's place.
    const MFloatVector placedPoint = in.pointWorld * in.placementMatrix;

    // 4, 5. Film noise in [0, 1]; flake noise 2|n| - 1, not clamped (the
    // renderer form takes its noise as it comes and uses 2n - 0.5).
    float filmNoise = std::fabs(solidNoiseAround(placedPoint, in.frequencyX, in.seed));
    if (filmNoise > 1.0f) filmNoise = 1.0f;
    const float flakeNoise = 2.0f * std::fabs(solidNoiseAround(placedPoint, in.frequencyY, in.seed)) - 1.0f;

    // 6, 7. Towards the eye; the film's depth.
    const MFloatVector toEye = -normalizeVector(viewDirection);
    const float filmDepth = paint::filmDepth(filmNoise, in.depthRangeMin, in.depthRangeMax);

    // 8. The flake normal: N as read, moved along (1, 1, 1).
    const float o = flakeNoise * in.normalDeviation;
    MFloatVector flakeNormal(N.x + o, N.y + o, N.z + o);
    flakeNormal.normalize();

    // 9. Lights, in order.
    for (int i = 0; i < lightCount; ++i) {
        MFloatVector& L = lights[i].direction;
        const MFloatVector Li = lights[i].intensity;

        // 9a. Ambient.
        if (lights[i].ambient)
            for (int j = 0; j < 3; ++j) ambientLightSum[j] = ambientLightSum[j] + in.color[j] * Li[j];

        // 9b. Diffuse, with L and N as they stand; each light weighted once.
        if (lights[i].diffuse) {
            const float d = opticsDot(L, N);
            for (int j = 0; j < 3; ++j) {
                const float interferenceTerm =
                    paint::interferenceTerm(in.refractiveIndex[j], filmDepth, paint::kFilmWavelengths[j]);
                if (d > 0.0f)
                    diffuseSum[j] = diffuseSum[j] + (((interferenceTerm * in.diffuse) * Li[j]) * in.color[j]) * d;
            }
        }

        // 9c. Specular: L and N normalised in place, for the rest of the sample.
        if (lights[i].specular) {
            L.normalize();
            N.normalize();
            const float d = opticsDot(L, N);
            for (int j = 0; j < 3; ++j) {
                const float m = 1.0f / in.refractiveIndex[j];
                const float fresnelWeight = paint::fresnelWeight(paint::fresnelBase(N * (-L)), m);
                MFloatVector reflectedLight = reflectVector(-L, N);
                reflectedLight.normalize();
                MFloatVector refractedLight = refractVector(-L, N, m);
                refractedLight.normalize();
                MFloatVector refractedView = refractVector(-viewDirection, N, m);
                refractedView.normalize();
                MFloatVector flakeReflection = reflectVector(refractedLight, flakeNormal);
                flakeReflection.normalize();
                // The power of the cosine's magnitude: finite for any exponent.
                const float coatLobe = std::pow(std::fabs(opticsDot(reflectedLight, toEye)), in.specularMin);
                const float flakeLobe = std::pow(std::fabs(opticsDot(flakeReflection, refractedView)), in.specularMax);
                // The flake lobe unweighted, unlike the renderer form's.
                const float lobe = flakeLobe + coatLobe * fresnelWeight;
                if (d > 0.0f) specularSum[j] = specularSum[j] + ((lobe * in.specularPower) * Li[j]) * d;
            }
        }
    }

    // 10. Reflection, one level deep, about the unperturbed N.
    if (in.reflectivity > 0.0f) {
        MFloatVector reflectionColor(0, 0, 0), scratchTransparency(0, 0, 0);
        const MFloatVector I = -viewDirection;
        const float e = opticsDot(I, N);
        MFloatVector reflectionDirection = ((2 * N) * e) - I;
        reflectionDirection.normalize();
        if (in.rayDepth == 0 && raytrace)
            raytrace(in.pointCamera, reflectionDirection, in.objectId, in.raySampler, in.rayDepth, reflectionColor,
                     scratchTransparency, true);
        for (int j = 0; j < 3; ++j) reflectionTerm[j] = reflectionColor[j] * in.reflectivity + 0.0f;
    }

    // 11. Transparency dims all but the specular part.
    MFloatVector outColor;
    for (int j = 0; j < 3; ++j) {
        const float ambientTerm = in.color[j] * in.ambientColor[j];
        const float lit =
            ambientLightSum[j] + (((diffuseSum[j] + ambientTerm) + in.incandescence[j]) + reflectionTerm[j]);
        outColor[j] = (lit * (1.0f - transparency[j])) + specularSum[j];
    }
    return outColor;
}

}  // namespace flakecoat::maya::model
