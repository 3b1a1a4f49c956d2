// The renderer module's shader interface: the seven mi_ functions a shader
// library binds by name. Each answers from the services the host attached to
// the state (mentalrayHost::RendererServices); a state without services gets
// the services' default answers.

#include <shader.h>

#include <mentalrayHost/rendererServices.h>

namespace {

mentalrayHost::RendererServices defaultServices;

mentalrayHost::RendererServices& servicesFor(const miState* state) {
    mentalrayHost::RendererServices* services = mentalrayHost::servicesOf(state);
    return services ? *services : defaultServices;
}

// A renderer may hand back the state of a trace changed in five fields (the
// ray's end is described there). This one always does, so a shader that
// relies on them afterwards shows it: one unit along the ray, facing back
// along it, moving, with another label.
void leaveRayEnd(miState& state, const miVector& direction) {
    state.point = {state.point.x + direction.x, state.point.y + direction.y, state.point.z + direction.z};
    state.normal = {-direction.x, -direction.y, -direction.z};
    state.dist = 1.0;
    state.motion = {direction.x, direction.y, direction.z};
    state.label = ~state.label;
}

}  // namespace

extern "C" {

// Fills one light sample per call and counts it in *samples; the renderer's
// dot product is the sample direction with the state's normal.
miBoolean mi_sample_light(miColor* result, miVector* direction, miScalar* dot_nl, miState* state,
                          miTag light_inst, miInteger* samples) {
    if (!result || !direction || !state || !samples) return miFALSE;
    miColor colour{0.0f, 0.0f, 0.0f, 1.0f};
    miVector towardsLight{0.0f, 0.0f, 0.0f};
    if (!servicesFor(state).sampleLight(*state, light_inst, *samples, colour, towardsLight)) return miFALSE;
    *result = colour;
    *direction = towardsLight;
    if (dot_nl) {
        const miVector& N = state->normal;
        *dot_nl = towardsLight.x * N.x + towardsLight.y * N.y + towardsLight.z * N.z;
    }
    ++*samples;
    return miTRUE;
}

void mi_reflection_dir(miVector* direction, miState* state) {
    if (!direction || !state) return;
    servicesFor(state).reflectionDirection(*state, *direction);
}

miBoolean mi_trace_reflection(miColor* result, miState* state, miVector* direction) {
    if (!result || !state || !direction) return miFALSE;
    const bool hit = servicesFor(state).traceReflection(*state, *direction, *result);
    leaveRayEnd(*state, *direction);
    return hit ? miTRUE : miFALSE;
}

miBoolean mi_trace_environment(miColor* result, miState* state, miVector* direction) {
    if (!result || !state || !direction) return miFALSE;
    const bool hit = servicesFor(state).traceEnvironment(*state, *direction, *result);
    leaveRayEnd(*state, *direction);
    return hit ? miTRUE : miFALSE;
}

miBoolean mi_compute_irradiance(miColor* result, miState* state) {
    if (!result || !state) return miFALSE;
    return servicesFor(state).computeIrradiance(*state, *result) ? miTRUE : miFALSE;
}

void* mi_phen_eval(miState* state, void* parameter) {
    if (!state) return parameter;
    return servicesFor(state).evaluateParameter(*state, parameter);
}

}  // extern "C"
