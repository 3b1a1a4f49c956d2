#include "colorEvaluation.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "mayaOptics.h"
#include "solidNoise.h"

// Every quantity is single precision and rounds after each operation, in the
// order written; results are compared bit for bit with other builds of the
// same model. Work that does not depend on the light or the channel is done
// once per sample, and work whose result would be discarded is skipped, but
// no operation is reordered or merged.

namespace flakecoat::maya {
namespace {

// Fixed offsets of the noise coordinates, the same in both deliverables.
constexpr float kFirstNoiseOffset = 19928.0f;
constexpr float kOtherNoiseOffset = 1998122.0f;

// Film wavelengths for R, G, B, in the units of the film depth.
constexpr float kFilmWavelengths[3] = {645.0f, 525.0f, 445.0f};

// 4*pi rounded to single precision.
constexpr float kFourPi = 12.566371f;

constexpr float kFresnelExponent = 5.0f;

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

bool sameBits(const MFloatVector& a, const MFloatVector& b) {
    return bitsOf(a.x) == bitsOf(b.x) && bitsOf(a.y) == bitsOf(b.y) && bitsOf(a.z) == bitsOf(b.z);
}

void copyChannels(float (&to)[3], const MFloatVector& from) {
    to[0] = from.x;
    to[1] = from.y;
    to[2] = from.z;
}

// One noise sample around the placed point at frequency f. Each coordinate
// rounds after every step: near 19928 a float resolves 1/512, near 1998122
// only 1/8, so the noise is sampled on that grid.
float noiseAt(const MFloatVector& placedPoint, float f, float seed) {
    const float first = ((f * placedPoint.x) + seed) + kFirstNoiseOffset;
    const float second = (((f * placedPoint.y) * 0.5f) + seed) + kOtherNoiseOffset;
    const float third = (((f * placedPoint.z) * 0.5f) + seed) + kOtherNoiseOffset;
    return solidNoise(first, second, third);
}

}  // namespace

ColorEvaluation::ColorEvaluation(const ColorInputs& inputs, MFloatVector& normalCamera)
    : diffuse_(inputs.diffuse),
      specularMin_(inputs.specularMin),
      specularMax_(inputs.specularMax),
      specularPower_(inputs.specularPower),
      depthRangeMin_(inputs.depthRangeMin),
      depthRangeMax_(inputs.depthRangeMax),
      frequencyX_(inputs.frequencyX),
      frequencyY_(inputs.frequencyY),
      seed_(inputs.seed),
      normalDeviation_(inputs.normalDeviation),
      reflectivity_(inputs.reflectivity),
      pointCamera_(inputs.pointCamera),
      raySampler_(inputs.raySampler),
      objectId_(inputs.objectId),
      rayDepth_(inputs.rayDepth),
      normalCamera_(&normalCamera),
      normalAsRead_(normalCamera) {
    copyChannels(color_, inputs.color);
    copyChannels(ambientColor_, inputs.ambientColor);
    copyChannels(incandescence_, inputs.incandescence);
    for (int j = 0; j < 3; ++j) refractiveIndex_[j] = inputs.refractiveIndex[j];

    indicesEqual_ = bitsOf(refractiveIndex_[0]) == bitsOf(refractiveIndex_[1]) &&
                    bitsOf(refractiveIndex_[0]) == bitsOf(refractiveIndex_[2]);

    // Eye direction: the ray's when a sampler is present, else towards the point.
    const MFloatVector& eye = inputs.raySampler != nullptr ? inputs.rayDirection : inputs.pointCamera;
    viewDirection_ = normalizeVector(eye);

    // The noise is sampled only where a light needs it, but the tables are
    // built here, where the film noise of the first sample would build them.
    placedPoint_ = inputs.pointWorld * inputs.placementMatrix;
    prepareSolidNoise();
}

void ColorEvaluation::addLight(const MFloatVector& intensity, MFloatVector& direction, bool ambient,
                               bool diffuse, bool specular) {
    MFloatVector& normal = *normalCamera_;

    if (ambient) {
        for (int j = 0; j < 3; ++j) ambientLightSum_[j] = ambientLightSum_[j] + color_[j] * intensity[j];
    }

    // Diffuse sees L and N as they stand, before this light normalises them.
    const float diffuseD = diffuse ? opticsDot(direction, normal) : 0.0f;
    if (!specular) {
        if (diffuse) addDiffuse(intensity, diffuseD);
        return;
    }

    // Specular normalises L and N in place; later lights, and the reflection,
    // see the normalised N. A light behind the surface (or a NaN d) adds no
    // specular part, so its lobes are not formed.
    direction.normalize();
    normal.normalize();
    const float d = opticsDot(direction, normal);
    const bool inFront = d > 0.0f;
    // The light's long chains first, then the per-sample work (noise,
    // interference) that runs alongside them, then the lobes.
    LightRays rays;
    if (inFront) traceLightRays(direction, rays);
    if (inFront && !flakeNormalReady_) prepareFlakeNormal();
    if (diffuse) addDiffuse(intensity, diffuseD);
    if (inFront) addSpecular(intensity, d, rays);
}

// A light behind the surface (or a NaN d) adds nothing: its term is not needed.
void ColorEvaluation::addDiffuse(const MFloatVector& intensity, float d) {
    if (!(d > 0.0f)) return;
    if (!interferenceReady_) prepareInterference();
    for (int j = 0; j < 3; ++j) {
        diffuseSum_[j] =
            diffuseSum_[j] + (((interferenceTerm_[j] * diffuse_) * intensity[j]) * color_[j]) * d;
    }
}

// Film noise and depth, and the thin-film interference per channel: the
// same for every light of the sample.
void ColorEvaluation::prepareInterference() {
    float filmNoise = std::fabs(noiseAt(placedPoint_, frequencyX_, seed_));
    if (filmNoise > 1.0f) filmNoise = 1.0f;
    // The depth bounds are not ordered: min above max runs the other way.
    const float filmDepth = ((1.0f - filmNoise) * depthRangeMin_) + (filmNoise * depthRangeMax_);

    float filmRoot[3];
    for (int j = 0; j < 3; ++j) {
        if (j > 0 && indicesEqual_) {
            filmRoot[j] = filmRoot[0];
            continue;
        }
        const float n = refractiveIndex_[j];
        const float interferenceBase = (n / ((n + 1.0f) * (n + 1.0f))) * 3.0f;
        filmRoot[j] = std::sqrt((1.0f - interferenceBase) * interferenceBase);
    }
    for (int j = 0; j < 3; ++j) {
        const float phase = ((refractiveIndex_[j] * kFourPi) * filmDepth) / kFilmWavelengths[j];
        interferenceTerm_[j] = ((2.0f * std::cos(phase)) * filmRoot[j] + 1.0f) * 0.5f;
    }
    interferenceReady_ = true;
}

void ColorEvaluation::prepareRelativeIndices() {
    for (int j = 0; j < 3; ++j) {
        relativeIndex_[j] = 1.0f / refractiveIndex_[j];
        oneMinusRelativeIndex_[j] = 1.0f - relativeIndex_[j];
    }
    relativeIndicesReady_ = true;
}

// Flake noise, the flake normal and the direction to the eye: used by the
// specular lobes only. The flake offset moves N, as read, along (1, 1, 1).
void ColorEvaluation::prepareFlakeNormal() {
    const float flakeNoise = 2.0f * std::fabs(noiseAt(placedPoint_, frequencyY_, seed_)) - 1.0f;
    const float offset = flakeNoise * normalDeviation_;
    flakeNormal_ = MFloatVector(normalAsRead_.x + offset, normalAsRead_.y + offset, normalAsRead_.z + offset);
    flakeNormal_.normalize();
    toEye_ = -normalizeVector(viewDirection_);
    flakeNormalReady_ = true;
}

void ColorEvaluation::traceLightRays(const MFloatVector& direction, LightRays& rays) {
    if (!relativeIndicesReady_) prepareRelativeIndices();
    const MFloatVector& normal = *normalCamera_;
    rays.incidentLight = -direction;
    rays.reflectedLight = reflectVector(rays.incidentLight, normal);
    rays.reflectedLight.normalize();
    const int channels = indicesEqual_ ? 1 : 3;
    for (int j = 0; j < channels; ++j) {
        rays.refractedLight[j] = refractVector(rays.incidentLight, normal, relativeIndex_[j]);
        rays.refractedLight[j].normalize();
    }
    if (!refractedViewReady_ || !sameBits(refractedViewNormal_, normal)) {
        const MFloatVector incidentView = -viewDirection_;
        for (int j = 0; j < channels; ++j) {
            refractedView_[j] = refractVector(incidentView, normal, relativeIndex_[j]);
            refractedView_[j].normalize();
        }
        refractedViewNormal_ = normal;
        refractedViewReady_ = true;
    }
}

// Coat lobe weighted by Fresnel plus the flake lobe.
void ColorEvaluation::addSpecular(const MFloatVector& intensity, float d, const LightRays& rays) {
    const MFloatVector& normal = *normalCamera_;

    // Fresnel base: 1 + L.N, so between 1 and 2 for a light in front.
    const float fresnelBase = std::pow(1.0f - normal * rays.incidentLight, kFresnelExponent);
    // The power of the signed cosine: NaN for a negative base and a
    // non-integral exponent, and that NaN is kept.
    const float coatLobe = std::fabs(std::pow(opticsDot(rays.reflectedLight, toEye_), specularMin_));

    auto lobeTerm = [&](int j) {
        MFloatVector flakeReflection = reflectVector(rays.refractedLight[j], flakeNormal_);
        flakeReflection.normalize();
        const float flakeLobe = std::fabs(std::pow(opticsDot(flakeReflection, refractedView_[j]), specularMax_));
        const float fresnelWeight = (fresnelBase * oneMinusRelativeIndex_[j]) + relativeIndex_[j];
        return flakeLobe + (coatLobe * fresnelWeight);
    };
    float lobe[3];
    if (indicesEqual_) {
        lobe[0] = lobe[1] = lobe[2] = lobeTerm(0);
    } else {
        for (int j = 0; j < 3; ++j) lobe[j] = lobeTerm(j);
    }

    for (int j = 0; j < 3; ++j) {
        specularSum_[j] = specularSum_[j] + ((lobe[j] * specularPower_) * intensity[j]) * d;
    }
}

void ColorEvaluation::traceReflection(RaytraceFunction raytrace) {
    if (!(reflectivity_ > 0.0f)) return;
    MFloatVector reflectionColor(0.0f, 0.0f, 0.0f);

    // Primary rays only: reflections are one level deep.
    if (rayDepth_ == 0 && raytrace != nullptr) {
        const MFloatVector& normal = *normalCamera_;
        const MFloatVector incident = -viewDirection_;
        const float e = opticsDot(incident, normal);
        MFloatVector reflectionDirection = ((2 * normal) * e) - incident;
        reflectionDirection.normalize();
        MFloatVector scratchTransparency(0.0f, 0.0f, 0.0f);
        raytrace(pointCamera_, reflectionDirection, objectId_, raySampler_, rayDepth_, reflectionColor,
                 scratchTransparency, true);
    }
    // Even an untraced (black) reflection is weighted: 0 * inf stays NaN.
    reflectionTerm_[0] = (reflectionColor.x * reflectivity_) + 0.0f;
    reflectionTerm_[1] = (reflectionColor.y * reflectivity_) + 0.0f;
    reflectionTerm_[2] = (reflectionColor.z * reflectivity_) + 0.0f;
}

// Transparency dims everything but the specular part.
MFloatVector ColorEvaluation::combine(const MFloatVector& transparency) const {
    float outColor[3];
    for (int j = 0; j < 3; ++j) {
        const float ambientTerm = color_[j] * ambientColor_[j];
        const float lit =
            ambientLightSum_[j] + (((diffuseSum_[j] + ambientTerm) + incandescence_[j]) + reflectionTerm_[j]);
        outColor[j] = (lit * (1.0f - transparency[j])) + specularSum_[j];
    }
    return MFloatVector(outColor[0], outColor[1], outColor[2]);
}

MFloatVector evaluateColor(const ColorInputs& inputs, MFloatVector& normalCamera, LightElement* lights,
                           int lightCount, const MFloatVector& transparency, RaytraceFunction raytrace) {
    ColorEvaluation evaluation(inputs, normalCamera);
    for (int i = 0; i < lightCount; ++i) {
        LightElement& light = lights[i];
        evaluation.addLight(light.intensity, light.direction, light.ambient, light.diffuse, light.specular);
    }
    evaluation.traceReflection(raytrace);
    return evaluation.combine(transparency);
}

}  // namespace flakecoat::maya
