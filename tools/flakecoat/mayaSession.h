#ifndef FLAKECOAT_TOOLS_MAYA_SESSION_H
#define FLAKECOAT_TOOLS_MAYA_SESSION_H

#include <memory>
#include <string>

#include <mayaHost/node.h>
#include <mayaHost/pluginLibrary.h>

// The flakeCoat plug-in loaded as the host loads it, with one node of its
// type. Destroying the session destroys the node, then unloads the plug-in
// (uninitializePlugin).
class MayaSession {
public:
    // Null with a message in error when the plug-in cannot be loaded or
    // registers no flakeCoat node type.
    static std::unique_ptr<MayaSession> open(const std::string& pluginPath, std::string& error);
    ~MayaSession();

    mayaHost::PluginLibrary& library() { return *library_; }
    mayaHost::Node& node() { return *node_; }
    const mayaHost::NodeType& type() const { return node_->type(); }

private:
    MayaSession() = default;
    std::unique_ptr<mayaHost::PluginLibrary> library_;
    std::unique_ptr<mayaHost::Node> node_;
};

#endif
