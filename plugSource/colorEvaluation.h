#ifndef FLAKECOAT_PLUGSOURCE_COLOR_EVALUATION_H
#define FLAKECOAT_PLUGSOURCE_COLOR_EVALUATION_H

// The software-renderer colour evaluation of the flakeCoat node, as a plain
// function of one sample's values, its light elements and a tracing service,
// so that it runs apart from Maya (tests, the shade tool, benchmarks).

#include <maya/MFloatMatrix.h>
#include <maya/MFloatVector.h>
#include <maya/MStatus.h>

namespace flakecoat::maya {

// The host's reflection tracer, with the parameters of MRenderUtil::raytrace:
// fills resultColor for a ray from rayOrigin along rayDirection (or leaves it
// untouched). The per-sample context travels in raySampler.
using RaytraceFunction = MStatus (*)(const MFloatVector& rayOrigin, const MFloatVector& rayDirection,
                                     const void* objectId, const void* raySampler, short rayDepth,
                                     MFloatVector& resultColor, MFloatVector& resultTransparency,
                                     bool isReflectedRays);

// One sample's input values, in the order the node's compute reads them.
// The defaults are the node's attribute defaults.
struct ColorInputs {
    MFloatVector color{0.209f, 1.0f, 0.182f};
    MFloatVector ambientColor{0.0f, 0.0f, 0.0f};
    MFloatVector incandescence{0.0f, 0.0f, 0.0f};
    MFloatMatrix placementMatrix;  // identity
    float diffuse = 0.5f;
    float depthRangeMin = 40.0f;  // filmDepth where filmNoise is 0
    float depthRangeMax = 10.0f;  // filmDepth where filmNoise is 1
    float refractiveIndex[3] = {1.4f, 1.4f, 1.4f};  // R, G, B
    float specularMin = 50.0f;  // coat lobe exponent
    float specularMax = 90.0f;  // flake lobe exponent
    float specularPower = 0.5f;
    float frequencyX = 100.0f;  // film noise
    float frequencyY = 100.0f;  // flake noise
    float normalDeviation = 1.0f;
    float seed = 1234.0f;
    float reflectivity = 0.5f;
    MFloatVector rayDirection{1.0f, 0.0f, 0.0f};  // camera space, eye rays
    MFloatVector pointCamera{1.0f, 1.0f, 1.0f};   // camera space
    MFloatVector pointWorld{1.0f, 1.0f, 1.0f};    // world space
    const void* raySampler = nullptr;  // non-null for eye rays
    short rayDepth = 0;
    const void* objectId = nullptr;
};

// One element of lightDataArray. The defaults are the array's light-data
// default. direction points from the surface towards the light.
struct LightElement {
    MFloatVector intensity{0.0f, 0.0f, 0.0f};
    MFloatVector direction{0.0f, 0.0f, 0.0f};
    bool ambient = true;
    bool diffuse = true;
    bool specular = false;
};

// The evaluation the node runs, all stages at once (the stages are in
// colorEvaluationStages.h); it gives the bits of the step-by-step form in
// colorModel.h.
MFloatVector evaluateColor(const ColorInputs& inputs, MFloatVector& normalCamera, LightElement* lights,
                           int lightCount, const MFloatVector& transparency, RaytraceFunction raytrace);

}  // namespace flakecoat::maya

#endif
