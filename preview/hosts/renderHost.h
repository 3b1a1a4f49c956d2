#ifndef FLAKECOAT_PREVIEW_HOSTS_RENDER_HOST_H
#define FLAKECOAT_PREVIEW_HOSTS_RENDER_HOST_H

// A deliverable loaded the way its own host loads it, ready to shade the
// painted object: its settable inputs by the host's names, and the
// painted-surface shader the kernel calls.

#include <memory>
#include <string>
#include <vector>

#include "kernel/scene.h"
#include "kernel/surfaceShader.h"
#include "settings/parameterOverrides.h"

namespace flakecoat::preview {

class RenderHost {
public:
    virtual ~RenderHost() = default;
    virtual const std::string& name() const = 0;
    // The inputs --set may name, as the host declares them.
    virtual const std::vector<SettableInput>& shadingInputs() const = 0;
    // Sets checked overrides on the shader's inputs before rendering.
    virtual bool applyOverrides(const std::vector<ParameterOverride>& overrides, std::string& error) = 0;
    // The shader for this scene (its lights become the host's light list);
    // valid until the next call.
    virtual const PaintedSurfaceShader& shaderFor(const Scene& scene) = 0;
    // A shader of its own for this scene with these checked overrides
    // (instead of applyOverrides'), independent of every other: several may
    // render at once. It must not outlive the host.
    virtual std::unique_ptr<PaintedSurfaceShader> makeShader(const Scene& scene,
                                                             const std::vector<ParameterOverride>& overrides) const = 0;
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

}  // namespace flakecoat::preview

#endif
