#include <mentalrayHost/shaderDeclaration.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <istream>
#include <limits>

namespace mentalrayHost {

namespace {

struct Token {
    enum Kind { Word, Quoted, Punctuation, End } kind = End;
    std::string text;
    int line = 0;
};

// Words (keywords and numbers), quoted names and the punctuation ( ) , ;
// '#' starts a comment that runs to the end of the line.
class Tokens {
public:
    explicit Tokens(std::istream& in) : in_(in) {}

    Token next() {
        int c = in_.get();
        for (;;) {
            if (c == '\n') ++line_;
            if (c == '#') {
                while (c != EOF && c != '\n') c = in_.get();
                continue;
            }
            if (c == EOF || !std::isspace(c)) break;
            c = in_.get();
        }
        Token token;
        token.line = line_;
        if (c == EOF) return token;
        if (c == '(' || c == ')' || c == ',' || c == ';') {
            token.kind = Token::Punctuation;
            token.text = char(c);
        } else if (c == '"') {
            token.kind = Token::Quoted;
            for (c = in_.get(); c != '"'; c = in_.get()) {
                if (c == EOF || c == '\n') {
                    token.kind = Token::End;
                    unterminated_ = true;
                    return token;
                }
                token.text += char(c);
            }
        } else {
            token.kind = Token::Word;
            while (c != EOF && !std::isspace(c) && !std::strchr("(),;\"#", c)) {
                token.text += char(c);
                c = in_.get();
            }
            if (c != EOF) in_.unget();
        }
        return token;
    }

    bool unterminated() const { return unterminated_; }

private:
    std::istream& in_;
    int line_ = 1;
    bool unterminated_ = false;
};

struct TypeInfo {
    const char* word;
    ParameterType type;
    int size;
    int components;  // 4-byte words a default may give; 0: none allowed
};

constexpr TypeInfo kTypes[] = {
    {"boolean", ParameterType::Boolean, 4, 1},  {"integer", ParameterType::Integer, 4, 1},
    {"scalar", ParameterType::Scalar, 4, 1},    {"vector", ParameterType::Vector, 12, 3},
    {"color", ParameterType::Color, 16, 4},     {"transform", ParameterType::Transform, 64, 16},
    {"light", ParameterType::Light, 4, 0},      {"shader", ParameterType::Shader, 4, 0},
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

class Parser {
public:
    Parser(std::istream& in, const std::string& fileName) : tokens_(in), fileName_(fileName) { advance(); }

    bool parse(ShaderDeclaration& declaration) {
        // Statements before the declaration (other declarations, links) are skipped.
        while (!(is("declare") && peekShader())) {
            if (token_.kind == Token::End) return fail(tokens_.unterminated() ? "unterminated quoted name"
                                                                              : "no \"declare shader\"");
            advance();
        }
        advance();  // shader
        advance();
        if (token_.kind != Token::Word || !typeNamed(token_.text) || typeNamed(token_.text)->components == 0)
            return fail("expected the shader's result type (boolean, integer, scalar, vector, color or transform)"
                        " before its name, found " + describe());
        declaration.resultType = token_.text;
        advance();
        if (token_.kind != Token::Quoted || token_.text.empty()) return fail("expected the quoted shader name, found " + describe());
        declaration.name = token_.text;
        advance();
        if (!punctuation("(")) return fail("expected '(' to open the parameter list, found " + describe());
        advance();
        if (!punctuation(")")) {
            for (;;) {
                if (!parameter(declaration)) return false;
                if (punctuation(")")) break;
                if (!punctuation(",")) return fail("expected ',' or ')' after a parameter, found " + describe());
                advance();
            }
        }
        advance();
        return tail(declaration);
    }

    const std::string& error() const { return error_; }

private:
    void advance() {
        token_ = haveLookahead_ ? lookahead_ : tokens_.next();
        haveLookahead_ = false;
    }

    bool peekShader() {
        if (!haveLookahead_) {
            lookahead_ = tokens_.next();
            haveLookahead_ = true;
        }
        return lookahead_.kind == Token::Word && lookahead_.text == "shader";
    }

    bool is(const char* word) const { return token_.kind == Token::Word && token_.text == word; }
    bool punctuation(const char* mark) const { return token_.kind == Token::Punctuation && token_.text == mark; }

    std::string describe() const {
        if (token_.kind == Token::End) return tokens_.unterminated() ? "an unterminated quoted name" : "the end of the file";
        if (token_.kind == Token::Quoted) return "\"" + token_.text + "\"";
        return "'" + token_.text + "'";
    }

    bool fail(const std::string& message) {
        error_ = fileName_ + ":" + std::to_string(token_.line) + ": " + message;
        return false;
    }

    // type "name" [default values] | array type "name"
    bool parameter(ShaderDeclaration& declaration) {
        DeclaredParameter parameter;
        parameter.line = token_.line;
        if (is("array")) {
            parameter.isArray = true;
            advance();
        }
        if (token_.kind != Token::Word) return fail("expected a parameter type, found " + describe());
        const TypeInfo* info = typeNamed(token_.text);
        if (!info) {
            if (token_.text == "struct" || token_.text == "array")
                return fail("parameter type '" + token_.text + "' is not supported here");
            return fail("unknown parameter type '" + token_.text + "'");
        }
        parameter.type = info->type;
        parameter.size = info->size;
        advance();
        if (token_.kind != Token::Quoted || token_.text.empty())
            return fail("expected a quoted parameter name, found " + describe());
        parameter.name = token_.text;
        for (const std::string& taken : namesOf(parameter)) {
            if (!unique(declaration, taken)) return fail("parameter \"" + taken + "\" is declared twice");
        }
        advance();
        if (is("default")) {
            if (parameter.isArray || info->components == 0)
                return fail("parameter \"" + parameter.name + "\" cannot take a default");
            advance();
            if (!defaults(parameter, *info)) return false;
        }

        // Place it: an array's first index and count, then its one slot.
        int offset = (declaration.blockSize + kAlignment - 1) / kAlignment * kAlignment;
        if (parameter.isArray) offset += 8;
        parameter.offset = offset;
        declaration.blockSize = offset + parameter.size;
        declaration.parameters.push_back(std::move(parameter));
        return true;
    }

    static std::vector<std::string> namesOf(const DeclaredParameter& parameter) {
        if (!parameter.isArray) return {parameter.name};
        return {parameter.name, "i_" + parameter.name, "n_" + parameter.name};
    }

    static bool unique(const ShaderDeclaration& declaration, const std::string& name) {
        for (const DeclaredParameter& other : declaration.parameters)
            for (const std::string& taken : namesOf(other))
                if (taken == name) return false;
        return true;
    }

    // Numbers (booleans: on, off, true, false) up to the next ',' or ')'.
    bool defaults(DeclaredParameter& parameter, const TypeInfo& info) {
        while (token_.kind == Token::Word) {
            if (int(parameter.defaultWords.size()) == info.components)
                return fail("too many default values for \"" + parameter.name + "\"");
            const std::string& text = token_.text;
            if (info.type == ParameterType::Boolean && (text == "on" || text == "true" || text == "off" || text == "false")) {
                parameter.defaultWords.push_back(text == "on" || text == "true" ? 1u : 0u);
            } else if (info.type == ParameterType::Boolean || info.type == ParameterType::Integer) {
                char* end = nullptr;
                errno = 0;
                const long value = std::strtol(text.c_str(), &end, 10);
                if (*end != '\0' || errno != 0 || value < std::numeric_limits<std::int32_t>::min() ||
                    value > std::numeric_limits<std::int32_t>::max())
                    return fail("default of \"" + parameter.name + "\": '" + text + "' is not a 32-bit integer");
                parameter.defaultWords.push_back(std::uint32_t(std::int32_t(value)));
            } else {
                char* end = nullptr;
                errno = 0;
                const float value = std::strtof(text.c_str(), &end);
                if (*end != '\0' || errno == ERANGE || end == text.c_str())
                    return fail("default of \"" + parameter.name + "\": '" + text + "' is not a number");
                parameter.defaultWords.push_back(wordOf(value));
            }
            advance();
        }
        const int given = int(parameter.defaultWords.size());
        const int least = info.type == ParameterType::Color ? 3 : info.components;
        if (given < least)
            return fail("\"" + parameter.name + "\" needs " + std::to_string(least) + " default value" +
                        (least == 1 ? "" : "s") + ", has " + std::to_string(given));
        return true;
    }

    // version N, apply WORD[, WORD...], then end declare.
    bool tail(ShaderDeclaration& declaration) {
        for (;;) {
            if (is("end")) {
                advance();
                if (!is("declare")) return fail("expected 'end declare', found " + describe());
                return true;
            }
            if (is("version")) {
                advance();
                char* end = nullptr;
                const long value = token_.kind == Token::Word ? std::strtol(token_.text.c_str(), &end, 10) : 0;
                if (!end || *end != '\0' || value < 1 || value > std::numeric_limits<int>::max())
                    return fail("expected a version number, found " + describe());
                declaration.version = int(value);
                advance();
            } else if (is("apply")) {
                advance();
                if (token_.kind != Token::Word) return fail("expected what the shader applies to, found " + describe());
                advance();
                while (punctuation(",")) {
                    advance();
                    if (token_.kind != Token::Word) return fail("expected what the shader applies to, found " + describe());
                    advance();
                }
            } else {
                return fail("expected 'version', 'apply' or 'end declare', found " + describe());
            }
        }
    }

    Tokens tokens_;
    std::string fileName_;
    Token token_;
    Token lookahead_;
    bool haveLookahead_ = false;
    std::string error_;
};

}  // namespace

const DeclaredParameter* ShaderDeclaration::find(const std::string& parameterName) const {
    for (const DeclaredParameter& parameter : parameters)
        if (parameter.name == parameterName) return &parameter;
    return nullptr;
}

bool parseShaderDeclaration(std::istream& text, const std::string& fileName, ShaderDeclaration& declaration,
                            std::string& error) {
    declaration = ShaderDeclaration();
    Parser parser(text, fileName);
    if (parser.parse(declaration)) return true;
    error = parser.error();
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
    std::memset(bytes, 0, std::size_t(declaration.blockSize));
    for (const DeclaredParameter& parameter : declaration.parameters) {
        std::memcpy(bytes + parameter.offset, parameter.defaultWords.data(), parameter.defaultWords.size() * 4);
        if (parameter.type == ParameterType::Color && parameter.defaultWords.size() == 3) {
            const std::uint32_t opaque = wordOf(1.0f);
            std::memcpy(bytes + parameter.offset + 12, &opaque, 4);
        }
    }
}

}  // namespace mentalrayHost
