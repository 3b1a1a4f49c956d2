#ifndef FLAKECOAT_TOOLS_STAGE_OPTIONS_H
#define FLAKECOAT_TOOLS_STAGE_OPTIONS_H

// The stage's options on a command (--size, --lights, --mesh, ...; see
// stageOptions() in look/stage.h), taken as text and read as a look file's
// stage is read, so every command checks them alike.

#include <map>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "look/stage.h"

struct StageOptions {
    std::map<std::string, std::string> texts;
    std::map<std::string, CLI::Option*> options;
};

// Registers every stage option but those in `except`, showing the
// defaults' values.
void addStageOptions(CLI::App& command, StageOptions& options, const flakecoat::preview::Stage& defaults,
                     const std::vector<std::string>& except = {});

// The options given on the command line, over `stage`, then the whole
// stage checked; error is the command-line message.
bool applyStageOptions(const StageOptions& options, flakecoat::preview::Stage& stage, std::string& error);

#endif
