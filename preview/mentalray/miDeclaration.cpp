#include "mentalray/miDeclaration.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace flakecoat::preview::mentalray {

namespace {

// One comma-separated entry of the parameter list, with its line.
struct Entry {
    std::string text;
    int line = 0;
};

bool typeNamed(const std::string& word, MiType& type, int& size) {
    static const struct {
        const char* word;
        MiType type;
        int size;
    } kTypes[] = {{"color", MiType::Color, 16},   {"vector", MiType::Vector, 12},   {"scalar", MiType::Scalar, 4},
                  {"integer", MiType::Integer, 4}, {"boolean", MiType::Boolean, 4}};
    for (const auto& known : kTypes) {
        if (word == known.word) {
            type = known.type;
            size = known.size;
            return true;
        }
    }
    return false;
}

std::string unquote(const std::string& word) {
    if (word.size() >= 2 && word.front() == '"' && word.back() == '"') return word.substr(1, word.size() - 2);
    return "";
}

}  // namespace

bool readMiDeclaration(const std::string& path, MiDeclaration& declaration, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    declaration = MiDeclaration();

    // Collect the text between "declare shader" and "end declare", comments dropped
    std::string line;
    int lineNumber = 0, startLine = 0;
    bool inside = false;
    std::vector<std::pair<std::string, int>> lines;
    while (std::getline(file, line)) {
        ++lineNumber;
        const std::string::size_type hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        const std::string::size_type declare = line.find("declare shader");
        if (!inside && declare != std::string::npos) {
            inside = true;
            startLine = lineNumber;
            line.erase(0, declare + std::string("declare shader").size());
        }
        if (inside && line.find("end declare") != std::string::npos) break;
        if (inside) lines.push_back({line, lineNumber});
    }
    if (!inside) {
        error = path + ": no \"declare shader\"";
        return false;
    }

    // Header: the result type and the quoted shader name, then "(" ... ")"
    std::vector<Entry> entries;
    bool inList = false, listClosed = false;
    Entry current;
    for (const auto& [text, number] : lines) {
        for (char c : text) {
            if (!inList && !listClosed) {
                if (c == '(') {
                    inList = true;
                    current = Entry{"", number};
                } else {
                    declaration.shaderName += c;
                }
            } else if (inList) {
                if (c == ',' || c == ')') {
                    if (current.text.find_first_not_of(" \t") != std::string::npos) entries.push_back(current);
                    current = Entry{"", number};
                    if (c == ')') {
                        inList = false;
                        listClosed = true;
                    }
                } else {
                    if (current.text.find_first_not_of(" \t") == std::string::npos) current.line = number;
                    current.text += c;
                }
            } else {
                current.text += c;  // after the list: "version N", "apply ..."
            }
        }
        if (listClosed) current.text += ' ';
    }
    if (!listClosed) {
        error = path + ":" + std::to_string(startLine) + ": the parameter list is not closed";
        return false;
    }
    {
        std::istringstream words(declaration.shaderName);
        std::string resultType, name;
        words >> resultType >> name;
        declaration.shaderName = unquote(name);
    }
    {
        std::istringstream words(current.text);
        for (std::string word; words >> word;)
            if (word == "version") words >> declaration.version;
    }

    // Parameters in order, at the offsets the renderer gives them
    int offset = 0;
    for (const Entry& entry : entries) {
        std::istringstream words(entry.text);
        std::string typeWord, name;
        words >> typeWord;
        const std::string where = path + ":" + std::to_string(entry.line) + ": ";
        if (typeWord == "array") {
            std::string elementType;
            words >> elementType >> name;
            MiParameter parameter{MiType::Array, unquote(name), offset, {}};
            if (parameter.name.empty()) {
                error = where + "expected a quoted parameter name";
                return false;
            }
            if (declaration.firstArrayOffset < 0) declaration.firstArrayOffset = offset;
            declaration.parameters.push_back(parameter);
            offset += 12;  // first index, count, one slot
            continue;
        }
        MiParameter parameter;
        int size = 0;
        if (!typeNamed(typeWord, parameter.type, size)) {
            error = where + "unknown parameter type '" + typeWord + "'";
            return false;
        }
        words >> name;
        parameter.name = unquote(name);
        if (parameter.name.empty()) {
            error = where + "expected a quoted parameter name";
            return false;
        }
        std::string word;
        if (words >> word) {
            if (word != "default") {
                error = where + "expected 'default' after the parameter name, found '" + word + "'";
                return false;
            }
            while (words >> word) {
                const bool on = word == "on" || word == "true", off = word == "off" || word == "false";
                char* end = nullptr;
                const double value = on ? 1.0 : off ? 0.0 : std::strtod(word.c_str(), &end);
                if (!on && !off && (end == word.c_str() || *end != '\0')) {
                    error = where + "'" + word + "' is not a default value";
                    return false;
                }
                parameter.defaults.push_back(value);
            }
        }
        parameter.offset = offset;
        offset += size;
        declaration.parameters.push_back(parameter);
    }
    return true;
}

std::vector<SettableInput> settableParameters(const MiDeclaration& declaration) {
    std::vector<SettableInput> declared;
    for (const MiParameter& parameter : declaration.parameters) {
        SettableInput input;
        input.name = parameter.name;
        switch (parameter.type) {
            case MiType::Color:
            case MiType::Vector: input.arity = 3; break;
            case MiType::Scalar: break;
            case MiType::Integer: input.kind = ValueKind::Integer; break;
            case MiType::Boolean: input.kind = ValueKind::Boolean; break;
            case MiType::Array: continue;
        }
        declared.push_back(input);
    }
    return declared;
}

void writeOverride(const MiDeclaration& declaration, const ParameterOverride& value, void* block) {
    auto* bytes = static_cast<unsigned char*>(block);
    for (const MiParameter& parameter : declaration.parameters) {
        if (parameter.name != value.name) continue;
        for (int i = 0; i < value.count; ++i) {
            unsigned char* field = bytes + parameter.offset + 4 * i;
            if (parameter.type == MiType::Integer || parameter.type == MiType::Boolean) {
                const std::int32_t word = std::int32_t(value.values[i]);
                std::memcpy(field, &word, 4);
            } else {
                const float number = float(value.values[i]);
                std::memcpy(field, &number, 4);
            }
        }
        return;
    }
}

}  // namespace flakecoat::preview::mentalray
