#include <mentalrayHost/shaderDeclaration.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <istream>
#include <limits>

#include "inputEcho.h"

namespace mentalrayHost {

namespace {

struct TypeInfo {
    const char* word;
    ParameterType type;
    int size;
    int components;  // 4-byte words a default may give; 0: takes none
};

constexpr TypeInfo kTypes[] = {
    {"boolean", ParameterType::Boolean, 4, 1}, {"integer", ParameterType::Integer, 4, 1},
    {"scalar", ParameterType::Scalar, 4, 1},   {"vector", ParameterType::Vector, 12, 3},
    {"color", ParameterType::Color, 16, 4},    {"transform", ParameterType::Transform, 64, 16},
    {"light", ParameterType::Light, 4, 0},     {"shader", ParameterType::Shader, 4, 0},
    {"texture", ParameterType::Texture, 4, 0},
};
constexpr int kAlignment = 4;

const TypeInfo* typeNamed(const std::string& word) {
    for (const TypeInfo& info : kTypes)
        if (word == info.word) return &info;
    return nullptr;
}

std::uint32_t wordOf(float value) {
    std::uint32_t word;
    std::memcpy(&word, &value, sizeof word);
    return word;
}

struct Token {
    std::string text;
    int line = 0;
    bool quoted = false;
};

// A recursive-descent reader over the file's tokens: words (keywords and
// numbers), quoted names and the marks ( ) , ; -- '#' comments run to the
// end of the line.
class Reader {
public:
    Reader(std::istream& in, const std::string& fileName) : fileName_(fileName) {
        int line = 1;
        for (int c = in.get(); c != EOF; c = in.get()) {
            if (c == '#') {
                while (c != EOF && c != '\n') c = in.get();
            }
            if (c == '\n') ++line;
            if (c == EOF || std::isspace(c)) continue;
            Token token{std::string(1, char(c)), line, false};
            if (c == '"') {
                token = {"", line, true};
                for (c = in.get(); c != '"'; c = in.get()) {
                    if (c == EOF || c == '\n') {
                        unterminatedAt_ = line;
                        return;
                    }
                    token.text += char(c);
                }
            } else if (!std::strchr("(),;", c)) {
                while (in.peek() != EOF && !std::isspace(in.peek()) && !std::strchr("(),;\"#", in.peek()))
                    token.text += char(in.get());
            }
            tokens_.push_back(token);
        }
        endLine_ = line;
    }

    bool read(ShaderDeclaration& declaration) {
        if (unterminatedAt_) return failAt(unterminatedAt_, "unterminated quoted name");
        // Statements before the declaration (links, other declarations) are skipped.
        while (!(is("declare") && next_ + 1 < tokens_.size() && tokens_[next_ + 1].text == "shader" &&
                 !tokens_[next_ + 1].quoted)) {
            if (atEnd()) return fail("no \"declare shader\"");
            ++next_;
        }
        declaration.line = peek().line;
        next_ += 2;
        const TypeInfo* result = atEnd() || peek().quoted ? nullptr : typeNamed(peek().text);
        if (!result || result->components == 0)
            return fail("expected the shader's result type before its name, found " + described());
        declaration.resultType = take().text;
        if (!quotedName(declaration.name, "the quoted shader name") || !expect("(", "to open the parameter list"))
            return false;
        if (!is(")")) {
            do {
                if (!parameter(declaration)) return false;
            } while (accept(","));
            if (!is(")")) return fail("expected ',' or ')' after a parameter, found " + described());
        }
        declaration.closeLine = take().line;
        // version N, apply WHAT[, WHAT...], then end declare.
        for (;;) {
            if (is("version")) {
                declaration.versionLine = take().line;
                char* end = nullptr;
                const long value = atEnd() ? 0 : std::strtol(peek().text.c_str(), &end, 10);
                if (!end || *end != '\0' || peek().quoted || value < 1 || value > std::numeric_limits<int>::max())
                    return fail("expected a version number, found " + described());
                declaration.version = int(value);
                take();
            } else if (accept("apply")) {
                do {
                    if (atEnd() || peek().quoted || !std::isalpha(static_cast<unsigned char>(peek().text[0])))
                        return fail("expected what the shader applies to, found " + described());
                    take();
                } while (accept(","));
            } else if (is("end")) {
                declaration.endLine = take().line;
                return expect("declare", "after 'end'");
            } else {
                return fail("expected 'version', 'apply' or 'end declare', found " + described());
            }
        }
    }

    const std::string& error() const { return error_; }

private:
    bool atEnd() const { return next_ >= tokens_.size(); }
    const Token& peek() const { return tokens_[next_]; }
    const Token& take() { return tokens_[next_++]; }
    bool is(const char* text) const { return !atEnd() && !peek().quoted && peek().text == text; }
    bool accept(const char* text) { return is(text) ? (++next_, true) : false; }

    std::string described() const {
        if (atEnd()) return "the end of the file";
        return peek().quoted ? "\"" + flakecoat::echoInput(peek().text) + "\""
                              : "'" + flakecoat::echoInput(peek().text) + "'";
    }

    bool failAt(int line, const std::string& message) {
        error_ = fileName_ + ":" + std::to_string(line) + ": " + message;
        return false;
    }
    bool fail(const std::string& message) { return failAt(atEnd() ? endLine_ : peek().line, message); }

    bool expect(const char* text, const char* why) {
        return accept(text) || fail(std::string("expected '") + text + "' " + why + ", found " + described());
    }

    bool quotedName(std::string& name, const char* what) {
        if (atEnd() || !peek().quoted || peek().text.empty())
            return fail(std::string("expected ") + what + ", found " + described());
        name = take().text;
        return true;
    }

    // TYPE "name" [default VALUES] | array TYPE "name"
    bool parameter(ShaderDeclaration& declaration) {
        DeclaredParameter parameter;
        parameter.line = atEnd() ? endLine_ : peek().line;
        parameter.isArray = accept("array");
        if (atEnd() || peek().quoted) return fail("expected a parameter type, found " + described());
        const TypeInfo* info = typeNamed(peek().text);
        if (!info && (is("struct") || is("array")))
            return fail("parameter type '" + flakecoat::echoInput(peek().text) + "' is not supported here");
        if (!info) return fail("unknown parameter type '" + flakecoat::echoInput(peek().text) + "'");
        take();
        parameter.type = info->type;
        parameter.size = info->size;
        if (!quotedName(parameter.name, "a quoted parameter name")) return false;
        for (const std::string& name : namesOf(parameter))
            for (const DeclaredParameter& other : declaration.parameters)
                for (const std::string& taken : namesOf(other))
                    if (name == taken)
                        return failAt(parameter.line,
                                      "parameter \"" + flakecoat::echoInput(name) + "\" is declared twice");
        if (accept("default") && !defaults(parameter, *info)) return false;

        // An array is its first index and count, then its one slot.
        const int offset = (declaration.blockSize + kAlignment - 1) / kAlignment * kAlignment;
        parameter.offset = offset + (parameter.isArray ? 8 : 0);
        declaration.blockSize = parameter.offset + parameter.size;
        declaration.parameters.push_back(std::move(parameter));
        return true;
    }

    static std::vector<std::string> namesOf(const DeclaredParameter& parameter) {
        if (!parameter.isArray) return {parameter.name};
        return {parameter.name, "i_" + parameter.name, "n_" + parameter.name};
    }

    // Numbers, and on/off/true/false for a boolean, up to the next mark.
    bool defaults(DeclaredParameter& parameter, const TypeInfo& info) {
        const std::string& name = parameter.name;
        if (parameter.isArray || info.components == 0) return fail("parameter \"" + flakecoat::echoInput(name) + "\" cannot take a default");
        std::vector<std::uint32_t>& words = parameter.defaultWords;
        for (; !atEnd() && !peek().quoted && !std::strchr("(),;", peek().text[0]); take()) {
            if (int(words.size()) == info.components) return fail("too many default values for \"" + flakecoat::echoInput(name) + "\"");
            const std::string& text = peek().text;
            char* end = nullptr;
            errno = 0;
            const bool on = text == "on" || text == "true";
            if (info.type == ParameterType::Boolean && (on || text == "off" || text == "false")) {
                words.push_back(on ? 1u : 0u);
                continue;
            }
            if (info.type == ParameterType::Boolean || info.type == ParameterType::Integer) {
                const long value = std::strtol(text.c_str(), &end, 10);
                if (*end != '\0' || errno != 0 || value < std::numeric_limits<std::int32_t>::min() ||
                    value > std::numeric_limits<std::int32_t>::max())
                    return fail("default of \"" + flakecoat::echoInput(name) + "\": '" + flakecoat::echoInput(text) +
                                "' is not a 32-bit integer");
                words.push_back(std::uint32_t(std::int32_t(value)));
            } else {
                const float value = std::strtof(text.c_str(), &end);  // as the block stores it, rounded once
                if (*end != '\0' || errno == ERANGE)
                    return fail("default of \"" + flakecoat::echoInput(name) + "\": '" + flakecoat::echoInput(text) +
                                "' is not a number");
                words.push_back(wordOf(value));
            }
        }
        const int least = info.type == ParameterType::Color ? 3 : info.components;
        if (int(words.size()) < least)
            return fail("\"" + flakecoat::echoInput(name) + "\" needs " + std::to_string(least) + " default value" +
                        (least == 1 ? "" : "s") + ", has " + std::to_string(words.size()));
        return true;
    }

    std::string fileName_;
    std::vector<Token> tokens_;
    std::size_t next_ = 0;
    int endLine_ = 1;
    int unterminatedAt_ = 0;
    std::string error_;
};

}  // namespace

const DeclaredParameter* ShaderDeclaration::find(const std::string& parameterName) const {
    for (const DeclaredParameter& parameter : parameters)
        if (parameter.name == parameterName) return &parameter;
    return nullptr;
}

const DeclaredParameter* ShaderDeclaration::findArray(const std::string& parameterName,
                                                      ParameterType elementType) const {
    const DeclaredParameter* array = find(parameterName);
    return array && array->isArray && array->type == elementType ? array : nullptr;
}

bool parseShaderDeclaration(std::istream& text, const std::string& fileName, ShaderDeclaration& declaration,
                            std::string& error) {
    declaration = ShaderDeclaration();
    Reader reader(text, fileName);
    if (reader.read(declaration)) return true;
    error = reader.error();
    declaration = ShaderDeclaration();
    return false;
}

bool readShaderDeclaration(const std::string& path, ShaderDeclaration& declaration, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    return parseShaderDeclaration(file, path, declaration, error);
}

void fillDefaults(const ShaderDeclaration& declaration, void* block) {
    auto* bytes = static_cast<unsigned char*>(block);
    if (declaration.blockSize == 0) return;  // an empty block may have no storage at all
    std::memset(bytes, 0, std::size_t(declaration.blockSize));
    for (const DeclaredParameter& parameter : declaration.parameters) {
        if (!parameter.defaultWords.empty())
            std::memcpy(bytes + parameter.offset, parameter.defaultWords.data(), parameter.defaultWords.size() * 4);
        if (parameter.type == ParameterType::Color && parameter.defaultWords.size() == 3) {
            const std::uint32_t opaque = wordOf(1.0f);
            std::memcpy(bytes + parameter.offset + 12, &opaque, 4);
        }
    }
}

}  // namespace mentalrayHost
