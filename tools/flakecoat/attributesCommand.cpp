#include <iostream>

#include "commands.h"

void addAttributesCommand(CLI::App& app, int& exitStatus) {
    CLI::App* command = app.add_subcommand("attributes", "List the flakeCoat node's attributes");
    command->allow_extras();
    command->callback([&exitStatus] {
        std::cerr << "flakecoat attributes: not available in this build\n";
        exitStatus = 2;
    });
}
