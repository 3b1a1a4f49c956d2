#include "settings/parameterOverrides.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "inputEcho.h"

namespace flakecoat::preview {

namespace {

bool parseValue(const std::string& word, double& value) {
    if (word == "true" || word == "on") {
        value = 1.0;
        return true;
    }
    if (word == "false" || word == "off") {
        value = 0.0;
        return true;
    }
    if (word.empty()) return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    return end == word.c_str() + word.size() && errno == 0 && std::isfinite(value);
}

std::string formatNumber(double v) {
    std::ostringstream out;
    out << v;
    return out.str();
}

const char* valueWord(int count) { return count == 1 ? "value" : "values"; }

}  // namespace

bool parseOverride(const std::string& text, ParameterOverride& parsed, std::string& error) {
    const std::string::size_type equals = text.find('=');
    if (equals == std::string::npos) {
        error = "--set " + echoInput(text) + ": expected NAME=VALUE";
        return false;
    }
    parsed = ParameterOverride();
    parsed.name = text.substr(0, equals);
    if (parsed.name.empty()) {
        error = "--set " + echoInput(text) + ": the name before '=' is empty";
        return false;
    }
    const std::string list = text.substr(equals + 1);
    std::string::size_type start = 0;
    while (true) {
        const std::string::size_type comma = list.find(',', start);
        const std::string word =
            list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (parsed.count == ParameterOverride::kMaxValues) {
            error = "--set " + echoInput(text) + ": more than " + std::to_string(ParameterOverride::kMaxValues) + " values";
            return false;
        }
        if (!parseValue(word, parsed.values[parsed.count])) {
            error = "--set " + echoInput(text) + ": '" + echoInput(word) + "' is not a finite number";
            return false;
        }
        ++parsed.count;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

bool checkOverride(const std::vector<SettableInput>& inputs, const ParameterOverride& parsed,
                   const std::string& hostName, std::string& error) {
    const SettableInput* input = nullptr;
    for (const SettableInput& candidate : inputs)
        if (candidate.name == parsed.name) input = &candidate;
    if (!input) {
        error = "--set " + echoInput(parsed.name) + ": " + hostName + " has no shading input named '" +
                echoInput(parsed.name) + "'; known inputs:";
        for (const SettableInput& candidate : inputs) error += " " + candidate.name;
        return false;
    }
    if (parsed.count != input->arity) {
        error = "--set " + parsed.name + ": takes " + std::to_string(input->arity) + " " + valueWord(input->arity) +
                ", got " + std::to_string(parsed.count);
        return false;
    }
    for (int i = 0; i < parsed.count; ++i) {
        const double v = parsed.values[i];
        if (input->kind != ValueKind::Float && v != std::floor(v)) {
            error = "--set " + parsed.name + ": " + formatNumber(v) + " is not a whole number";
            return false;
        }
        if (input->kind == ValueKind::Float && std::fabs(v) > double(std::numeric_limits<float>::max())) {
            error = "--set " + parsed.name + ": " + formatNumber(v) + " is out of the single-precision range";
            return false;
        }
        if (input->kind == ValueKind::Integer && std::fabs(v) > 2147483647.0) {
            error = "--set " + parsed.name + ": " + formatNumber(v) + " is out of the integer range";
            return false;
        }
        if (input->kind == ValueKind::Boolean && v != 0.0 && v != 1.0) {
            error = "--set " + parsed.name + ": " + formatNumber(v) + " is not a boolean (0, 1, true, false)";
            return false;
        }
        const int limit = i < 3 ? i : 2;
        if (input->hasHardMin && v < input->hardMin[limit]) {
            error = "--set " + parsed.name + ": " + formatNumber(v) + " is below the minimum " +
                    formatNumber(input->hardMin[limit]);
            return false;
        }
        if (input->hasHardMax && v > input->hardMax[limit]) {
            error = "--set " + parsed.name + ": " + formatNumber(v) + " is above the maximum " +
                    formatNumber(input->hardMax[limit]);
            return false;
        }
    }
    return true;
}

bool parseAndCheckOverrides(const std::vector<SettableInput>& inputs, const std::vector<std::string>& texts,
                            const std::string& hostName, std::vector<ParameterOverride>& parsed,
                            std::string& error) {
    parsed.clear();
    for (const std::string& text : texts) {
        ParameterOverride one;
        if (!parseOverride(text, one, error) || !checkOverride(inputs, one, hostName, error)) return false;
        parsed.push_back(one);
    }
    return true;
}

}  // namespace flakecoat::preview
