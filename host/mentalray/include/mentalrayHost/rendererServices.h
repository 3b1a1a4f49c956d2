#ifndef MENTALRAY_HOST_RENDERER_SERVICES_H
#define MENTALRAY_HOST_RENDERER_SERVICES_H

#include <cmath>

#include <shader.h>

namespace mentalrayHost {

// What the renderer module asks the host program for. The module's mi_
// functions find the services through the state they are given (its
// host_context, see attachServices), so a host may attach one object per
// sample, per thread or per render. Every function has a default answer; a
// host overrides what its scene supports.
//
// Calls arrive from every thread that shades, and a trace may shade again on
// the same thread before it returns (tarn_flakeCoat calls mi_trace_* from
// inside its own call): an implementation shared between threads must be
// safe for concurrent calls, and must not hold a lock across a trace.
// The state passed in is the shader's own copy; its normal is the shading
// normal the shader built.
class RendererServices {
public:
    virtual ~RendererServices() = default;

    // Sample number `index` (0, 1, ...) of the light instance `light` as seen
    // from the state's point: true with the sample's colour and its unit
    // direction towards the light, false when the light has no further sample
    // (a point light yields one, an area light several). Default: no samples.
    virtual bool sampleLight(const miState& state, miTag light, miInteger index, miColor& colour,
                             miVector& direction) {
        (void)state, (void)light, (void)index, (void)colour, (void)direction;
        return false;
    }

    // The direction of the mirror reflection at the state's point. Default:
    // state.dir mirrored about state.normal, normalised (the direction is left
    // as computed when its length is 0).
    virtual void reflectionDirection(const miState& state, miVector& direction) {
        const miVector& D = state.dir;
        const miVector& N = state.normal;
        const double dn = double(D.x) * N.x + double(D.y) * N.y + double(D.z) * N.z;
        const double r[3] = {D.x - 2.0 * dn * N.x, D.y - 2.0 * dn * N.y, D.z - 2.0 * dn * N.z};
        const double length = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
        const double scale = length > 0.0 ? 1.0 / length : 1.0;
        direction = {float(r[0] * scale), float(r[1] * scale), float(r[2] * scale)};
    }

    // The colour seen along `direction` from the state's point: true with the
    // colour, false when the ray leaves the scene. Default: false.
    virtual bool traceReflection(const miState& state, const miVector& direction, miColor& colour) {
        (void)state, (void)direction, (void)colour;
        return false;
    }

    // The environment's colour in `direction`: true with the colour, false
    // when there is no environment. Default: false.
    virtual bool traceEnvironment(const miState& state, const miVector& direction, miColor& colour) {
        (void)state, (void)direction, (void)colour;
        return false;
    }

    // Indirect light arriving at the state's point: true with the irradiance
    // written, false when the host computes none (nothing written). Default:
    // false.
    virtual bool computeIrradiance(const miState& state, miColor& irradiance) {
        (void)state, (void)irradiance;
        return false;
    }

    // The address of a parameter's value for this sample when another shader
    // is connected to it (the renderer only asks for parameters whose
    // connection word is set). The value must stay readable until the shader
    // call returns. Default: the parameter's own address (no connection).
    virtual void* evaluateParameter(const miState& state, void* parameter) {
        (void)state;
        return parameter;
    }
};

// The state carries its services in host_context; a null context gets the
// default answers above.
inline void attachServices(miState& state, RendererServices* services) { state.host_context = services; }

inline RendererServices* servicesOf(const miState* state) {
    return state ? static_cast<RendererServices*>(state->host_context) : nullptr;
}

}  // namespace mentalrayHost

#endif
