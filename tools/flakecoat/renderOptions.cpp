#include "renderOptions.h"

#include "inputEcho.h"
#include "modulePaths.h"
#include "shippedLooks.h"

namespace {

constexpr int kMaxThreads = 1024;

bool hasImageExtension(const std::string& path) {
    const std::string::size_type dot = path.rfind('.');
    const std::string::size_type slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    std::string extension = path.substr(dot);
    for (char& c : extension) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension == ".png" || extension == ".exr";
}

}  // namespace

std::string outputPathForHost(const std::string& out, const std::string& host) {
    const std::string::size_type dot = out.rfind('.');
    const std::string::size_type slash = out.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return out + "-" + host;
    return out.substr(0, dot) + "-" + host + out.substr(dot);
}

bool checkThreads(int threads, std::string& error) {
    if (threads >= 0 && threads <= kMaxThreads) return true;
    error = "--threads " + std::to_string(threads) + ": expected 1 to " + std::to_string(kMaxThreads) +
            ", or 0 for every core";
    return false;
}

bool planRender(const RenderOptions& options, RenderPlan& plan, std::string& error) {
    plan = RenderPlan();
    plan.stage = options.defaults;
    if (!options.look.empty() &&
        (!readLookOption(options.look, plan.look, error) || !fp::applyLookStage(plan.look, plan.stage, error)))
        return false;
    const std::string host = !options.host.empty() ? options.host : plan.look.info.host.empty() ? "both"
                                                                                                 : plan.look.info.host;
    if (host == "both") {
        plan.hosts = {"maya", "mentalray"};
    } else if (host == "maya" || host == "mentalray") {
        plan.hosts = {host};
    } else {
        error = "--host " + flakecoat::echoInput(host) + ": expected maya, mentalray or both";
        return false;
    }
    plan.threads = options.threads;
    if (!checkThreads(options.threads, error) || !applyStageOptions(options.stage, plan.stage, error)) return false;
    if (!hasImageExtension(options.out)) {
        error = "--out " + flakecoat::echoInput(options.out) + ": the file name must end in .png or .exr";
        return false;
    }
    for (const std::string& host : plan.hosts)
        plan.outputs.push_back(plan.hosts.size() == 1 ? options.out : outputPathForHost(options.out, host));
    if (plan.hosts.size() > 1) plan.sideBySide = outputPathForHost(options.out, "both");
    return true;
}

bool loadHosts(const std::vector<std::string>& names, fp::RenderHosts& hosts, std::string& error) {
    fp::HostModules modules;
    modules.mayaPlugin = defaultModulePath(kPluginFile);
    modules.shaderLibrary = defaultModulePath(kShaderLibraryFile);
    modules.shaderDeclaration = defaultModulePath(kShaderDeclarationFile);
    modules.rendererModule = defaultModulePath(kRendererModuleFile);
    return fp::loadRenderHosts(names, modules, hosts, error);
}

bool loadLooks(const RenderPlan& plan, const std::vector<std::string>& sets, fp::RenderHosts& hosts,
               std::vector<fp::Look>& looks, std::vector<std::string>& notes, std::string& error) {
    if (!loadHosts(plan.hosts, hosts, error)) return false;
    looks = fp::defaultLooks(hosts);
    return fp::applyLookSettings(plan.look, looks, error) && fp::setOnEveryHost(sets, looks, notes, error);
}
