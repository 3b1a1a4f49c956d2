#ifndef FLAKECOAT_PREVIEW_KERNEL_SURFACE_SHADER_H
#define FLAKECOAT_PREVIEW_KERNEL_SURFACE_SHADER_H

// The seam between the scene kernel and whatever shades the painted ball: a
// host adapter that fills its host's per-sample record from a SurfaceSample
// and answers the deliverable's requests through ShadingServices.

#include <memory>

#include "kernel/vec3.h"

namespace flakecoat::preview {

class ShadingServices;

// One shading point on the ball, in the spaces the hosts use. Directions are
// unit length. rayDirection points along the ray, from its origin towards
// the point (the view direction as a renderer supplies it).
struct SurfaceSample {
    Vec3 pointWorld;
    Vec3 normalWorld;     // outward
    Vec3 rayOriginWorld;
    Vec3 rayDirectionWorld;
    Vec3 pointCamera;
    Vec3 normalCamera;
    Vec3 rayDirectionCamera;
    float u = 0.0f;  // the ball's texture coordinates (see sphereUv)
    float v = 0.0f;
    int rayDepth = 0;  // 0 for an eye ray, 1 for a first reflection, ...
};

// Shades samples for one thread at a time. The kernel gives each render
// thread its own worker, made once per thread, never per sample. A worker is
// re-entered: the reflection traced while shading a sample at depth d may
// hit the ball and call shade again, on the same worker, at depth d + 1,
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
