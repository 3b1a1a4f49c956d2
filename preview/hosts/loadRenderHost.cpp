#include "hosts/renderHost.h"

#include "maya/mayaAdapter.h"
#include "mentalray/mentalrayAdapter.h"

namespace flakecoat::preview {

std::unique_ptr<RenderHost> loadRenderHost(const std::string& name, const std::string& libraryDirectory,
                                           std::string& error) {
    if (name == "maya") return maya::loadMayaHost(libraryDirectory, error);
    if (name == "mentalray") return mentalray::loadMentalrayHost(libraryDirectory, error);
    error = "no host named " + name;
    return nullptr;
}

}  // namespace flakecoat::preview
