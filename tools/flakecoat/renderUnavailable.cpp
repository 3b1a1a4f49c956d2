// The render subcommand of a build without the preview renderer (the
// Windows build: the renderer's image and thread libraries have no builds
// there). It stays listed so that a user learns why it does nothing.

#include <iostream>

#include "commands.h"

void addRenderCommand(CLI::App& app, int& exitStatus) {
    CLI::App* render = app.add_subcommand("render", "Render the shader ball (not in this build)");
    render->allow_extras();
    render->callback([&exitStatus] {
        std::cerr << "flakecoat render: this build has no renderer (its image and thread libraries are not "
                     "available on this platform); render with the Linux build\n";
        exitStatus = 2;
    });
}
