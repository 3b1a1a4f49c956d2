#include "renderSetup.h"

#include <iostream>

#include "image/exrReader.h"
#include "inputEcho.h"
#include "meshes/paintedObject.h"
#include "modulePaths.h"

namespace {

// The four modules a render host loads, each where defaultModulePath finds it.
fp::HostModules defaultHostModules() {
    fp::HostModules modules;
    modules.mayaPlugin = defaultModulePath(kPluginFile);
    modules.shaderLibrary = defaultModulePath(kShaderLibraryFile);
    modules.shaderDeclaration = defaultModulePath(kShaderDeclarationFile);
    modules.rendererModule = defaultModulePath(kRendererModuleFile);
    return modules;
}

}  // namespace

bool loadHosts(const std::vector<std::string>& names, RenderHosts& hosts, std::string& error) {
    const fp::HostModules modules = defaultHostModules();
    for (const std::string& name : names) {
        std::unique_ptr<fp::RenderHost> host = fp::loadRenderHost(name, modules, error);
        if (!host) return false;
        hosts.push_back(std::move(host));
    }
    return true;
}

bool declares(const fp::RenderHost& host, const std::string& name) {
    for (const fp::SettableInput& input : host.shadingInputs())
        if (input.name == name) return true;
    return false;
}

bool settingsPerHost(const std::vector<std::string>& texts, const RenderHosts& hosts, const std::string& command,
                     std::vector<std::vector<fp::ParameterOverride>>& perHost, std::string& error) {
    perHost.assign(hosts.size(), {});
    for (const std::string& text : texts) {
        fp::ParameterOverride parsed;
        if (!fp::parseOverride(text, parsed, error)) return false;
        int known = 0;
        for (size_t h = 0; h < hosts.size(); ++h) {
            if (hosts.size() > 1 && !declares(*hosts[h], parsed.name)) continue;
            if (!fp::checkOverride(hosts[h]->shadingInputs(), parsed, hosts[h]->name(), error)) return false;
            perHost[h].push_back(parsed);
            ++known;
        }
        if (known == 0) {
            error = "--set " + flakecoat::echoInput(parsed.name) + ": neither host has a shading input named '" +
                    flakecoat::echoInput(parsed.name) + "'";
            return false;
        }
        if (known < int(hosts.size()))
            for (const auto& host : hosts)
                if (!declares(*host, parsed.name))
                    std::cerr << command << "note: --set " << parsed.name << " does not apply to " << host->name()
                              << "\n";
    }
    return true;
}

std::optional<fp::Scene> buildScene(const RenderOptions& options, const RenderPlan& plan, std::string& error,
                                    const std::atomic<bool>* cancel) {
    fp::Environment environment;
    if (!options.environmentFile.empty()) {
        fp::LatLongImage image;
        if (!fp::readLatLongExr(options.environmentFile, image, error, options.maxEnvironmentPixels)) {
            error = "--env " + error;
            return std::nullopt;
        }
        environment = fp::Environment(std::move(image));
    }
    std::vector<fp::Light> lights;
    fp::lightRig(options.lights, lights);
    std::optional<fp::Scene> scene = fp::paintedObjectScene(
        options.object, float(plan.width) / float(plan.height), std::move(lights), std::move(environment), error,
        cancel);
    if (!scene && !options.object.meshFile.empty()) error = "--mesh " + error;
    return scene;
}
