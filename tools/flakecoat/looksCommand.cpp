// flakecoat looks: the shipped looks, and a look written in a host's own
// form: a Maya attribute preset (.mel) or a mental ray material (.mi).

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "commands.h"
#include "image/pendingOutput.h"
#include "maya/attributePreset.h"
#include "mentalray/materialBlock.h"
#include "modulePaths.h"
#include "renderOptions.h"
#include "shippedLooks.h"

namespace {

constexpr const char* kCommand = "flakecoat looks: ";

int fail(const std::string& message) {
    std::cerr << kCommand << message << "\n";
    return 1;
}

struct LooksOptions {
    std::string mel;  // a look to write as a Maya preset
    std::string mi;   // a look to write as a mental ray material
    std::string out;  // empty: standard output
};

int list() {
    const std::vector<std::string> names = shippedLookNames();
    size_t width = 0;
    for (const std::string& name : names) width = std::max(width, name.size());
    int status = 0;
    for (const std::string& name : names) {
        fp::LookFile file;
        std::string error;
        if (!fp::readLookFile(shippedLookPath(name), file, error)) {
            status = fail(error);
            continue;
        }
        std::cout << name << std::string(width + 2 - name.size(), ' ') << file.info.description << "\n";
    }
    std::cout << names.size() << " looks in " << defaultModulePath("looks") << "\n";
    return status;
}

int write(const std::string& text, const std::string& out) {
    if (out.empty()) {
        std::cout << text;
        return 0;
    }
    fp::PendingOutput output;
    std::string error;
    if (!output.open(out, error)) return fail(error);
    std::ofstream file(output.temporaryPath(), std::ios::binary);
    if (!(file << text) || !file.flush()) return fail("cannot write " + out);
    file.close();
    if (!output.commit(error)) return fail(error);
    return 0;
}

int exportLook(const LooksOptions& options) {
    const bool maya = !options.mel.empty();
    fp::LookFile file;
    fp::RenderHosts hosts;
    std::string error;
    if (!readLookOption(maya ? options.mel : options.mi, file, error) ||
        !loadHosts({maya ? "maya" : "mentalray"}, hosts, error))
        return fail(error);
    std::vector<fp::Look> looks = fp::defaultLooks(hosts);
    if (!fp::applyLookSettings(file, looks, error)) return fail(error);
    if (file.info.name.empty()) file.info.name = "look";
    return write(maya ? fp::maya::attributePreset(looks[0], file.info)
                      : fp::mentalray::materialBlock(looks[0], file.info),
                 options.out);
}

}  // namespace

void addLooksCommand(CLI::App& app, int& exitStatus) {
    CLI::App* command = app.add_subcommand(
        "looks", "List the shipped looks, or write one as a Maya attribute preset or a mental ray material");
    static LooksOptions options;
    CLI::Option* mel =
        command->add_option("--mel", options.mel, "Write this look (a shipped name or a .json file) as a Maya "
                                                  "attribute preset, for presets/attrPresets/flakeCoat/NAME.mel");
    command->add_option("--mi", options.mi, "Write this look as a mental ray material block (.mi)")->excludes(mel);
    command->add_option("--out", options.out, "Write to this file instead of standard output");
    command->callback([&exitStatus] {
        exitStatus = options.mel.empty() && options.mi.empty() ? list() : exportLook(options);
    });
}
