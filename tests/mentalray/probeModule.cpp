// A renderer module for the binding tests: every function answers with a
// value the test sets, so the test can see the binder pass it through. Built
// twice: complete, and with PROBE_PARTIAL without mi_noise_2d and
// mi_trace_environment, so their lookups fail.

#include <cstdint>
#include <cstring>

#include <shader.h>

extern "C" {

// Answers and the last arguments, set and read by the test through dlsym.
std::uint32_t probe_noise_bits = 0;
miBoolean probe_boolean = miFALSE;
std::intptr_t probe_pointer_shift = 0;
const void* probe_arguments[6] = {};
miTag probe_light = 0;
float probe_noise_arguments[2] = {};

miBoolean mi_compute_irradiance(miColor* result, miState* state) {
    probe_arguments[0] = result;
    probe_arguments[1] = state;
    return probe_boolean;
}

miBoolean mi_trace_reflection(miColor* result, miState* state, miVector* direction) {
    probe_arguments[0] = result;
    probe_arguments[1] = state;
    probe_arguments[2] = direction;
    return probe_boolean;
}

miBoolean mi_sample_light(miColor* result, miVector* direction, miScalar* dot_nl, miState* state,
                          miTag light_inst, miInteger* samples) {
    probe_arguments[0] = result;
    probe_arguments[1] = direction;
    probe_arguments[2] = dot_nl;
    probe_arguments[3] = state;
    probe_arguments[4] = samples;
    probe_light = light_inst;
    return probe_boolean;
}

void* mi_phen_eval(miState* state, void* parameter) {
    probe_arguments[0] = state;
    probe_arguments[1] = parameter;
    return static_cast<char*>(parameter) + probe_pointer_shift;
}

void mi_reflection_dir(miVector* direction, miState* state) {
    probe_arguments[0] = direction;
    probe_arguments[1] = state;
    *direction = {1.0f, 2.0f, 3.0f};
}

#ifndef PROBE_PARTIAL
miBoolean mi_trace_environment(miColor* result, miState* state, miVector* direction) {
    probe_arguments[0] = result;
    probe_arguments[1] = state;
    probe_arguments[2] = direction;
    return probe_boolean;
}

miScalar mi_noise_2d(miScalar u, miScalar v) {
    probe_noise_arguments[0] = u;
    probe_noise_arguments[1] = v;
    float value;
    std::memcpy(&value, &probe_noise_bits, sizeof value);
    return value;
}
#endif

}  // extern "C"
