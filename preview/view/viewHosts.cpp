#include "view/viewHosts.h"

#include "mentalray/mentalrayAdapter.h"

namespace flakecoat::preview::view {

std::vector<ViewHost> loadViewHosts(const std::string& libraryDirectory, const std::string& first,
                                    std::string& error) {
    std::vector<ViewHost> hosts;
    for (const std::string name : {"maya", "mentalray"}) {
        ViewHost entry;
        entry.host = loadRenderHost(name, libraryDirectory, error);
        if (!entry.host) return {};
        if (name == "maya") {
            const mayaHost::NodeType* type = mayaHost::findNodeType("flakeCoat");
            if (!type) {
                error = "the Maya plug-in registered no flakeCoat node type";
                return {};
            }
            entry.controls = mayaControls(*type);
        } else {
            mentalrayHost::ShaderDeclaration declaration;
            if (!mentalrayHost::readShaderDeclaration(libraryDirectory + mentalray::kDeclarationFile, declaration,
                                                      error))
                return {};
            entry.controls = mentalrayControls(declaration);
        }
        if (name == first)
            hosts.insert(hosts.begin(), std::move(entry));
        else
            hosts.push_back(std::move(entry));
    }
    return hosts;
}

}  // namespace flakecoat::preview::view
