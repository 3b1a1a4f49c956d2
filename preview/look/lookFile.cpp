#include "look/lookFile.h"

#include <cmath>
#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

#include "kernel/builtinEnvironments.h"

namespace flakecoat::preview {

namespace {

using Json = nlohmann::ordered_json;

const char* const kHostNames[] = {"maya", "mentalray"};

bool isHostName(const std::string& name) {
    for (const char* host : kHostNames)
        if (name == host) return true;
    return false;
}

class FileErrors {
public:
    explicit FileErrors(std::string path, std::string& error) : path_(std::move(path)), error_(error) {}
    bool key(const std::string& key, const std::string& message) const {
        error_ = path_ + ": key \"" + key + "\": " + message;
        return false;
    }
    bool file(const std::string& message) const {
        error_ = path_ + ": " + message;
        return false;
    }

private:
    std::string path_;
    std::string& error_;
};

std::string folderOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

bool readSetting(const std::string& name, const Json& value, Setting& setting) {
    setting = Setting();
    setting.name = name;
    const auto add = [&setting](const Json& one) {
        if (setting.count == Setting::kMaxValues) return false;
        if (one.is_boolean()) {
            setting.values[setting.count++] = one.get<bool>() ? 1.0 : 0.0;
            return true;
        }
        if (!one.is_number()) return false;
        setting.values[setting.count] = one.get<double>();
        return std::isfinite(setting.values[setting.count++]);
    };
    if (!value.is_array()) return add(value);
    for (const Json& one : value)
        if (!add(one)) return false;
    return setting.count > 0;
}

bool readStage(const Json& stage, const std::string& folder, const FileErrors& errors, LookFile& file) {
    if (!stage.is_object()) return errors.key("stage", "expected an object of the stage's options");
    for (const auto& [key, value] : stage.items()) {
        const std::string where = "stage." + key;
        const StageOption* option = nullptr;
        for (const StageOption& candidate : stageOptions())
            if (candidate.inLookFiles && key == candidate.key) option = &candidate;
        if (!option) return errors.key(where, "not an option of the stage a look file gives");
        if (option->numeric ? !value.is_number() : !value.is_string())
            return errors.key(where, option->numeric ? "expected a number" : "expected a string");
        std::string text = option->numeric ? value.dump() : value.get<std::string>();
        // A built-in environment's name is no path.
        if ((key == "mesh" || (key == "env" && !isBuiltinEnvironment(text))) && !text.empty() && text[0] != '/')
            text = folder + text;
        file.stage.emplace_back(key, text);
    }
    return true;
}

// A number as a reader expects it: whole numbers without a fraction.
std::string numberText(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15) return Json(std::int64_t(value)).dump();
    return Json(value).dump();
}

std::string valueText(const ShadingInput& input, const std::vector<double>& values) {
    std::vector<std::string> words;
    for (double value : values)
        words.push_back(input.kind == ValueKind::Boolean ? (value != 0.0 ? "true" : "false") : numberText(value));
    if (words.size() == 1) return words[0];
    std::string text = "[";
    for (size_t i = 0; i < words.size(); ++i) text += (i ? ", " : "") + words[i];
    return text + "]";
}

std::string objectText(const std::vector<std::pair<std::string, std::string>>& members, const std::string& indent) {
    if (members.empty()) return "{}";
    std::string text = "{\n";
    for (size_t i = 0; i < members.size(); ++i)
        text += indent + "  " + Json(members[i].first).dump() + ": " + members[i].second +
                (i + 1 < members.size() ? ",\n" : "\n");
    return text + indent + "}";
}

}  // namespace

bool parseLookFile(const std::string& text, const std::string& path, LookFile& file, std::string& error) {
    const FileErrors errors(path, error);
    file = LookFile();
    file.path = path;
    Json document;
    try {
        document = Json::parse(text);
    } catch (const Json::exception& e) {
        return errors.file(std::string("not JSON: ") + e.what());
    }
    if (!document.is_object() || !document.contains("flakecoatLook"))
        return errors.file("not a look file: no \"flakecoatLook\" version");
    for (const auto& [key, value] : document.items()) {
        if (key == "flakecoatLook") {
            if (!value.is_number_integer() || value.get<std::int64_t>() != kLookFileVersion)
                return errors.key(key, value.dump() + " is not a version this flakecoat reads (" +
                                           std::to_string(kLookFileVersion) + ")");
        } else if (key == "name" || key == "description" || key == "host") {
            if (!value.is_string()) return errors.key(key, "expected a string");
            (key == "name" ? file.info.name : key == "description" ? file.info.description : file.info.host) =
                value.get<std::string>();
            if (key == "host" && !isHostName(file.info.host)) return errors.key(key, "expected maya or mentalray");
        } else if (key == "stage") {
            if (!readStage(value, folderOf(path), errors, file)) return false;
        } else if (isHostName(key)) {
            if (!value.is_object()) return errors.key(key, "expected an object of the host's input values");
            std::vector<Setting> settings;
            for (const auto& [name, one] : value.items()) {
                settings.emplace_back();
                if (!readSetting(name, one, settings.back()))
                    return errors.key(key + "." + name, "expected a number, true or false, or an array of them");
            }
            file.looks.emplace_back(key, std::move(settings));
        } else {
            return errors.key(key, "not a key of a look file");
        }
    }
    return true;
}

bool readLookFile(const std::string& path, LookFile& file, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot read it";
        return false;
    }
    std::string text;
    text.resize(kMaxLookFileBytes + 1);
    in.read(text.data(), std::streamsize(text.size()));
    if (in.bad()) {
        error = path + ": cannot read it";
        return false;
    }
    text.resize(size_t(in.gcount()));
    if (text.size() > kMaxLookFileBytes) {
        error = path + ": larger than " + std::to_string(kMaxLookFileBytes) + " bytes; not a look file";
        return false;
    }
    return parseLookFile(text, path, file, error);
}

bool applyLookStage(const LookFile& file, Stage& stage, std::string& error) {
    const FileErrors errors(file.path, error);
    for (const auto& [key, text] : file.stage) {
        StageProblem problem;
        if (!setStageOption(stage, key, text, problem)) return errors.key("stage." + key, problem.reason);
    }
    if (const std::optional<StageProblem> problem = stage.problem())
        return errors.key("stage." + problem->key,
                          (problem->value.empty() ? "" : problem->value + ": ") + problem->reason);
    return true;
}

bool applyLookSettings(const LookFile& file, std::vector<Look>& looks, std::string& error) {
    const FileErrors errors(file.path, error);
    for (const auto& [host, settings] : file.looks)
        for (Look& look : looks) {
            if (look.host() != host) continue;
            for (size_t i = 0; i < settings.size(); ++i) {
                const std::string key = host + "." + settings[i].name;
                const std::string problem = look.problem(settings[i]);
                if (!problem.empty()) return errors.key(key, problem);
                for (size_t j = 0; j < i; ++j)
                    if (overlaps(*findInput(look.inputs(), settings[i].name),
                                 *findInput(look.inputs(), settings[j].name)))
                        return errors.key(key, "sets what \"" + settings[j].name + "\" sets; give one or the other");
                std::string ignored;
                look.set(settings[i], ignored);
            }
        }
    return true;
}

std::string lookFileText(const LookInfo& info, const std::vector<Look>& looks, const Stage* stage) {
    std::vector<std::pair<std::string, std::string>> top = {{"flakecoatLook", std::to_string(kLookFileVersion)}};
    if (!info.name.empty()) top.emplace_back("name", Json(info.name).dump());
    if (!info.description.empty()) top.emplace_back("description", Json(info.description).dump());
    if (!info.host.empty()) top.emplace_back("host", Json(info.host).dump());
    if (stage) {
        std::vector<std::pair<std::string, std::string>> options;
        for (const StageOption& option : stageOptions()) {
            const std::string key = option.key;
            const std::string text = stageOptionText(*stage, key);
            if (!option.inLookFiles || (text.empty() && !option.numeric)) continue;
            if (!option.writtenWhenDefault && text == stageOptionText(Stage(), key)) continue;
            if (key == "shape" && !stage->object.meshFile.empty()) continue;
            options.emplace_back(key, option.numeric ? text : Json(text).dump());
        }
        top.emplace_back("stage", objectText(options, "  "));
    }
    for (const Look& look : looks) {
        std::vector<std::pair<std::string, std::string>> values;
        for (const ShadingInput& input : look.inputs()) {
            if (!input.parent.empty()) continue;
            const std::vector<double> value = look.effective(input.name);
            if (value != input.defaults) values.emplace_back(input.name, valueText(input, value));
        }
        top.emplace_back(look.host(), objectText(values, "  "));
    }
    return objectText(top, "") + "\n";
}

}  // namespace flakecoat::preview
