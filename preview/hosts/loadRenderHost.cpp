#include "hosts/renderHost.h"

#ifdef FLAKECOAT_WITH_MENTALRAY_HOST
#include "mentalray/mentalrayAdapter.h"
#endif
#ifdef FLAKECOAT_WITH_MAYA_HOST
#include "maya/mayaAdapter.h"
#endif

namespace flakecoat::preview {

std::unique_ptr<RenderHost> loadRenderHost(const std::string& name, const std::string& libraryDirectory,
                                           std::string& error) {
#ifdef FLAKECOAT_WITH_MENTALRAY_HOST
    if (name == "mentalray") return mentalray::loadMentalrayHost(libraryDirectory, error);
#endif
#ifdef FLAKECOAT_WITH_MAYA_HOST
    if (name == "maya") return maya::loadMayaHost(libraryDirectory, error);
#endif
    (void)libraryDirectory;
    error = "the " + name + " host is not available in this build";
    return nullptr;
}

}  // namespace flakecoat::preview
