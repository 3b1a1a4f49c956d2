#ifndef FLAKECOAT_TESTS_COLOR_REFERENCE_EVALUATION_H
#define FLAKECOAT_TESTS_COLOR_REFERENCE_EVALUATION_H

// A straightforward colour evaluation written step by step from the shading
// model: every light and every channel recomputes everything it needs, no
// result is shared or skipped. The production evaluation shares and skips
// work; this one is the yardstick it must match bit for bit.

#include <math.h>

#include "colorEvaluation.h"
#include "mayaOptics.h"
#include "solidNoise.h"

namespace flakecoat::maya::reference {

inline float inlineDot(const MFloatVector& a, const MFloatVector& b) {
    float sum = a.y * b.y;
    sum = sum + a.x * b.x;
    return sum + a.z * b.z;
}

inline MFloatVector evaluateColor(const ColorInputs& in, MFloatVector& N, LightElement* lights,
                                  int lightCount, const MFloatVector& transparency,
                                  RaytraceFunction raytrace) {
    const float wavelength[3] = {645.0f, 525.0f, 445.0f};
    float ambientLightSum[3] = {0, 0, 0}, diffuseSum[3] = {0, 0, 0};
    float specularSum[3] = {0, 0, 0}, reflectionTerm[3] = {0, 0, 0};

    MFloatVector viewDirection = normalizeVector(in.raySampler ? in.rayDirection : in.pointCamera);
    MFloatVector p = in.pointWorld * in.placementMatrix;

    float f = in.frequencyX;
    float a = f * p.x; a = a + in.seed; a = a + 19928.0f;
    float b = f * p.y; b = b * 0.5f; b = b + in.seed; b = b + 1998122.0f;
    float c = f * p.z; c = c * 0.5f; c = c + in.seed; c = c + 1998122.0f;
    float filmNoise = fabsf(solidNoise(a, b, c));
    if (filmNoise > 1.0f) filmNoise = 1.0f;

    f = in.frequencyY;
    a = f * p.x; a = a + in.seed; a = a + 19928.0f;
    b = f * p.y; b = b * 0.5f; b = b + in.seed; b = b + 1998122.0f;
    c = f * p.z; c = c * 0.5f; c = c + in.seed; c = c + 1998122.0f;
    float flakeNoise = 2.0f * fabsf(solidNoise(a, b, c));
    flakeNoise = flakeNoise - 1.0f;

    MFloatVector toEye = -normalizeVector(viewDirection);
    float filmDepth = (1.0f - filmNoise) * in.depthRangeMin;
    filmDepth = filmDepth + filmNoise * in.depthRangeMax;

    float o = flakeNoise * in.normalDeviation;
    MFloatVector flakeNormal(N.x + o, N.y + o, N.z + o);
    flakeNormal.normalize();

    for (int i = 0; i < lightCount; ++i) {
        MFloatVector& L = lights[i].direction;
        const MFloatVector Li = lights[i].intensity;
        if (lights[i].ambient)
            for (int j = 0; j < 3; ++j) ambientLightSum[j] = ambientLightSum[j] + in.color[j] * Li[j];
        if (lights[i].diffuse) {
            float d = inlineDot(L, N);
            for (int j = 0; j < 3; ++j) {
                float n = in.refractiveIndex[j];
                float base = (n / ((n + 1.0f) * (n + 1.0f))) * 3.0f;
                float phi = ((n * 12.566371f) * filmDepth) / wavelength[j];
                float term = ((2.0f * cosf(phi)) * sqrtf((1.0f - base) * base) + 1.0f) * 0.5f;
                if (d > 0.0f) {
                    float x = term * in.diffuse;
                    x = x * Li[j];
                    x = x * in.color[j];
                    x = x * d;
                    diffuseSum[j] = diffuseSum[j] + x;
                }
            }
        }
        if (lights[i].specular) {
            L.normalize();
            N.normalize();
            float d = inlineDot(L, N);
            for (int j = 0; j < 3; ++j) {
                float m = 1.0f / in.refractiveIndex[j];
                float fresnelWeight = powf(1.0f - N * (-L), 5.0f) * (1.0f - m);
                fresnelWeight = fresnelWeight + m;
                MFloatVector reflectedLight = reflectVector(-L, N);
                reflectedLight.normalize();
                MFloatVector refractedLight = refractVector(-L, N, m);
                refractedLight.normalize();
                MFloatVector refractedView = refractVector(-viewDirection, N, m);
                refractedView.normalize();
                MFloatVector flakeReflection = reflectVector(refractedLight, flakeNormal);
                flakeReflection.normalize();
                float coatLobe = fabsf(powf(inlineDot(reflectedLight, toEye), in.specularMin));
                float flakeLobe = fabsf(powf(inlineDot(flakeReflection, refractedView), in.specularMax));
                float lobe = flakeLobe + coatLobe * fresnelWeight;
                if (d > 0.0f) {
                    float x = lobe * in.specularPower;
                    x = x * Li[j];
                    x = x * d;
                    specularSum[j] = specularSum[j] + x;
                }
            }
        }
    }

    if (in.reflectivity > 0.0f) {
        MFloatVector reflectionColor(0, 0, 0), scratch(0, 0, 0);
        MFloatVector I = -viewDirection;
        float e = inlineDot(I, N);
        MFloatVector R = ((2 * N) * e) - I;
        R.normalize();
        if (in.rayDepth == 0)
            raytrace(in.pointCamera, R, in.objectId, in.raySampler, in.rayDepth, reflectionColor, scratch, true);
        for (int j = 0; j < 3; ++j) reflectionTerm[j] = reflectionColor[j] * in.reflectivity + 0.0f;
    }

    float out[3];
    for (int j = 0; j < 3; ++j) {
        float ambientTerm = in.color[j] * in.ambientColor[j];
        float lit = diffuseSum[j] + ambientTerm;
        lit = lit + in.incandescence[j];
        lit = lit + reflectionTerm[j];
        lit = ambientLightSum[j] + lit;
        out[j] = lit * (1.0f - transparency[j]);
        out[j] = out[j] + specularSum[j];
    }
    return MFloatVector(out[0], out[1], out[2]);
}

}  // namespace flakecoat::maya::reference

#endif
