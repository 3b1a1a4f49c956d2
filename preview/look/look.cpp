#include "look/look.h"

#include <cmath>
#include <limits>
#include <sstream>

namespace flakecoat::preview {

namespace {

std::string formatNumber(double v) {
    std::ostringstream out;
    out << v;
    return out.str();
}

const char* valueWord(int count) { return count == 1 ? "value" : "values"; }

const std::vector<ShadingInput>& noInputs() {
    static const std::vector<ShadingInput> kNone;
    return kNone;
}

}  // namespace

Look::Look(const std::vector<ShadingInput>& inputs, std::string hostName)
    : inputs_(&inputs), host_(std::move(hostName)) {}

const std::vector<ShadingInput>& Look::inputs() const { return inputs_ ? *inputs_ : noInputs(); }

bool Look::check(const Setting& value, std::string& error) const {
    const ShadingInput* input = findInput(inputs(), value.name);
    if (!input) {
        error = "--set " + value.name + ": " + host_ + " has no shading input named '" + value.name +
                "'; known inputs:";
        for (const ShadingInput& candidate : inputs()) error += " " + candidate.name;
        return false;
    }
    if (value.count != input->arity) {
        error = "--set " + value.name + ": takes " + std::to_string(input->arity) + " " + valueWord(input->arity) +
                ", got " + std::to_string(value.count);
        return false;
    }
    for (int i = 0; i < value.count; ++i) {
        const double v = value.values[i];
        const std::string prefix = "--set " + value.name + ": " + formatNumber(v);
        if (input->kind != ValueKind::Float && v != std::floor(v)) {
            error = prefix + " is not a whole number";
            return false;
        }
        if (input->kind == ValueKind::Float && std::fabs(v) > double(std::numeric_limits<float>::max())) {
            error = prefix + " is out of the single-precision range";
            return false;
        }
        if (input->kind == ValueKind::Integer && !(v >= -2147483648.0 && v <= 2147483647.0)) {
            error = prefix + " is out of the integer range";
            return false;
        }
        if (input->kind == ValueKind::Boolean && v != 0.0 && v != 1.0) {
            error = prefix + " is not a boolean (0, 1, true, false)";
            return false;
        }
        const int limit = i < 3 ? i : 2;
        if (input->hasHardMin && v < input->hardMin[limit]) {
            error = prefix + " is below the minimum " + formatNumber(input->hardMin[limit]);
            return false;
        }
        if (input->hasHardMax && v > input->hardMax[limit]) {
            error = prefix + " is above the maximum " + formatNumber(input->hardMax[limit]);
            return false;
        }
    }
    return true;
}

bool Look::set(const std::string& text, std::string& error) {
    Setting parsed;
    return parseSetting(text, parsed, error) && set(parsed, error);
}

bool Look::set(const Setting& value, std::string& error) {
    if (!check(value, error)) return false;
    // A float input keeps the shortest text of the float the host gets, so
    // the arguments and look files say exactly what is rendered.
    Setting kept = value;
    if (findInput(inputs(), value.name)->kind == ValueKind::Float)
        for (int i = 0; i < kept.count; ++i) kept.values[i] = shortestFloat(kept.values[i]);
    // Dropping the earlier setting of the name changes nothing it reached:
    // the new one writes the same components, later.
    for (auto it = settings_.begin(); it != settings_.end(); ++it)
        if (it->name == value.name) {
            settings_.erase(it);
            break;
        }
    settings_.push_back(kept);
    return true;
}

std::vector<double> Look::effective(const std::string& name) const {
    const ShadingInput* input = findInput(inputs(), name);
    if (!input) return {};
    if (!input->parent.empty()) {
        const std::vector<double> whole = effective(input->parent);
        return {size_t(input->component) < whole.size() ? whole[size_t(input->component)] : 0.0};
    }
    std::vector<double> values = input->defaults;
    values.resize(size_t(input->arity), 0.0);
    for (const Setting& value : settings_) {
        if (value.name == name) values.assign(value.values, value.values + value.count);
        for (size_t i = 0; i < input->children.size(); ++i)
            if (input->children[i] == value.name && i < values.size()) values[i] = value.values[0];
    }
    return values;
}

std::vector<std::string> Look::arguments() const {
    std::vector<std::string> texts;
    for (const Setting& value : settings_) texts.push_back(settingText(value));
    return texts;
}

Look Look::with(const std::vector<Setting>& more) const {
    Look derived = *this;
    for (const Setting& value : more) {
        std::string ignored;
        derived.set(value, ignored);
    }
    return derived;
}

bool setOnEveryHost(const std::vector<std::string>& texts, std::vector<Look>& looks, std::vector<std::string>& notes,
                    std::string& error) {
    for (const std::string& text : texts) {
        Setting parsed;
        if (!parseSetting(text, parsed, error)) return false;
        int known = 0;
        for (Look& look : looks) {
            if (looks.size() > 1 && !look.declares(parsed.name)) continue;
            if (!look.set(parsed, error)) return false;
            ++known;
        }
        if (known == 0) {
            error = "--set " + parsed.name + ": neither host has a shading input named '" + parsed.name + "'";
            return false;
        }
        if (known < int(looks.size()))
            for (const Look& look : looks)
                if (!look.declares(parsed.name))
                    notes.push_back("--set " + parsed.name + " does not apply to " + look.host());
    }
    return true;
}

}  // namespace flakecoat::preview
