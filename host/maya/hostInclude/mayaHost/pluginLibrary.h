#ifndef FLAKECOAT_HOST_MAYA_HOST_PLUGIN_LIBRARY_H
#define FLAKECOAT_HOST_MAYA_HOST_PLUGIN_LIBRARY_H

#include <memory>
#include <string>

#include <maya/MStatus.h>

namespace mayaHost {

// A plug-in library loaded the way the host loads one: dlopen, a check of
// its exported MApiVersion against the host's, then initializePlugin.
class PluginLibrary {
public:
    // Null with a message in error when the library cannot be opened, lacks
    // an export, was built for another API version, is already loaded, or
    // its initializePlugin fails (the library is then closed again).
    static std::unique_ptr<PluginLibrary> load(const std::string& path, std::string& error);

    // Unloads if still loaded; a refusal is written to standard error.
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // Calls uninitializePlugin, removes whatever node types the plug-in left
    // registered, and closes the library. Refused (false, message in error)
    // while nodes of the plug-in's types exist.
    bool unload(std::string& error);

    bool isLoaded() const;
    const std::string& path() const;
    MStatus initializeStatus() const;
    MStatus uninitializeStatus() const;
    // As the plug-in's last MFnPlugin gave them.
    std::string vendor() const;
    std::string version() const;

    struct Record;

private:
    explicit PluginLibrary(Record* record);
    Record* record_;
};

}  // namespace mayaHost

#endif
