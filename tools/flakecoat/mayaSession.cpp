#include "mayaSession.h"

#include <iostream>

std::unique_ptr<MayaSession> MayaSession::open(const std::string& pluginPath, std::string& error) {
    std::unique_ptr<MayaSession> session(new MayaSession);
    session->library_ = mayaHost::PluginLibrary::load(pluginPath, error);
    if (!session->library_) return nullptr;
    session->node_ = mayaHost::Node::create("flakeCoat", error);
    if (!session->node_) {
        error = pluginPath + ": " + error;
        return nullptr;
    }
    return session;
}

MayaSession::~MayaSession() {
    node_.reset();
    std::string error;
    if (library_ && !library_->unload(error)) std::cerr << "flakecoat: " << error << "\n";
}
