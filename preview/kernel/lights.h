#ifndef FLAKECOAT_PREVIEW_KERNEL_LIGHTS_H
#define FLAKECOAT_PREVIEW_KERNEL_LIGHTS_H

// Lights of the preview scene and the named light rigs.
//
// Intensities follow the hosts' habit: what a light delivers to a surface
// facing it, before the surface's cosine. A point light's intensity is its
// value at distance 1 and falls off with the square of the distance; a
// directional light does not fall off; an area light is a one-sided
// rectangle whose samples each carry the full intensity at distance 1,
// weighted by the cosine at the light and the square of the distance, so
// that the mean of its samples is comparable to a point light's value. An
// ambient light has no direction and no shadow.

#include <string>
#include <vector>

#include "kernel/vec3.h"

namespace flakecoat::preview {

enum class LightKind { Point, Directional, Area, Ambient };

struct Light {
    LightKind kind = LightKind::Point;
    Color color{1.0f, 1.0f, 1.0f};
    float intensity = 1.0f;
    Vec3 position;    // point: the light; area: the rectangle's centre
    Vec3 direction{0.0f, -1.0f, 0.0f};  // directional: the way the light travels
    Vec3 edgeU;       // area: the rectangle's two full edges; it emits on the
    Vec3 edgeV;       //   side of cross(edgeU, edgeV)
    int samples = 1;  // area: shadowed samples per shading point
};

// One sample of a light seen from a shading point: the unit direction
// towards the light, the distance to it (infinite for a directional light)
// and the intensity arriving there, attenuated by distance and by the light's
// own cosine but not yet by shadow.
struct LightSample {
    Vec3 towardsLight;
    float distance = 0.0f;
    Color intensity;
};

// The sample of `light` for the shading point; (su, sv) in [0, 1) picks the
// point on an area light and is ignored by the other kinds. Not meaningful
// for an ambient light.
LightSample sampleLight(const Light& light, const Vec3& point, float su, float sv);

// How many shadowed samples a shading point takes of this light: 1 for point
// and directional lights, `samples` for an area light, 0 for ambient.
int lightSampleCount(const Light& light);

// The named rigs, in world space around the shader ball (centre (0, 1, 0),
// radius 1, on the plane y = 0):
//   studio  key and fill point lights (the default)
//   softbox a large area light as key, a point fill, a weak ambient light
//   sun     one directional light, low in the sky
//   none    no lights (the environment's own light alone)
bool lightRig(const std::string& name, std::vector<Light>& lights);
const char* lightRigNames();  // for messages: "studio, softbox, sun, none"

}  // namespace flakecoat::preview

#endif
