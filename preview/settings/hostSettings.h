#ifndef FLAKECOAT_PREVIEW_SETTINGS_HOST_SETTINGS_H
#define FLAKECOAT_PREVIEW_SETTINGS_HOST_SETTINGS_H

// --set texts applied to the loaded hosts, each checked against what that
// host declares before anything renders.

#include <memory>
#include <string>
#include <vector>

#include "hosts/renderHost.h"

namespace flakecoat::preview {

// Each setting goes to every host that declares its name and is checked
// there in full. With one host an unknown name is an error; with several, a
// name none declares is, and one declared by some hosts only applies to
// those (the hosts use their own names: useIrradiance is mental ray's,
// placementMatrix Maya's), with a note in notes saying so. Stops at the
// first error.
bool applySettings(const std::vector<std::string>& texts, std::vector<std::unique_ptr<RenderHost>>& hosts,
                   std::vector<std::string>& notes, std::string& error);

}  // namespace flakecoat::preview

#endif
