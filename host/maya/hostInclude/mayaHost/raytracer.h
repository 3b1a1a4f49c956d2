#ifndef FLAKECOAT_HOST_MAYA_HOST_RAYTRACER_H
#define FLAKECOAT_HOST_MAYA_HOST_RAYTRACER_H

#include <maya/MFloatVector.h>
#include <maya/MStatus.h>

namespace mayaHost {

// The renderer's tracing service behind MRenderUtil::raytrace, which hands
// it its arguments unchanged. Per-sample context travels in raySampler: the
// address the renderer stored in the sample's raySampler attribute. Called
// from every rendering thread at once.
class Raytracer {
public:
    virtual ~Raytracer() = default;
    virtual MStatus raytrace(const MFloatVector& rayOrigin, const MFloatVector& rayDirection,
                             const void* objectId, const void* raySampler, short rayDepth,
                             MFloatVector& resultColor, MFloatVector& resultTransparency,
                             bool isReflectedRays) const = 0;
};

// Installs the tracer (not owned; null removes it). Install before sampling
// starts, remove after it ends.
void installRaytracer(const Raytracer* tracer);
const Raytracer* installedRaytracer();

}  // namespace mayaHost

#endif
