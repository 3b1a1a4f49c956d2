#ifndef FLAKECOAT_PREVIEW_MAYA_MAYA_INPUTS_H
#define FLAKECOAT_PREVIEW_MAYA_MAYA_INPUTS_H

// The node's shading inputs, read from the attributes the plug-in
// registered: every top-level attribute a user sets (keyable, or a writable
// matrix such as placementMatrix) and each child of those, by long name,
// with the attribute's defaults and limits (a child takes its parent's
// limit for its component). Shown in the viewer: the top-level numeric ones
// that are not hidden, labelled and described as the node's
// attribute-editor template labels and annotates them. Slider ranges are
// the node's soft limits where it declares them, otherwise derived
// (deriveSoftRange).

#include <vector>

#include <mayaHost/dataBlock.h>
#include <mayaHost/node.h>
#include <mayaHost/registry.h>

#include "look/setting.h"
#include "look/shadingInput.h"

namespace flakecoat::preview::maya {

std::vector<ShadingInput> nodeInputs(const mayaHost::NodeType& type);

// Writes a checked setting into a data block of the node.
void writeInput(const mayaHost::Node& node, const Setting& value, mayaHost::DataBlock& block);

}  // namespace flakecoat::preview::maya

#endif
