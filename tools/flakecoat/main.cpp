// flakecoat: the car-paint shader's command-line tool. It hosts the two
// shader deliverables the way their renderers do.

#include <CLI/CLI.hpp>

#include "commands.h"

int main(int argc, char** argv) {
    CLI::App app{"flakecoat: inspect, evaluate and render the flakeCoat car-paint shader"};
    app.require_subcommand(1);
    // Options are written --name everywhere: on Windows a word starting with
    // "/" is a Unix path that Wine maps, not an option.
    app.allow_windows_style_options(false);

    int exitStatus = 0;
    addAttributesCommand(app, exitStatus);
    addShadeCommand(app, exitStatus);
    addRenderCommand(app, exitStatus);
    addSweepCommand(app, exitStatus);
    addViewCommand(app, exitStatus);

    CLI11_PARSE(app, argc, argv);
    return exitStatus;
}
