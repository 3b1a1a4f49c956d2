// The renderer binders: one forwarding function per renderer function, under
// the renderer's own name and signature (shader.h). Each finds its function
// through its slot and passes arguments and result through unchanged.
//
// While a function cannot be found there is nothing to call; the binder then
// answers so that the shading stays sound: false from the boolean functions
// (no light sample, no trace, no irradiance), 0 from the noise, the
// parameter's own address from mi_phen_eval, and no direction written by
// mi_reflection_dir.
//
// The binders are local to this library (hidden visibility): the shader's
// calls never resolve to the renderer module's functions of the same names.

#include <shader.h>

#include "dynload.h"

namespace {

template <class Function>
Function bound(dynload::Slot slot, const char* name) {
    return reinterpret_cast<Function>(dynload::boundFunction(slot, name));
}

}  // namespace

extern "C" {

miBoolean mi_compute_irradiance(miColor* result, miState* state) {
    using Function = miBoolean (*)(miColor*, miState*);
    const Function function = bound<Function>(dynload::kComputeIrradiance, "mi_compute_irradiance");
    return function ? function(result, state) : miFALSE;
}

miBoolean mi_trace_reflection(miColor* result, miState* state, miVector* direction) {
    using Function = miBoolean (*)(miColor*, miState*, miVector*);
    const Function function = bound<Function>(dynload::kTraceReflection, "mi_trace_reflection");
    return function ? function(result, state, direction) : miFALSE;
}

miBoolean mi_trace_environment(miColor* result, miState* state, miVector* direction) {
    using Function = miBoolean (*)(miColor*, miState*, miVector*);
    const Function function = bound<Function>(dynload::kTraceEnvironment, "mi_trace_environment");
    return function ? function(result, state, direction) : miFALSE;
}

miBoolean mi_sample_light(miColor* result, miVector* direction, miScalar* dot_nl, miState* state,
                          miTag light_inst, miInteger* samples) {
    using Function = miBoolean (*)(miColor*, miVector*, miScalar*, miState*, miTag, miInteger*);
    const Function function = bound<Function>(dynload::kSampleLight, "mi_sample_light");
    return function ? function(result, direction, dot_nl, state, light_inst, samples) : miFALSE;
}

void* mi_phen_eval(miState* state, void* parameter) {
    using Function = void* (*)(miState*, void*);
    const Function function = bound<Function>(dynload::kPhenEval, "mi_phen_eval");
    return function ? function(state, parameter) : parameter;
}

void mi_reflection_dir(miVector* direction, miState* state) {
    using Function = void (*)(miVector*, miState*);
    const Function function = bound<Function>(dynload::kReflectionDir, "mi_reflection_dir");
    if (function) function(direction, state);
}

miScalar mi_noise_2d(miScalar u, miScalar v) {
    using Function = miScalar (*)(miScalar, miScalar);
    const Function function = bound<Function>(dynload::kNoise2d, "mi_noise_2d");
    return function ? function(u, v) : 0.0f;
}

}  // extern "C"
