#ifndef FLAKECOAT_HOST_MAYA_MRENDERUTIL_H
#define FLAKECOAT_HOST_MAYA_MRENDERUTIL_H

#include <maya/MFloatVector.h>
#include <maya/MStatus.h>

// Services of the software renderer to shading nodes.
class MRenderUtil {
public:
    // Traces one ray and fills resultColor (and resultTransparency). The
    // renderer's tracer answers (mayaHost/raytracer.h); raySampler is the
    // address the renderer put in the sample's raySampler attribute and
    // carries its per-sample context. Without a tracer the results are left
    // untouched and the call succeeds.
    static MStatus raytrace(const MFloatVector& rayOrigin, const MFloatVector& rayDirection, const void* objectId,
                            const void* raySampler, const short rayDepth, MFloatVector& resultColor,
                            MFloatVector& resultTransparency, const bool isReflectedRays = true);
};

#endif
