#ifndef FLAKECOAT_TOOLS_RENDER_SETUP_H
#define FLAKECOAT_TOOLS_RENDER_SETUP_H

// What `render` and `sweep` share before rendering: the hosts loaded from
// the tool's modules, the --set texts checked against each, the scene.

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hosts/renderHost.h"
#include "kernel/scene.h"
#include "renderOptions.h"

namespace fp = flakecoat::preview;

using RenderHosts = std::vector<std::unique_ptr<fp::RenderHost>>;

bool loadHosts(const std::vector<std::string>& names, RenderHosts& hosts, std::string& error);

bool declares(const fp::RenderHost& host, const std::string& name);

// Each setting goes to every host that declares its name and is checked
// there in full. With one host an unknown name is an error; with both, a
// name neither declares is, and one declared by a single host applies to
// that host only (the two use their own names: useIrradiance is mental
// ray's, placementMatrix Maya's), with a note on standard error after
// command ("flakecoat render: ").
bool settingsPerHost(const std::vector<std::string>& texts, const RenderHosts& hosts, const std::string& command,
                     std::vector<std::vector<fp::ParameterOverride>>& perHost, std::string& error);

// The scene of the options: the painted object (--shape, --mesh), aspect
// from the plan's size, the light rig, the environment (procedural or read
// from --env). Empty with error set when a file cannot be read, or soon
// after `cancel` is raised while a model is read and built.
std::optional<fp::Scene> buildScene(const RenderOptions& options, const RenderPlan& plan, std::string& error,
                                    const std::atomic<bool>* cancel = nullptr);

#endif
