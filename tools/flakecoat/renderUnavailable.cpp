// The render, sweep and view subcommands of a build without the preview
// renderer (the Windows build: the renderer's image and thread libraries
// have no builds there). They stay listed so that a user learns why they do
// nothing.

#include <iostream>
#include <string>

#include "commands.h"

namespace {

void addUnavailable(CLI::App& app, const std::string& name, const std::string& what, int& exitStatus) {
    CLI::App* command = app.add_subcommand(name, what + " (not in this build)");
    command->allow_extras();
    command->callback([name, &exitStatus] {
        std::cerr << "flakecoat " << name
                  << ": this build has no renderer (its image and thread libraries are not "
                     "available on this platform); use the Linux build\n";
        exitStatus = 2;
    });
}

}  // namespace

void addRenderCommand(CLI::App& app, int& exitStatus) {
    addUnavailable(app, "render", "Render the shader ball", exitStatus);
}

void addSweepCommand(CLI::App& app, int& exitStatus) {
    addUnavailable(app, "sweep", "Render a contact sheet over varied inputs", exitStatus);
}

void addViewCommand(CLI::App& app, int& exitStatus) {
    addUnavailable(app, "view", "Serve a local page with the shader's controls and a live render", exitStatus);
}

void addLooksCommand(CLI::App& app, int& exitStatus) {
    addUnavailable(app, "looks", "List the shipped looks and write them in the hosts' forms", exitStatus);
}
