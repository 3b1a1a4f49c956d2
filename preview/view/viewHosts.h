#ifndef FLAKECOAT_PREVIEW_VIEW_VIEW_HOSTS_H
#define FLAKECOAT_PREVIEW_VIEW_VIEW_HOSTS_H

#include <string>
#include <vector>

#include "view/viewSession.h"

namespace flakecoat::preview::view {

// Loads both hosts from libraryDirectory (ending in '/'), `first` first, and
// describes each one's controls from what it declares: the Maya node type in
// the registry, the mental ray shader's .mi declaration. Empty with error
// set when a host cannot be loaded.
std::vector<ViewHost> loadViewHosts(const std::string& libraryDirectory, const std::string& first,
                                    std::string& error);

}  // namespace flakecoat::preview::view

#endif
