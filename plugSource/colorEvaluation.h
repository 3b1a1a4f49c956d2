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

// The evaluation in the stages the node's compute drives: construct (eye
// direction, placed point), addLight per light element (film and flake
// noise are sampled when a light first needs them), traceReflection, then
// combine with the transparency, read last.
// normalCamera and each specular light's direction are normalised in place
// and later stages see the normalised values.
class ColorEvaluation {
public:
    ColorEvaluation(const ColorInputs& inputs, MFloatVector& normalCamera);

    void addLight(const MFloatVector& intensity, MFloatVector& direction, bool ambient, bool diffuse,
                  bool specular);
    void traceReflection(RaytraceFunction raytrace);
    MFloatVector combine(const MFloatVector& transparency) const;

private:
    // Three floats (x, y, z or R, G, B) and an unused fourth, aligned so that
    // the evaluation works on all three at once.
    struct alignas(16) Triple {
        float lane[4];
    };

    // The light's own rays, formed before the per-sample work they overlap.
    struct LightRays {
        Triple incidentLight;  // towards the surface from the light
        Triple reflectedLight;
        Triple refractedLight[3];
        Triple flakeCosine;  // flake reflection . refracted view, per channel
    };

    void addDiffuse(const MFloatVector& intensity, float d);
    void traceLightRays(const Triple& direction, const Triple& normal, LightRays& rays);
    void traceFlakeReflections(LightRays& rays);
    void addSpecular(const MFloatVector& intensity, float d, const Triple& normal, const LightRays& rays);
    void prepareInterference();
    void prepareFlakeNormal();
    void prepareRelativeIndices();

    // Sample values the later stages read.
    Triple color_;
    Triple ambientColor_;
    Triple incandescence_;
    Triple refractiveIndex_;
    float diffuse_;
    float specularMin_;
    float specularMax_;
    float specularPower_;
    float depthRangeMin_;
    float depthRangeMax_;
    float frequencyX_;
    float frequencyY_;
    float seed_;
    float normalDeviation_;
    float reflectivity_;
    MFloatVector pointCamera_;
    const void* raySampler_;
    const void* objectId_;
    short rayDepth_;
    MFloatVector* normalCamera_;  // the caller's storage, normalised in place
    MFloatVector normalAsRead_;   // its value before any light normalised it

    // Fixed for the whole sample once constructed.
    Triple viewDirection_;
    MFloatVector placedPoint_;

    Triple ambientLightSum_ = {};
    Triple diffuseSum_ = {};
    Triple specularSum_ = {};
    Triple reflectionTerm_ = {};

    // When the three refractive indices have the same bits (the usual case)
    // every result that depends on the index alone is worked out once.
    bool indicesEqual_;

    // Worked out when first needed and kept for the rest of the sample. Only
    // a light in front of the surface needs them, so the film noise is
    // sampled for the first diffuse light in front, the flake noise for the
    // first specular one.
    bool interferenceReady_ = false;
    Triple interferenceTerm_;
    bool flakeNormalReady_ = false;
    Triple flakeNormal_;
    Triple toEye_;
    bool relativeIndicesReady_ = false;
    Triple relativeIndex_;          // 1/n
    Triple oneMinusRelativeIndex_;  // 1 - 1/n
    // The eye ray bent into the coat depends on the normal as it stands:
    // kept while the normal keeps exactly the bits it was made with.
    bool refractedViewReady_ = false;
    MFloatVector refractedViewNormal_;
    Triple refractedView_[3];
};

// All stages at once.
MFloatVector evaluateColor(const ColorInputs& inputs, MFloatVector& normalCamera, LightElement* lights,
                           int lightCount, const MFloatVector& transparency, RaytraceFunction raytrace);

}  // namespace flakecoat::maya

#endif
