#ifndef FLAKECOAT_PREVIEW_VIEW_VIEW_SESSION_H
#define FLAKECOAT_PREVIEW_VIEW_VIEW_SESSION_H

// What the viewer shows, shared between the HTTP handlers that change it and
// the render loop that draws it: the loaded hosts with their controls, each
// host's shading-input settings (checked as --set checks them), the light
// rig, the environment and the exposure. Every change that alters the image
// bumps a generation number and raises the cancel flag of the render in
// flight.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "hosts/renderHost.h"
#include "meshes/paintedObject.h"
#include "settings/parameterOverrides.h"
#include "view/inputControls.h"

namespace flakecoat::preview::view {

struct ViewHost {
    std::unique_ptr<RenderHost> host;
    std::vector<InputControl> controls;
};

// One consistent picture of the settings.
struct ViewSettings {
    std::string host;
    std::string lights = "studio";
    bool imageEnvironment = false;  // the --env image instead of the sky
    float exposure = 0.0f;
    std::vector<ParameterOverride> overrides;  // the host's, in the order set
    std::uint64_t generation = 0;
};

// Fixed for the session.
struct ViewConfig {
    int width = 512;
    int height = 512;
    std::string environmentFile;  // empty: the sky only
    PaintedObject object;         // the ball, a shape or a model
    std::string toolName = "flakecoat";
    int finalSamplesPerPixel = 64;  // for the equivalent render command
};

// NAME=V1,V2,... with nine significant digits, enough for any float.
std::string settingText(const ParameterOverride& value);

class ViewSession {
public:
    // hosts must not be empty; the first is shown first.
    ViewSession(std::vector<ViewHost> hosts, ViewConfig config, ViewSettings initial);

    // NAME=VALUE for the shown host's shading inputs. On success returns
    // true and the generation that will show the change.
    bool setInput(const std::string& text, std::uint64_t& generation, std::string& error);
    // KEY=VALUE for the view: host=NAME, lights=RIG, environment=sky|image,
    // exposure=EV.
    bool setView(const std::string& text, std::uint64_t& generation, std::string& error);
    // Every shading input of the shown host back to its default.
    std::uint64_t resetInputs();

    ViewSettings settings() const;
    const ViewConfig& config() const { return config_; }
    // Null for a name not loaded.
    const ViewHost* host(const std::string& name) const;
    std::vector<std::string> hostNames() const;

    // Each control's values in effect: its default, then the settings in order.
    std::vector<std::vector<double>> currentValues(const ViewSettings& settings) const;
    // `flakecoat render ...` giving the final refinement of these settings.
    std::string renderCommand(const ViewSettings& settings) const;

    // For the render loop: waits until the generation differs from `seen`,
    // then takes the settings and lowers the cancel flag. False once closed.
    bool waitForChange(std::uint64_t seen, ViewSettings& settings);
    const std::atomic<bool>& cancelFlag() const { return cancel_; }
    // Raised by close() alone: stops work that a change should not restart,
    // such as reading the model.
    const std::atomic<bool>& closedFlag() const { return closedFlag_; }
    void close();

private:
    std::uint64_t changedLocked();

    std::vector<std::string> order_;
    std::map<std::string, ViewHost> hosts_;
    ViewConfig config_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    ViewSettings settings_;
    std::map<std::string, std::vector<ParameterOverride>> overridesByHost_;
    bool closed_ = false;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> closedFlag_{false};
};

}  // namespace flakecoat::preview::view

#endif
