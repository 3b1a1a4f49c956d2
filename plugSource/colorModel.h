#ifndef FLAKECOAT_PLUGSOURCE_COLOR_MODEL_H
#define FLAKECOAT_PLUGSOURCE_COLOR_MODEL_H

// The flakeCoat node's colour evaluation written step by step, in the order
// and with the names of the shading model: the form to learn the shading
// from. Every light and every channel works out what it needs; nothing is
// shared between them or skipped. The evaluation the node runs
// (colorEvaluation.h) shares and skips work and must give the same bits.

#include "colorEvaluation.h"

namespace flakecoat::maya::model {

// Steps 4 and 5: the solid noise around the placed point for frequency f.
float solidNoiseAround(const MFloatVector& placedPoint, float f, float seed);

// Same arguments and result as flakecoat::maya::evaluateColor.
MFloatVector evaluateColor(const ColorInputs& inputs, MFloatVector& normalCamera, LightElement* lights,
                           int lightCount, const MFloatVector& transparency, RaytraceFunction raytrace);

}  // namespace flakecoat::maya::model

#endif
