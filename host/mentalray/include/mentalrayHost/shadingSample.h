#ifndef MENTALRAY_HOST_SHADING_SAMPLE_H
#define MENTALRAY_HOST_SHADING_SAMPLE_H

#include <mentalrayHost/rendererServices.h>
#include <shader.h>

namespace mentalrayHost {

// Where a ray met the surface, in one common space.
struct SurfaceHit {
    miVector origin{0.0f, 0.0f, 0.0f};     // the ray's origin
    miVector direction{0.0f, 0.0f, -1.0f}; // unit, from the origin towards the point
    float distance = 0.0f;
    miVector point{0.0f, 0.0f, 0.0f};
    miVector normal{0.0f, 0.0f, 1.0f};     // unit shading normal, facing the ray's side
    miVector geometricNormal{0.0f, 0.0f, 1.0f};
    float u = 0.0f, v = 0.0f;              // texture coordinates
    int reflectionLevel = 0;               // reflections traced to reach this hit
};

// One sample's render state together with the texture list it points to.
// Keep it on the stack of the call that shades (it allocates nothing); it is
// neither copied nor moved, since the state points into it.
class ShadingSample {
public:
    ShadingSample(const SurfaceHit& hit, miFunction& shaderFunction, RendererServices* services) {
        texture_[0] = {hit.u, hit.v, 0.0f};
        state_ = miState{};
        state_.org = hit.origin;
        state_.dir = hit.direction;
        state_.dist = hit.distance;
        state_.point = hit.point;
        state_.normal = hit.normal;
        state_.normal_geom = hit.geometricNormal;
        state_.tex_list = texture_;
        state_.shader = &shaderFunction;
        state_.reflection_level = hit.reflectionLevel;
        attachServices(state_, services);
    }
    ShadingSample(const ShadingSample&) = delete;
    ShadingSample& operator=(const ShadingSample&) = delete;

    miState& state() { return state_; }

private:
    miVector texture_[1];
    miState state_;
};

}  // namespace mentalrayHost

#endif
