#ifndef FLAKECOAT_PREVIEW_HOSTS_RENDER_HOST_H
#define FLAKECOAT_PREVIEW_HOSTS_RENDER_HOST_H

// A deliverable loaded the way its own host loads it, ready to shade the
// painted object: its shading inputs as the host declares them, and a
// painted-surface shader for a scene and a look.

#include <memory>
#include <string>
#include <vector>

#include "kernel/scene.h"
#include "kernel/surfaceShader.h"
#include "look/look.h"

namespace flakecoat::preview {

class RenderHost {
public:
    virtual ~RenderHost() = default;
    virtual const std::string& name() const = 0;
    // Described once, when the host is loaded; valid as long as the host.
    virtual const std::vector<ShadingInput>& inputs() const = 0;
    // A shader of its own for this scene (its lights become the host's light
    // list) shading this look, independent of every other: several may
    // render at once. It must not outlive the host.
    virtual std::unique_ptr<PaintedSurfaceShader> makeShader(const Scene& scene, const Look& look) const = 0;

    // The host's defaults, nothing set.
    Look look() const { return Look(inputs(), name()); }
    std::unique_ptr<PaintedSurfaceShader> makeShader(const Scene& scene) const { return makeShader(scene, Look()); }
};

// The files a render host loads: the two deliverables, the mental ray
// declaration and the renderer module.
struct HostModules {
    std::string mayaPlugin;         // flakeCoat.so
    std::string shaderLibrary;      // tarn_flakeCoat.so
    std::string shaderDeclaration;  // tarn_flakeCoat.mi
    std::string rendererModule;     // libmentalray_standin.so
    // All four in one directory (ending in '/'), as the build lays them out.
    static HostModules inDirectory(const std::string& directory);
};

// Loads "maya" or "mentalray" from its modules; null with error set when it
// cannot.
std::unique_ptr<RenderHost> loadRenderHost(const std::string& name, const HostModules& modules, std::string& error);
std::unique_ptr<RenderHost> loadRenderHost(const std::string& name, const std::string& libraryDirectory,
                                           std::string& error);

using RenderHosts = std::vector<std::unique_ptr<RenderHost>>;
// Each named host in order; false with error set at the first that fails.
bool loadRenderHosts(const std::vector<std::string>& names, const HostModules& modules, RenderHosts& hosts,
                     std::string& error);

// A look of each host, nothing set.
std::vector<Look> defaultLooks(const RenderHosts& hosts);

}  // namespace flakecoat::preview

#endif
