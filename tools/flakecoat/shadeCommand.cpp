#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <sys/stat.h>

#include "commands.h"
#include "modulePaths.h"
#include "pluginOption.h"
#include "shade.h"

namespace {

int fail(const std::string& message, int status) {
    std::fprintf(stderr, "flakecoat shade: %s\n", message.c_str());
    return status;
}

int runShade(const std::string& host, const std::string& file) {
    // Open the input first: a missing file is reported before any library loads
    std::FILE* input = stdin;
    std::string sourceName = "<stdin>";
    if (file == "-") {
        struct stat status;
        if (fstat(fileno(stdin), &status) != 0)
            return fail(std::string("cannot read standard input: ") + std::strerror(errno), 1);
    } else {
        input = std::fopen(file.c_str(), "r");
        if (!input) return fail("cannot open " + file + ": " + std::strerror(errno), 1);
        sourceName = file;
    }
    struct stat status;
    if (fstat(fileno(input), &status) == 0 && S_ISDIR(status.st_mode)) {
        if (input != stdin) std::fclose(input);
        return fail("cannot read " + sourceName + ": it is a directory", 1);
    }

    std::string error;
    const std::unique_ptr<SampleShader> shader = host == "maya"
                                                     ? openMayaShader(pluginPath(kPluginFile), error)
                                                     : openMentalrayShader(pluginPath(kShaderLibraryFile), error);
    int exitStatus = 2;
    if (shader)
        exitStatus = shadeLines(input, sourceName, *shader, stdout, stderr);
    else
        fail(error, 2);
    if (input != stdin) std::fclose(input);
    return exitStatus;
}

}  // namespace

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
    command->callback([&exitStatus] { exitStatus = runShade(host, file); });
}
