// The shader tarn_flakeCoat: fetches its parameters in the renderer's order,
// builds the shading normal and the flake normal from two noise values, sums
// the sampled lights, blends in the traced reflection and adds the ambient,
// incandescence and irradiance terms to the result record.
//
// Everything of one call lives on its stack; the only shared data are the
// binding layer's cached addresses.

#include <paintModel.h>

#include "dynload.h"
#include "evalParameter.h"
#include "flakeCoatParameters.h"
#include "shadingInputs.h"
#include "shadingMath.h"

using namespace flakecoat::shading;
namespace paint = flakecoat::paint;

namespace {

// pi as the nearest single-precision value: the irradiance term's divisor.
constexpr float kPi = 3.1415927410125732f;

ShadingInputs evaluateInputs(miState* state, flakeCoatParameters* paras) {
    ShadingInputs in{};
    in.color = *evalParameter(state, &paras->color);
    in.ambientColor = *evalParameter(state, &paras->ambientColor);
    in.specularColor = *evalParameter(state, &paras->specularColor);
    in.incandescence = *evalParameter(state, &paras->incandescence);
    in.refractiveIndex = *evalParameter(state, &paras->refractiveIndex);
    in.normalCamera = *evalParameter(state, &paras->normalCamera);
    in.useIrradiance = *evalParameter(state, &paras->useIrradiance);
    in.diffuse = *evalParameter(state, &paras->diffuse);
    in.depthRangeMin = *evalParameter(state, &paras->depthRangeMin);
    in.depthRangeMax = *evalParameter(state, &paras->depthRangeMax);
    in.specularMin = *evalParameter(state, &paras->specularMin);
    in.specularMax = *evalParameter(state, &paras->specularMax);
    in.frequencyX = *evalParameter(state, &paras->frequencyX);
    in.frequencyY = *evalParameter(state, &paras->frequencyY);
    in.normalDeviation = *evalParameter(state, &paras->normalDeviation);
    in.seed = *evalParameter(state, &paras->seed);
    in.specularPower = *evalParameter(state, &paras->specularPower);
    in.n_light = *evalParameter(state, &paras->n_light);
    in.i_light = *evalParameter(state, &paras->i_light);
    in.lights = evalParameter(state, &paras->light[0]);
    if (in.useIrradiance) {
        in.irradianceColor = *evalParameter(state, &paras->irradianceColor);
        // Black switches the term off for this call
        const miColor& k = in.irradianceColor;
        if (k.r == 0.0f && k.g == 0.0f && k.b == 0.0f) in.useIrradiance = miFALSE;
    }
    return in;
}

// The renderer's 2-D noise at texture position (u, v) for frequency f.
float noiseAt(float u, float v, float f, float s) {
    return mi_noise_2d(paint::firstNoiseCoordinate(u, f, s), paint::otherNoiseCoordinate(v, f, s));
}

SurfaceFrame buildFrame(const miState& state, const ShadingInputs& in, const miVector& shadingNormal) {
    SurfaceFrame frame;
    frame.shadingNormal = shadingNormal;
    frame.viewDirection = state.dir;
    frame.viewFresnelBase = paint::fresnelBase(dot(shadingNormal, state.dir));

    // Film and flake noise at the texture position (none given: the origin)
    const float u = state.tex_list ? state.tex_list[0].x : 0.0f;
    const float v = state.tex_list ? state.tex_list[0].y : 0.0f;
    const float s = float(in.seed);
    // Unlike the Maya form, the film noise is used as it comes and the flake
    // noise is 2n - 0.5, not 2|n| - 1.
    const float filmNoise = noiseAt(u, v, in.frequencyX, s);
    const float flakeNoise = 2.0f * noiseAt(u, v, in.frequencyY, s) - 0.5f;
    const float filmDepth = paint::filmDepth(filmNoise, in.depthRangeMin, in.depthRangeMax);

    // Flake normal: the one offset tilts every axis alike; unlike the Maya
    // form's, the normalisation leaves a zero vector zero.
    const float o = flakeNoise * in.normalDeviation;
    frame.flakeNormal = normalizedZeroSafe({shadingNormal.x + o, shadingNormal.y + o, shadingNormal.z + o});

    for (int c = 0; c < 3; ++c) {
        frame.interferenceTerm[c] =
            paint::interferenceTerm(channel(in.refractiveIndex, c), filmDepth, paint::kFilmWavelengths[c]);
    }
    return frame;
}

// Each light in use, sampled until the renderer has no further sample; a
// light adds the mean of its samples.
void addLights(miColor* result, miState* shadingState, const ShadingInputs& in, const SurfaceFrame& frame) {
    for (miInteger k = 0; k < in.n_light; ++k) {
        const miTag light = in.lights[in.i_light + k];
        float diffuseSum[3] = {0.0f, 0.0f, 0.0f};
        float specularSum[3] = {0.0f, 0.0f, 0.0f};
        miInteger samples = 0;
        miColor Lc{0.0f, 0.0f, 0.0f, 0.0f};
        miVector L{0.0f, 0.0f, 0.0f};
        miScalar rendererDot = 0.0f;
        while (mi_sample_light(&Lc, &L, &rendererDot, shadingState, light, &samples)) {
            addLightSample(in, frame, Lc, L, diffuseSum, specularSum);
        }
        if (samples > 0) {
            const float count = float(samples);
            result->r += (diffuseSum[0] + specularSum[0]) / count;
            result->g += (diffuseSum[1] + specularSum[1]) / count;
            result->b += (diffuseSum[2] + specularSum[2]) / count;
        }
    }
}

// What a renderer may change in the state handed to mi_trace_reflection
// and mi_trace_environment, kept to be put back.
struct TraceChangeableFields {
    explicit TraceChangeableFields(const miState& state)
        : label(state.label), point(state.point), normal(state.normal), dist(state.dist), motion(state.motion) {}
    void restore(miState& state) const {
        state.label = label;
        state.point = point;
        state.normal = normal;
        state.dist = dist;
        state.motion = motion;
    }
    decltype(miState::label) label;
    miVector point, normal;
    decltype(miState::dist) dist;
    miVector motion;
};

// Blends the traced reflection (or the environment when the ray leaves the
// scene) in by reflectivity; a reflectivity not above 0 traces nothing.
void blendReflection(miColor* result, miState* state, miState* shadingState, flakeCoatParameters* paras) {
    const float reflectivity = *evalParameter(state, &paras->reflectivity);
    if (!(reflectivity > 0.0f)) return;
    result->r *= 1.0f - reflectivity;
    result->g *= 1.0f - reflectivity;
    result->b *= 1.0f - reflectivity;

    miVector reflectionDirection{0.0f, 0.0f, 0.0f};
    mi_reflection_dir(&reflectionDirection, shadingState);
    miColor reflectionColor{0.0f, 0.0f, 0.0f, 0.0f};
    // The trace functions may change five fields of the state they are
    // given; every call after one gets the state as built again.
    const TraceChangeableFields built(*shadingState);
    bool traced = mi_trace_reflection(&reflectionColor, shadingState, &reflectionDirection);
    built.restore(*shadingState);
    if (!traced) {
        traced = mi_trace_environment(&reflectionColor, shadingState, &reflectionDirection);
        built.restore(*shadingState);
    }
    if (traced) {
        result->r += reflectivity * reflectionColor.r;
        result->g += reflectivity * reflectionColor.g;
        result->b += reflectivity * reflectionColor.b;
    }
}

}  // namespace

TARN_EXPORT int tarn_flakeCoat_version() { return 1; }

TARN_EXPORT miBoolean tarn_flakeCoat(miColor* result, miState* state, flakeCoatParameters* paras) {
    const ShadingInputs in = evaluateInputs(state, paras);

    // Shading normal, and the state copy every renderer call gets
    const miVector& rendererNormal = state->normal;
    const miVector shadingNormal = normalizedZeroSafe({rendererNormal.x + in.normalCamera.x,
                                                       rendererNormal.y + in.normalCamera.y,
                                                       rendererNormal.z + in.normalCamera.z});
    miState shadingState = *state;
    shadingState.normal = shadingNormal;

    const SurfaceFrame frame = buildFrame(*state, in, shadingNormal);
    addLights(result, &shadingState, in, frame);
    blendReflection(result, state, &shadingState, paras);

    // Ambient and incandescence
    result->r += in.ambientColor.r * in.color.r;
    result->g += in.ambientColor.g * in.color.g;
    result->b += in.ambientColor.b * in.color.b;
    result->r += in.incandescence.r;
    result->g += in.incandescence.g;
    result->b += in.incandescence.b;
    result->a = 1.0f;

    // Irradiance; a renderer that writes nothing leaves it black
    if (in.useIrradiance) {
        miColor irradiance{0.0f, 0.0f, 0.0f, 0.0f};
        mi_compute_irradiance(&irradiance, &shadingState);
        result->r += ((in.color.r * irradiance.r) * in.irradianceColor.r) / kPi;
        result->g += ((in.color.g * irradiance.g) * in.irradianceColor.g) / kPi;
        result->b += ((in.color.b * irradiance.b) * in.irradianceColor.b) / kPi;
        result->a = 1.0f;
    }
    return miTRUE;
}
