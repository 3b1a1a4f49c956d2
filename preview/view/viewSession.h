#ifndef FLAKECOAT_PREVIEW_VIEW_VIEW_SESSION_H
#define FLAKECOAT_PREVIEW_VIEW_VIEW_SESSION_H

// What the viewer shows, shared between the HTTP handlers that change it and
// the render loop that draws it: the loaded hosts, a look of each (checked
// as --set checks it), which host is shown, and the stage. Every change that
// alters the image bumps a generation number and raises the cancel flag of
// the render in flight.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "hosts/renderHost.h"
#include "look/look.h"
#include "look/lookFile.h"
#include "look/stage.h"

namespace flakecoat::preview::view {

// One consistent picture of the settings.
struct ViewSettings {
    std::string host;
    Look look;  // the shown host's
    Stage stage;
    std::uint64_t generation = 0;
};

class ViewSession {
public:
    // hosts must not be empty; the first is shown first, each with its
    // look (none given: its defaults). The stage's environment file, if
    // any, is what environment=image shows; its samples per pixel are the
    // final refinement's.
    ViewSession(RenderHosts hosts, Stage stage, std::vector<Look> looks = {}, std::string toolName = "flakecoat");

    // NAME=VALUE for the shown host's shading inputs. On success returns
    // true and the generation that will show the change.
    bool setInput(const std::string& text, std::uint64_t& generation, std::string& error);
    // KEY=VALUE for the view: host=NAME (the shown look carried over, see
    // Look::carryFrom), lights=RIG, environment=sky|image|BUILT-IN,
    // floor=checker|shadow|none, exposure=EV, and the camera's parts by
    // their option names (orbit=DEG, shot=closeup, ...).
    bool setView(const std::string& text, std::uint64_t& generation, std::string& error);
    // Every shading input of the shown host back to its default.
    std::uint64_t resetInputs();

    // A look file of both hosts' looks and the stage (paths made absolute),
    // the shown host as its host: `flakecoat render --look` of it renders
    // the final refinement.
    std::string lookText() const;
    // A look file's text: its values replace both hosts' looks, its host is
    // shown, and its lights, environment, exposure, seed and camera are taken where
    // the viewer can show them; notes say what was kept instead. Nothing
    // changes when the file is refused.
    bool loadLook(const std::string& text, std::uint64_t& generation, std::vector<std::string>& notes,
                  std::string& error);

    ViewSettings settings() const;
    // The image environment=image shows; empty when the session has none.
    const std::string& environmentFile() const { return environmentFile_; }
    // Null for a name not loaded.
    const RenderHost* host(const std::string& name) const;
    std::vector<std::string> hostNames() const;

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
    size_t indexOf(const std::string& name) const;

    RenderHosts hosts_;
    std::vector<Look> looks_;  // one per host
    std::string environmentFile_;
    std::string toolName_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    size_t shown_ = 0;
    Stage stage_;
    std::uint64_t generation_ = 1;
    bool closed_ = false;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> closedFlag_{false};
};

}  // namespace flakecoat::preview::view

#endif
