#include "stageOptions.h"

#include <algorithm>

namespace fp = flakecoat::preview;

void addStageOptions(CLI::App& command, StageOptions& options, const fp::Stage& defaults,
                     const std::vector<std::string>& except) {
    for (const fp::StageOption& option : fp::stageOptions()) {
        const std::string key = option.key;
        if (std::find(except.begin(), except.end(), key) != except.end()) continue;
        std::string& text = options.texts[key];
        text = fp::stageOptionText(defaults, key);
        CLI::Option* added = command.add_option("--" + key, text, option.help);
        if (!text.empty()) added->capture_default_str();
        options.options[key] = added;
    }
}

bool applyStageOptions(const StageOptions& options, fp::Stage& stage, std::string& error) {
    for (const fp::StageOption& option : fp::stageOptions()) {
        const auto given = options.options.find(option.key);
        if (given == options.options.end() || given->second->count() == 0) continue;
        fp::StageProblem problem;
        if (!fp::setStageOption(stage, option.key, options.texts.at(option.key), problem)) {
            error = fp::onCommandLine(problem);
            return false;
        }
    }
    return stage.check(error);
}
