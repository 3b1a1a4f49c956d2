#include "view/viewHosts.h"

namespace flakecoat::preview::view {

std::vector<ViewHost> describeViewHosts(std::vector<std::unique_ptr<RenderHost>> hosts,
                                        const std::string& declarationPath, std::string& error) {
    std::vector<ViewHost> described;
    for (std::unique_ptr<RenderHost>& host : hosts) {
        ViewHost entry;
        if (host->name() == "maya") {
            const mayaHost::NodeType* type = mayaHost::findNodeType("flakeCoat");
            if (!type) {
                error = "the Maya plug-in registered no flakeCoat node type";
                return {};
            }
            entry.controls = mayaControls(*type);
        } else {
            mentalrayHost::ShaderDeclaration declaration;
            if (!mentalrayHost::readShaderDeclaration(declarationPath, declaration, error)) return {};
            entry.controls = mentalrayControls(declaration);
        }
        entry.host = std::move(host);
        described.push_back(std::move(entry));
    }
    return described;
}

}  // namespace flakecoat::preview::view
