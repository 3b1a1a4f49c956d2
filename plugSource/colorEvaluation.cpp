#include "colorEvaluation.h"

// Placeholder until the evaluation lands.
namespace flakecoat::maya {

ColorEvaluation::ColorEvaluation(const ColorInputs&, MFloatVector&) {}
void ColorEvaluation::addLight(const MFloatVector&, MFloatVector&, bool, bool, bool) {}
void ColorEvaluation::traceReflection(RaytraceFunction) {}
MFloatVector ColorEvaluation::combine(const MFloatVector&) const { return MFloatVector(); }

MFloatVector evaluateColor(const ColorInputs&, MFloatVector&, LightElement*, int, const MFloatVector&,
                           RaytraceFunction) {
    return MFloatVector();
}

}  // namespace flakecoat::maya
