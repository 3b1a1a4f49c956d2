#ifndef FLAKECOAT_PREVIEW_VIEW_VIEW_HOSTS_H
#define FLAKECOAT_PREVIEW_VIEW_VIEW_HOSTS_H

#include <memory>
#include <string>
#include <vector>

#include "view/viewSession.h"

namespace flakecoat::preview::view {

// Pairs each loaded host with its controls, described from what it declares:
// the Maya node type in the registry, the mental ray shader's declaration
// read from declarationPath. Empty with error set when either is missing.
std::vector<ViewHost> describeViewHosts(std::vector<std::unique_ptr<RenderHost>> hosts,
                                        const std::string& declarationPath, std::string& error);

}  // namespace flakecoat::preview::view

#endif
