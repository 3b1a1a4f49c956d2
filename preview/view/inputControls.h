#ifndef FLAKECOAT_PREVIEW_VIEW_INPUT_CONTROLS_H
#define FLAKECOAT_PREVIEW_VIEW_INPUT_CONTROLS_H

// The viewer's controls: one per user-facing input, described from what the
// host itself declares (the Maya node's attributes in the registry, the
// mental ray shader's .mi declaration), never from a list of our own.

#include <string>
#include <vector>

#include <mayaHost/registry.h>
#include <mentalrayHost/shaderDeclaration.h>

namespace flakecoat::preview::view {

enum class ControlKind { Float, Integer, Boolean, Color, Float2, Float3 };
const char* controlKindName(ControlKind kind);

struct InputControl {
    std::string name;
    ControlKind kind = ControlKind::Float;
    int arity = 1;
    double defaults[3] = {0, 0, 0};
    // Soft limits are the slider's range; a hard minimum or maximum bounds
    // every component (the server refuses values beyond it).
    bool hasSoftMin = false, hasSoftMax = false;
    double softMin = 0, softMax = 0;
    bool hasHardMin = false, hasHardMax = false;
    double hardMin[3] = {0, 0, 0}, hardMax[3] = {0, 0, 0};
    std::string group;
    // Names that set one component each (Maya's colorR, colorG, colorB).
    std::vector<std::string> children;
};

// The node's attributes a user sets: top-level, writable, neither hidden
// nor an output, numeric; in the node's creation order.
std::vector<InputControl> mayaControls(const mayaHost::NodeType& type);

// Every parameter of the declaration but arrays (the light list belongs to
// the scene), transforms and tags, in declaration order.
std::vector<InputControl> mentalrayControls(const mentalrayHost::ShaderDeclaration& declaration);

}  // namespace flakecoat::preview::view

#endif
