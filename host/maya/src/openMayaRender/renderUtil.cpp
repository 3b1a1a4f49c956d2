// MRenderUtil::raytrace hands its arguments to the tracer the renderer
// installed.

#include <atomic>

#include <maya/MRenderUtil.h>

#include <mayaHost/raytracer.h>

namespace mayaHost {
namespace {
std::atomic<const Raytracer*> installed{nullptr};
}

void installRaytracer(const Raytracer* tracer) { installed.store(tracer, std::memory_order_release); }
const Raytracer* installedRaytracer() { return installed.load(std::memory_order_acquire); }

}  // namespace mayaHost

MStatus MRenderUtil::raytrace(const MFloatVector& rayOrigin, const MFloatVector& rayDirection, const void* objectId,
                              const void* raySampler, const short rayDepth, MFloatVector& resultColor,
                              MFloatVector& resultTransparency, const bool isReflectedRays) {
    const mayaHost::Raytracer* tracer = mayaHost::installedRaytracer();
    if (!tracer) return MS::kSuccess;
    return tracer->raytrace(rayOrigin, rayDirection, objectId, raySampler, rayDepth, resultColor,
                            resultTransparency, isReflectedRays);
}
