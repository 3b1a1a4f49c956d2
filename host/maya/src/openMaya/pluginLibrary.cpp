// Loading and unloading plug-in libraries, as the host does.

#include <dlfcn.h>

#include <cstring>
#include <iostream>

#include <maya/MTypes.h>

#include "hostState.h"

namespace mayaHost {
namespace {

using EntryPoint = MStatus (*)(MObject);

// The API version string this host accepts, e.g. "200900".
#define MAYA_HOST_STRINGIFY2(x) #x
#define MAYA_HOST_STRINGIFY(x) MAYA_HOST_STRINGIFY2(x)
const char kHostApiVersion[] = MAYA_HOST_STRINGIFY(MAYA_API_VERSION);

std::string dlError() {
    const char* message = dlerror();
    return message ? message : "unknown error";
}

// The entry points are C++ functions, MStatus f(MObject): the host takes
// them by their C++ names first (what a Linux plug-in exports), then by
// their plain names (a Windows plug-in's module-definition file, or a
// plug-in that gave them C linkage).
EntryPoint entryPoint(void* handle, const char* cxxName, const char* plainName) {
    if (void* found = dlsym(handle, cxxName)) return reinterpret_cast<EntryPoint>(found);
    return reinterpret_cast<EntryPoint>(dlsym(handle, plainName));
}
EntryPoint initializeEntry(void* handle) {
    return entryPoint(handle, "_Z16initializePlugin7MObject", "initializePlugin");
}
EntryPoint uninitializeEntry(void* handle) {
    return entryPoint(handle, "_Z18uninitializePlugin7MObject", "uninitializePlugin");
}

void forgetPlugin(PluginLibrary::Record* record) {
    Registry& r = registry();
    for (auto p = r.plugins.begin(); p != r.plugins.end(); ++p)
        if (p->get() == record) {
            r.plugins.erase(p);
            return;
        }
}

}  // namespace

std::unique_ptr<PluginLibrary> PluginLibrary::load(const std::string& path, std::string& error) {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    for (const auto& p : r.plugins)
        if (p->path == path) {
            error = path + ": the plug-in is already loaded";
            return nullptr;
        }

    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        error = "cannot open " + path + ": " + dlError();
        return nullptr;
    }
    const char* apiVersion = static_cast<const char*>(dlsym(handle, "MApiVersion"));
    EntryPoint initialize = initializeEntry(handle);
    EntryPoint uninitialize = uninitializeEntry(handle);
    if (!apiVersion)
        error = path + " is not a Maya plug-in: it exports no MApiVersion";
    else if (std::strcmp(apiVersion, kHostApiVersion) != 0)
        error = path + " was built for API version " + std::string(apiVersion, strnlen(apiVersion, 16)) +
                "; this host is " + kHostApiVersion;
    else if (!initialize || !uninitialize)
        error = path + " is not a Maya plug-in: it does not export initializePlugin and uninitializePlugin";
    if (!error.empty()) {
        dlclose(handle);
        return nullptr;
    }

    r.plugins.push_back(std::make_unique<Record>());
    Record* record = r.plugins.back().get();
    record->path = path;
    record->handle = handle;
    record->initializeStatus = initialize(MObject(record, MObject::Referent::plugin));
    if (record->initializeStatus != MS::kSuccess) {
        error = path + ": initializePlugin failed (" + record->initializeStatus.errorString().asChar() + ")";
        std::vector<NodeTypeRecord*> left;
        for (const auto& t : r.types)
            if (t->plugin == record) left.push_back(t.get());
        for (NodeTypeRecord* t : left) removeNodeType(t);
        forgetPlugin(record);
        dlclose(handle);
        return nullptr;
    }
    record->loaded = true;
    return std::unique_ptr<PluginLibrary>(new PluginLibrary(record));
}

PluginLibrary::PluginLibrary(Record* record) : record_(record) {}

PluginLibrary::~PluginLibrary() {
    std::string error;
    if (isLoaded() && !unload(error)) std::cerr << "mayaHost: " << error << "\n";
    if (!isLoaded()) {
        Registry& r = registry();
        std::lock_guard<std::recursive_mutex> lock(r.mutex);
        forgetPlugin(record_);
    }
}

bool PluginLibrary::unload(std::string& error) {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> lock(r.mutex);
    if (!record_->loaded) return true;
    for (const auto& t : r.types)
        if (t->plugin == record_ && t->liveNodes.load() > 0) {
            error = "cannot unload " + record_->path + ": nodes of type " + t->name() + " still exist";
            return false;
        }
    EntryPoint uninitialize = uninitializeEntry(record_->handle);
    record_->uninitializeStatus = uninitialize(MObject(record_, MObject::Referent::plugin));
    // Types the plug-in did not deregister go with its code.
    std::vector<NodeTypeRecord*> left;
    for (const auto& t : r.types)
        if (t->plugin == record_) left.push_back(t.get());
    for (NodeTypeRecord* t : left) removeNodeType(t);
    dlclose(record_->handle);
    record_->handle = nullptr;
    record_->loaded = false;
    return true;
}

bool PluginLibrary::isLoaded() const { return record_->loaded; }
const std::string& PluginLibrary::path() const { return record_->path; }
MStatus PluginLibrary::initializeStatus() const { return record_->initializeStatus; }
MStatus PluginLibrary::uninitializeStatus() const { return record_->uninitializeStatus; }
std::string PluginLibrary::vendor() const { return record_->vendor; }
std::string PluginLibrary::version() const { return record_->version; }

}  // namespace mayaHost
