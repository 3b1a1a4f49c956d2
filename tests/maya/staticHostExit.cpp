// A host program that keeps its plug-in and a node in static storage: they
// are unloaded and destroyed after main returns, while the host library's
// own statics are being torn down. The process must still exit cleanly.

#include <cstdio>
#include <memory>
#include <string>

#include <mayaHost/node.h>
#include <mayaHost/pluginLibrary.h>

namespace {
std::unique_ptr<mayaHost::PluginLibrary> library;
std::unique_ptr<mayaHost::Node> node;
}  // namespace

int main() {
    std::string error;
    library = mayaHost::PluginLibrary::load(FLAKECOAT_PLUGIN_PATH, error);
    if (!library) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    node = mayaHost::Node::create("flakeCoat", error);
    if (!node) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
