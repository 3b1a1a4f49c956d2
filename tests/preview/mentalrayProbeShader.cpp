// A shader library under tarn_flakeCoat's exports that records what the
// renderer gives it and asks each renderer function once, so a test can see
// what the stand-in renderer fills in. Its result is (u, v, level) so the
// caller can tell calls apart.

#include <dlfcn.h>

#include "mentalrayProbe.h"

namespace {

void* moduleHandle = nullptr;
ProbeRecord record;

template <class Function>
Function bind(const char* name) {
    return reinterpret_cast<Function>(dlsym(moduleHandle, name));
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int miSetModuleHandle(void* handle) {
    moduleHandle = handle;
    return 0;
}

__attribute__((visibility("default"))) int tarn_flakeCoat_version() { return 1; }

__attribute__((visibility("default"))) ProbeRecord* probeRecord() { return &record; }

__attribute__((visibility("default"))) miBoolean tarn_flakeCoat(miColor* result, miState* state,
                                                                 flakeCoatParameters* paras) {
    const int level = state->reflection_level < kProbeLevels ? state->reflection_level : kProbeLevels - 1;
    ProbeCall& call = record.level[level];
    call = ProbeCall();
    call.calls = 1;
    call.state = *state;
    call.texture0 = state->tex_list[0];
    call.parameters = *paras;

    // Every light sample of every light in use
    auto sampleLight = bind<decltype(&mi_sample_light)>("mi_sample_light");
    for (int i = 0; i < paras->n_light && i < kProbeLights; ++i) {
        const miTag tag = paras->light[paras->i_light + i];
        call.lightTags[i] = tag;
        miColor colour;
        miVector direction;
        miScalar dot;
        miInteger samples = 0;
        while (sampleLight(&colour, &direction, &dot, state, tag, &samples)) {
            if (samples == 1) call.lightDirection[i] = direction;
            call.lightColourSum[i].r += colour.r;
            call.lightColourSum[i].g += colour.g;
            call.lightColourSum[i].b += colour.b;
        }
        call.lightSamples[i] = samples;
    }

    // Reflection, environment, irradiance
    bind<decltype(&mi_reflection_dir)>("mi_reflection_dir")(&call.reflectionDirection, state);
    miVector direction = call.reflectionDirection;
    miColor colour{};
    const miBoolean reflected = bind<decltype(&mi_trace_reflection)>("mi_trace_reflection")(&colour, state, &direction);
    // The nested call (if the ray hit the ball) has overwritten its own level only.
    ProbeCall& again = record.level[level];
    again.reflected = reflected;
    again.reflectionColour = colour;
    again.environmentFound =
        bind<decltype(&mi_trace_environment)>("mi_trace_environment")(&again.environmentColour, state, &direction);
    again.irradianceFound = bind<decltype(&mi_compute_irradiance)>("mi_compute_irradiance")(&again.irradiance, state);

    result->r = state->tex_list[0].x;
    result->g = state->tex_list[0].y;
    result->b = float(state->reflection_level);
    result->a = 1.0f;
    return miTRUE;
}

}  // extern "C"
