#include "hosts/renderHost.h"

#include "maya/mayaAdapter.h"
#include "mentalray/mentalrayAdapter.h"

namespace flakecoat::preview {

HostModules HostModules::inDirectory(const std::string& directory) {
    return {directory + maya::kPluginFile, directory + mentalray::kShaderLibraryFile,
            directory + mentalray::kDeclarationFile, directory + mentalray::kRendererModuleFile};
}

std::unique_ptr<RenderHost> loadRenderHost(const std::string& name, const HostModules& modules, std::string& error) {
    if (name == "maya") return maya::loadMayaHostFrom(modules.mayaPlugin, error);
    if (name == "mentalray")
        return mentalray::loadMentalrayHostFrom(modules.shaderLibrary, modules.rendererModule,
                                                modules.shaderDeclaration, error);
    error = "no host named " + name;
    return nullptr;
}

std::unique_ptr<RenderHost> loadRenderHost(const std::string& name, const std::string& libraryDirectory,
                                           std::string& error) {
    return loadRenderHost(name, HostModules::inDirectory(libraryDirectory), error);
}

bool loadRenderHosts(const std::vector<std::string>& names, const HostModules& modules, RenderHosts& hosts,
                     std::string& error) {
    for (const std::string& name : names) {
        std::unique_ptr<RenderHost> host = loadRenderHost(name, modules, error);
        if (!host) return false;
        hosts.push_back(std::move(host));
    }
    return true;
}

std::vector<Look> defaultLooks(const RenderHosts& hosts) {
    std::vector<Look> looks;
    for (const auto& host : hosts) looks.push_back(host->look());
    return looks;
}

}  // namespace flakecoat::preview
