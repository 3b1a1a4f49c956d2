#ifndef FLAKECOAT_PREVIEW_KERNEL_SURFACE_SHADER_H
#define FLAKECOAT_PREVIEW_KERNEL_SURFACE_SHADER_H

// The seam between the scene kernel and whatever shades the painted object: a
// host adapter that fills its host's per-sample record from a SurfaceSample
// and answers the deliverable's requests through ShadingServices.

#include <memory>

#include "kernel/vec3.h"

namespace flakecoat::preview {

class ShadingServices;

// One shading point on the painted object, in the spaces the hosts use,
// whatever the object's shape. Directions are unit length. rayDirection
// points along the ray, from its origin towards the point (the view
// direction as a renderer supplies it). The normals are the ball's outward
// normal, or a model's on the side the ray came from (see MeshHit).
struct SurfaceSample {
    Vec3 pointWorld;
    Vec3 normalWorld;  // the shading normal
    Vec3 geometricNormalWorld;
    Vec3 rayOriginWorld;
    Vec3 rayDirectionWorld;
    Vec3 pointCamera;
    Vec3 normalCamera;
    Vec3 rayDirectionCamera;
    float u = 0.0f;  // texture coordinates: the ball's (see sphereUv) or the model's
    float v = 0.0f;
    int rayDepth = 0;  // 0 for an eye ray, 1 for a first reflection, ...
    const void* object = nullptr;  // identifies the object hit, for hosts that pass one on
};

// Shades samples for one thread at a time. The kernel gives each render
// thread its own worker, made once per thread, never per sample. A worker is
// re-entered: the reflection traced while shading a sample at depth d may
// hit the object and call shade again, on the same worker, at depth d + 1,
// before the outer call returns.
class SurfaceWorker {
public:
    virtual ~SurfaceWorker() = default;
    virtual Color shade(const SurfaceSample& sample, ShadingServices& services) = 0;
};

class PaintedSurfaceShader {
public:
    virtual ~PaintedSurfaceShader() = default;
    virtual std::unique_ptr<SurfaceWorker> makeWorker() const = 0;
};

}  // namespace flakecoat::preview

#endif
