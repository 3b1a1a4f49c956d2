#ifndef FLAKECOAT_PREVIEW_MAYA_MAYA_INPUTS_H
#define FLAKECOAT_PREVIEW_MAYA_MAYA_INPUTS_H

// The node's shading inputs as --set sees them, read from the attributes the
// plug-in registered: every top-level attribute a user sets (keyable, or a
// writable matrix such as placementMatrix) and each child of those, by long
// name, with the attribute's hard limits (a child takes its parent's limit
// for its component).

#include <vector>

#include <mayaHost/dataBlock.h>
#include <mayaHost/node.h>
#include <mayaHost/registry.h>

#include "settings/parameterOverrides.h"

namespace flakecoat::preview::maya {

std::vector<SettableInput> nodeShadingInputs(const mayaHost::NodeType& type);

// A numeric attribute's value kind by its numeric type.
ValueKind kindOf(const mayaHost::AttributeInfo& info);

// Writes a checked override into a data block of the node.
void writeInput(const mayaHost::Node& node, const ParameterOverride& value, mayaHost::DataBlock& block);

}  // namespace flakecoat::preview::maya

#endif
