#include "look/look.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "inputEcho.h"

namespace flakecoat::preview {

namespace {

// The shortest text that reads back as the value.
std::string formatNumber(double v) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
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

std::string Look::problem(const Setting& value) const {
    const ShadingInput* input = findInput(inputs(), value.name);
    if (!input) {
        std::string problem = host_ + " has no shading input named '" + echoInput(value.name) + "'; known inputs:";
        for (const ShadingInput& candidate : inputs()) problem += " " + candidate.name;
        return problem;
    }
    if (value.count != input->arity)
        return "takes " + std::to_string(input->arity) + " " + valueWord(input->arity) + ", got " +
               std::to_string(value.count);
    for (int i = 0; i < value.count; ++i) {
        const double v = value.values[i];
        const std::string number = formatNumber(v);
        if (input->kind != ValueKind::Float && v != std::floor(v)) return number + " is not a whole number";
        if (input->kind == ValueKind::Float && std::fabs(v) > double(std::numeric_limits<float>::max()))
            return number + " is out of the single-precision range";
        if (input->kind == ValueKind::Integer && !(v >= -2147483648.0 && v <= 2147483647.0))
            return number + " is out of the integer range";
        if (input->kind == ValueKind::Boolean && v != 0.0 && v != 1.0)
            return number + " is not a boolean (0, 1, true, false)";
        const int limit = i < 3 ? i : 2;
        if (input->hasHardMin && v < input->hardMin[limit])
            return number + " is below the minimum " + formatNumber(input->hardMin[limit]);
        if (input->hasHardMax && v > input->hardMax[limit])
            return number + " is above the maximum " + formatNumber(input->hardMax[limit]);
    }
    return "";
}

bool Look::check(const Setting& value, std::string& error) const {
    const std::string found = problem(value);
    if (!found.empty()) error = "--set " + echoInput(value.name) + ": " + found;
    return found.empty();
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

void Look::carryFrom(const Look& from) {
    for (const ShadingInput& input : inputs()) {
        if (!input.parent.empty()) continue;
        Setting value;
        value.name = input.name;
        const ShadingInput* same = findInput(from.inputs(), input.name);
        std::vector<double> values;
        if (same && same->arity == input.arity) {
            values = from.effective(input.name);
        } else if (!input.children.empty()) {
            for (const std::string& child : input.children) {
                const ShadingInput* component = findInput(from.inputs(), child);
                if (!component || component->arity != 1) break;
                values.push_back(from.effective(child)[0]);
            }
        }
        if (int(values.size()) != input.arity) continue;
        value.count = input.arity;
        std::copy(values.begin(), values.end(), value.values);
        if (!problem(value).empty()) continue;
        // This input's own settings give way, its components' too.
        settings_.erase(std::remove_if(settings_.begin(), settings_.end(),
                                       [&](const Setting& setting) {
                                           const ShadingInput* set = findInput(inputs(), setting.name);
                                           return set && overlaps(*set, input);
                                       }),
                        settings_.end());
        std::string ignored;
        if (values != input.defaults) set(value, ignored);
    }
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
            error = "--set " + echoInput(parsed.name) + ": neither host has a shading input named '" +
                    echoInput(parsed.name) + "'";
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
