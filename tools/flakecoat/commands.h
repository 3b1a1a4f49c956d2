#ifndef FLAKECOAT_TOOLS_COMMANDS_H
#define FLAKECOAT_TOOLS_COMMANDS_H

#include <CLI/CLI.hpp>

// Each subcommand registers itself on the application; its callback stores
// the process exit status in exitStatus.
void addAttributesCommand(CLI::App& app, int& exitStatus);
void addShadeCommand(CLI::App& app, int& exitStatus);
void addRenderCommand(CLI::App& app, int& exitStatus);
void addSweepCommand(CLI::App& app, int& exitStatus);
void addViewCommand(CLI::App& app, int& exitStatus);
void addLooksCommand(CLI::App& app, int& exitStatus);

#endif
