// flakecoat: the car-paint shader's command-line tool. It hosts the two
// shader deliverables the way their renderers do.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "commands.h"

namespace {

// Output is buffered: a full disk or a closed pipe shows only when it is
// flushed, so the exit status waits for that.
int flushStandardOutput(int exitStatus) {
    std::cout.flush();
    const bool flushed = std::fflush(stdout) == 0;
    if (!flushed || std::ferror(stdout) || !std::cout) {
        // The reason is known only when this last flush is what failed.
        const std::string reason = flushed ? "" : std::string(": ") + std::strerror(errno);
        std::fprintf(stderr, "flakecoat: cannot write standard output%s\n", reason.c_str());
        return exitStatus != 0 ? exitStatus : 1;
    }
    return exitStatus;
}

}  // namespace

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
    addLooksCommand(app, exitStatus);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return flushStandardOutput(app.exit(e));
    }
    return flushStandardOutput(exitStatus);
}
