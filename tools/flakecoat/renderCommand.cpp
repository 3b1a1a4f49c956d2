#include <iostream>

#include "commands.h"

void addRenderCommand(CLI::App& app, int& exitStatus) {
    CLI::App* command = app.add_subcommand("render", "Render the shader ball");
    command->allow_extras();
    command->callback([&exitStatus] {
        std::cerr << "flakecoat render: not available in this build\n";
        exitStatus = 2;
    });
}
