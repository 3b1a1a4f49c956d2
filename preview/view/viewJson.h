#ifndef FLAKECOAT_PREVIEW_VIEW_VIEW_JSON_H
#define FLAKECOAT_PREVIEW_VIEW_VIEW_JSON_H

// The JSON the viewer's interface answers with.
//
// /inputs: {"host", "groups": [names in display order], "inputs": [
//   {"name", "kind": float|integer|boolean|color|float2|float3, "arity",
//    "default": [arity numbers], "softMin", "softMax" (the slider's range;
//    null for a boolean), "min", "max" (arity numbers or null: enforced),
//    "usedAsColor", "group", "label", "description",
//    "children": [component names]}]}
// /state: {"host", "hosts", "lights", "lightRigs", "environment",
//   "environments", "exposure", "values": {name: [numbers]}, "sets":
//   [NAME=VALUE], "command", "generation", "width", "height", "steps"}

#include <string>

#include "view/viewSession.h"

namespace flakecoat::preview::view {

std::string inputsJson(const ViewSession& session, const std::string& hostName);
std::string stateJson(const ViewSession& session);
// {"generation", "notes": [what a loaded look could not change]}
std::string lookLoadedJson(std::uint64_t generation, const std::vector<std::string>& notes);

}  // namespace flakecoat::preview::view

#endif
