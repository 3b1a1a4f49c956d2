#include "colorEvaluation.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "colorEvaluationStages.h"
#include "colorModel.h"
#include "mayaOptics.h"
#include "packedMayaOptics.h"
#include "paintModel.h"
#include "solidNoise.h"

// The step-by-step model of colorModel.cpp, with x, y, z (or R, G, B) in the
// lanes of one register; "step N" below names the step of colorModel.cpp a
// stage reproduces. Every lane rounds after each operation in the model's
// order, so the results are the model's bits. Work that does not depend on
// the light or the channel is done once per sample, and work whose result
// would be discarded is skipped, but no operation is reordered or merged.

namespace flakecoat::maya {
namespace {

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

bool sameBits(const MFloatVector& a, const MFloatVector& b) {
    return bitsOf(a.x) == bitsOf(b.x) && bitsOf(a.y) == bitsOf(b.y) && bitsOf(a.z) == bitsOf(b.z);
}

using packed::Lanes;

Lanes get(const float* lanes) { return packed::loadAligned(lanes); }
void put(float* lanes, Lanes v) { packed::storeAligned(lanes, v); }

}  // namespace

ColorEvaluation::ColorEvaluation(const ColorInputs& inputs, MFloatVector& normalCamera)
    : in_(inputs),
      normalCamera_(&normalCamera),
      normalAsRead_(normalCamera) {
    put(color_.lane, packed::load(inputs.color));
    put(ambientColor_.lane, packed::load(inputs.ambientColor));
    put(incandescence_.lane, packed::load(inputs.incandescence));
    put(refractiveIndex_.lane, packed::load(inputs.refractiveIndex));

    indicesEqual_ = bitsOf(refractiveIndex_.lane[0]) == bitsOf(refractiveIndex_.lane[1]) &&
                    bitsOf(refractiveIndex_.lane[0]) == bitsOf(refractiveIndex_.lane[2]);

    // Step 2: eye direction, the ray's when a sampler is present, else towards the point.
    const MFloatVector& eye = inputs.raySampler != nullptr ? inputs.rayDirection : inputs.pointCamera;
    put(viewDirection_.lane, packed::normalizeVector(packed::load(eye)));

    // Step 3. The noise is sampled only where a light needs it, but the tables are
    // built here, where the film noise of the first sample would build them.
    placedPoint_ = inputs.pointWorld * inputs.placementMatrix;
    prepareSolidNoise();
}

void ColorEvaluation::addLight(const MFloatVector& intensity, MFloatVector& direction, bool ambient,
                               bool diffuse, bool specular) {
    if (ambient) {  // step 9a
        put(ambientLightSum_.lane, packed::add(get(ambientLightSum_.lane),
                                               packed::mul(get(color_.lane), packed::load(intensity))));
    }

    // Step 9b: diffuse sees L and N as they stand, before this light normalises them.
    const float diffuseD = diffuse ? opticsDot(direction, *normalCamera_) : 0.0f;
    if (!specular) {
        if (diffuse) addDiffuse(intensity, diffuseD);
        return;
    }

    // Step 9c: specular normalises L and N in place; later lights, and the reflection,
    // see the normalised N. A light behind the surface (or a NaN d) adds no
    // specular part, so its lobes are not formed.
    Triple light, normal;
    put(light.lane, packed::normalized(packed::load(direction)));
    packed::store(direction, get(light.lane));
    put(normal.lane, packed::normalized(packed::load(*normalCamera_)));
    packed::store(*normalCamera_, get(normal.lane));
    const float d = packed::opticsDot(get(light.lane), get(normal.lane));
    const bool inFront = d > 0.0f;
    // Issue order, found by measurement: the light's rays into the coat, the
    // per-sample noise and interference that run alongside them, the flake
    // reflections that end the longest chain, then the sums and powers.
    LightRays rays;
    if (inFront) traceLightRays(light, normal, rays);
    if (inFront && !flakeNormalReady_) prepareFlakeNormal();
    if (diffuse && diffuseD > 0.0f && !interferenceReady_) prepareInterference();
    if (inFront) traceFlakeReflections(rays);
    if (diffuse) addDiffuse(intensity, diffuseD);
    if (inFront) addSpecular(intensity, d, normal, rays);
}

// A light behind the surface (or a NaN d) adds nothing: its term is not needed.
void ColorEvaluation::addDiffuse(const MFloatVector& intensity, float d) {
    if (!(d > 0.0f)) return;
    if (!interferenceReady_) prepareInterference();
    const Lanes term = packed::mul(
        packed::mul(packed::mul(packed::mul(get(interferenceTerm_.lane), packed::splat(in_.diffuse)),
                                packed::load(intensity)),
                    get(color_.lane)),
        packed::splat(d));
    put(diffuseSum_.lane, packed::add(get(diffuseSum_.lane), term));
}

// Steps 4 and 7, and paint::interferenceTerm of step 9b per channel: the
// same for every light of the sample.
void ColorEvaluation::prepareInterference() {
    float filmNoise = std::fabs(model::solidNoiseAround(placedPoint_, in_.frequencyX, in_.seed));
    if (filmNoise > 1.0f) filmNoise = 1.0f;
    const float filmDepth = paint::filmDepth(filmNoise, in_.depthRangeMin, in_.depthRangeMax);

    const Lanes n = get(refractiveIndex_.lane);
    const Lanes one = packed::splat(1.0f);
    const Lanes nPlusOne = packed::add(n, one);
    const Lanes interferenceBase = packed::mul(packed::div(n, packed::mul(nPlusOne, nPlusOne)), packed::splat(3.0f));
    const Lanes filmRoot = packed::squareRoots(packed::mul(packed::sub(one, interferenceBase), interferenceBase));
    const float* wavelength = paint::kFilmWavelengths;
    const Lanes phase =
        packed::div(packed::mul(packed::mul(n, packed::splat(paint::kFourPi)), packed::splat(filmDepth)),
                    packed::lanes(wavelength[0], wavelength[1], wavelength[2], 1.0f));
    alignas(16) float phases[4];
    put(phases, phase);
    const Lanes cosine = packed::lanes(std::cos(phases[0]), std::cos(phases[1]), std::cos(phases[2]));
    put(interferenceTerm_.lane,
        packed::mul(packed::add(packed::mul(packed::mul(packed::splat(2.0f), cosine), filmRoot), one),
                    packed::splat(0.5f)));
    interferenceReady_ = true;
}

void ColorEvaluation::prepareRelativeIndices() {
    const Lanes relative = packed::div(packed::splat(1.0f), get(refractiveIndex_.lane));
    put(relativeIndex_.lane, relative);
    put(oneMinusRelativeIndex_.lane, packed::sub(packed::splat(1.0f), relative));
    relativeIndicesReady_ = true;
}

// Steps 5, 6 and 8: flake noise, the flake normal and the direction to the
// eye, used by the specular lobes only.
void ColorEvaluation::prepareFlakeNormal() {
    const float flakeNoise = 2.0f * std::fabs(model::solidNoiseAround(placedPoint_, in_.frequencyY, in_.seed)) - 1.0f;
    const float offset = flakeNoise * in_.normalDeviation;
    put(flakeNormal_.lane, packed::normalized(packed::add(packed::load(normalAsRead_), packed::splat(offset))));
    put(toEye_.lane, packed::negate(packed::normalizeVector(get(viewDirection_.lane))));
    flakeNormalReady_ = true;
}

// Step 9c: the light's rays into the coat and, when the normal has changed,
// the eye's, side by side in the lanes of one register.
void ColorEvaluation::traceLightRays(const Triple& direction, const Triple& normal, LightRays& rays) {
    if (!relativeIndicesReady_) prepareRelativeIndices();
    const Lanes N = get(normal.lane);
    const Lanes incident = packed::negate(get(direction.lane));
    put(rays.incidentLight.lane, incident);
    put(rays.reflectedLight.lane, packed::normalized(packed::reflectVector(incident, N)));
    const MFloatVector normalNow = packed::toVector(N);
    const bool viewReady = refractedViewReady_ && sameBits(refractedViewNormal_, normalNow);
    const Lanes incidentView = packed::negate(get(viewDirection_.lane));
    Lanes row[4];
    if (indicesEqual_) {
        const float eta = relativeIndex_.lane[0];
        if (viewReady) {
            put(rays.refractedLight[0].lane, packed::normalized(packed::refractVector(incident, N, eta)));
        } else {
            // Lanes 0 and 1: the light; lanes 2 and 3: the eye.
            packed::rowsOf(packed::normalizedColumns(packed::refractColumns(
                               packed::columnsOf(incident, incidentView), N, packed::splat(eta))),
                           row);
            put(rays.refractedLight[0].lane, row[0]);
            put(refractedView_[0].lane, row[2]);
        }
    } else {
        const Lanes eta = get(relativeIndex_.lane);
        packed::rowsOf(packed::normalizedColumns(packed::refractColumns(packed::splatColumns(incident), N, eta)), row);
        for (int j = 0; j < 3; ++j) put(rays.refractedLight[j].lane, row[j]);
        if (!viewReady) {
            packed::rowsOf(
                packed::normalizedColumns(packed::refractColumns(packed::splatColumns(incidentView), N, eta)), row);
            for (int j = 0; j < 3; ++j) put(refractedView_[j].lane, row[j]);
        }
    }
    if (!viewReady) {
        refractedViewNormal_ = normalNow;
        refractedViewReady_ = true;
    }
}

// Step 9c: the flake reflections, the end of the light's longest chain.
void ColorEvaluation::traceFlakeReflections(LightRays& rays) {
    if (indicesEqual_) {
        const Lanes flakeReflection =
            packed::normalizedAgain(packed::reflectVector(get(rays.refractedLight[0].lane), get(flakeNormal_.lane)));
        rays.flakeCosine.lane[0] = packed::opticsDot(flakeReflection, get(refractedView_[0].lane));
        return;
    }
    // The three channels' flake reflections side by side.
    const packed::Columns reflection = packed::normalizedColumns(packed::reflectColumns(
        packed::columnsOf(get(rays.refractedLight[0].lane), get(rays.refractedLight[1].lane),
                          get(rays.refractedLight[2].lane)),
        get(flakeNormal_.lane)));
    put(rays.flakeCosine.lane,
        packed::opticsDots(reflection, packed::columnsOf(get(refractedView_[0].lane), get(refractedView_[1].lane),
                                                         get(refractedView_[2].lane))));
}

// Step 9c: coat lobe weighted by Fresnel plus the flake lobe.
void ColorEvaluation::addSpecular(const MFloatVector& intensity, float d, const Triple& normal,
                                  const LightRays& rays) {
    // 1 - N.(-L) = 1 + L.N, between 1 and 2 for a light in front.
    const float fresnelBase = paint::fresnelBase(packed::hostDot(get(normal.lane), get(rays.incidentLight.lane)));
    // The power of the cosine's magnitude: the same bits as the magnitude of
    // the signed power for a whole exponent, and finite for any other.
    const float coatLobe =
        std::pow(std::fabs(packed::opticsDot(get(rays.reflectedLight.lane), get(toEye_.lane))), in_.specularMin);

    const float* cosine = rays.flakeCosine.lane;
    const Lanes flake =
        indicesEqual_ ? packed::splat(std::pow(std::fabs(cosine[0]), in_.specularMax))
                      : packed::lanes(std::pow(std::fabs(cosine[0]), in_.specularMax),
                                      std::pow(std::fabs(cosine[1]), in_.specularMax),
                                      std::pow(std::fabs(cosine[2]), in_.specularMax));
    // paint::fresnelWeight per channel.
    const Lanes fresnelWeight = packed::add(packed::mul(packed::splat(fresnelBase), get(oneMinusRelativeIndex_.lane)),
                                            get(relativeIndex_.lane));
    const Lanes lobe = packed::add(flake, packed::mul(packed::splat(coatLobe), fresnelWeight));
    const Lanes term =
        packed::mul(packed::mul(packed::mul(lobe, packed::splat(in_.specularPower)), packed::load(intensity)),
                    packed::splat(d));
    put(specularSum_.lane, packed::add(get(specularSum_.lane), term));
}

// Step 10.
void ColorEvaluation::traceReflection(RaytraceFunction raytrace) {
    if (!(in_.reflectivity > 0.0f)) return;
    MFloatVector reflectionColor(0.0f, 0.0f, 0.0f);

    // Primary rays only: reflections are one level deep.
    if (in_.rayDepth == 0 && raytrace != nullptr) {
        const Lanes N = packed::load(*normalCamera_);
        const Lanes incident = packed::negate(get(viewDirection_.lane));
        const float e = packed::opticsDot(incident, N);
        const Lanes reflection = packed::sub(
            packed::mul(packed::mul(N, packed::splat(2.0f)), packed::splat(e)), incident);
        const MFloatVector reflectionDirection = packed::toVector(packed::normalized(reflection));
        MFloatVector scratchTransparency(0.0f, 0.0f, 0.0f);
        raytrace(in_.pointCamera, reflectionDirection, in_.objectId, in_.raySampler, in_.rayDepth, reflectionColor,
                 scratchTransparency, true);
    }
    // Even an untraced (black) reflection is weighted: 0 * inf stays NaN.
    put(reflectionTerm_.lane,
        packed::add(packed::mul(packed::load(reflectionColor), packed::splat(in_.reflectivity)), packed::zero()));
}

// Step 11: transparency dims everything but the specular part.
MFloatVector ColorEvaluation::combine(const MFloatVector& transparency) const {
    const Lanes ambientTerm = packed::mul(get(color_.lane), get(ambientColor_.lane));
    const Lanes lit = packed::add(
        get(ambientLightSum_.lane),
        packed::add(packed::add(packed::add(get(diffuseSum_.lane), ambientTerm), get(incandescence_.lane)),
                    get(reflectionTerm_.lane)));
    const Lanes out = packed::add(packed::mul(lit, packed::sub(packed::splat(1.0f), packed::load(transparency))),
                                  get(specularSum_.lane));
    return packed::toVector(out);
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
