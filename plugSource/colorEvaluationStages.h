#ifndef FLAKECOAT_PLUGSOURCE_COLOR_EVALUATION_STAGES_H
#define FLAKECOAT_PLUGSOURCE_COLOR_EVALUATION_STAGES_H

// The colour evaluation in the stages the node's compute drives, with the
// values it works out once per sample and keeps. Private to the plug-in:
// everything else calls evaluateColor.

#include "colorEvaluation.h"

namespace flakecoat::maya {

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

    // Sample values the later stages read: the caller's inputs, which outlive
    // the evaluation, and the colours and indices in lanes.
    const ColorInputs& in_;
    Triple color_;
    Triple ambientColor_;
    Triple incandescence_;
    Triple refractiveIndex_;
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

}  // namespace flakecoat::maya

#endif
