#include <iostream>

#include "commands.h"

void addShadeCommand(CLI::App& app, int& exitStatus) {
    CLI::App* command = app.add_subcommand("shade", "Evaluate shading samples given as JSON Lines");
    command->allow_extras();
    command->callback([&exitStatus] {
        std::cerr << "flakecoat shade: not available in this build\n";
        exitStatus = 2;
    });
}
