#include <fstream>
#include <iostream>
#include <string>

#include "commands.h"
#include "pluginOption.h"
#include "shade.h"

void addShadeCommand(CLI::App& app, int& exitStatus) {
    CLI::App* command = app.add_subcommand(
        "shade", "Evaluate shading samples given as JSON Lines, one sample per line");
    static std::string host = "maya";
    static std::string file = "-";
    command->add_option("--host", host, "Which deliverable evaluates the samples")
        ->check(CLI::IsMember({"maya", "mentalray"}))
        ->capture_default_str();
    addPluginOption(*command);
    command->add_option("file", file, "JSON Lines input; - reads standard input")->capture_default_str();

    command->callback([&exitStatus] {
        std::ifstream stream;
        std::istream* input = &std::cin;
        std::string sourceName = "<stdin>";
        if (file != "-") {
            stream.open(file);
            if (!stream) {
                std::cerr << "flakecoat shade: cannot open " << file << "\n";
                exitStatus = 1;
                return;
            }
            input = &stream;
            sourceName = file;
        }
        exitStatus = host == "maya" ? shadeMaya(*input, sourceName) : shadeMentalray(*input, sourceName);
    });
}
