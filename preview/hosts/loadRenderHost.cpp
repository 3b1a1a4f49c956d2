#include "hosts/renderHost.h"

namespace flakecoat::preview {

std::unique_ptr<RenderHost> loadRenderHost(const std::string& name, const std::string&, std::string& error) {
    error = "the " + name + " host is not available in this build";
    return nullptr;
}

}  // namespace flakecoat::preview
