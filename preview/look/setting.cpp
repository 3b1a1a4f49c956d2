#include "look/setting.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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

}  // namespace

bool parseSetting(const std::string& text, Setting& parsed, std::string& error) {
    const std::string::size_type equals = text.find('=');
    if (equals == std::string::npos) {
        error = "--set " + echoInput(text) + ": expected NAME=VALUE";
        return false;
    }
    parsed = Setting();
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
        if (parsed.count == Setting::kMaxValues) {
            error = "--set " + echoInput(text) + ": more than " + std::to_string(Setting::kMaxValues) + " values";
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

std::string valueText(double value) {
    char text[32];
    // Whole numbers in full: a 32-bit seed has ten digits.
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        std::snprintf(text, sizeof text, "%.0f", value == 0.0 ? 0.0 : value);
    else
        std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

std::string settingText(const Setting& value) {
    std::string text = value.name + "=";
    for (int i = 0; i < value.count; ++i) text += (i ? "," : "") + valueText(value.values[i]);
    return text;
}

bool sameValues(const Setting& a, const Setting& b) {
    if (a.name != b.name || a.count != b.count) return false;
    for (int i = 0; i < a.count; ++i)
        if (a.values[i] != b.values[i]) return false;
    return true;
}

}  // namespace flakecoat::preview
