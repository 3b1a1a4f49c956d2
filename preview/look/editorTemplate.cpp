#include "look/editorTemplate.h"

#include <cctype>

namespace flakecoat::preview {

namespace {

struct Word {
    std::string text;
    bool quoted = false;
    int line = 0;
};

// One statement's words; a quoted word keeps what its quotes hold, with
// \" and \\ read as the characters they escape.
using Statement = std::vector<Word>;

bool fail(std::string& error, const std::string& message) {
    error = message;
    return false;
}

bool splitStatements(const std::string& mel, std::vector<Statement>& statements, std::string& error) {
    Statement current;
    int line = 1;
    for (size_t i = 0; i < mel.size(); ++i) {
        const char c = mel[i];
        if (c == '\n') {
            ++line;
        } else if (c == '/' && i + 1 < mel.size() && mel[i + 1] == '/') {
            while (i + 1 < mel.size() && mel[i + 1] != '\n') ++i;
        } else if (c == ';') {
            statements.push_back(std::move(current));
            current.clear();
        } else if (c == '"') {
            Word word{"", true, line};
            for (++i; i < mel.size() && mel[i] != '"' && mel[i] != '\n'; ++i) {
                if (mel[i] == '\\' && i + 1 < mel.size()) ++i;
                word.text += mel[i];
            }
            if (i == mel.size() || mel[i] == '\n')
                return fail(error, "line " + std::to_string(word.line) + ": a quote is not closed");
            current.push_back(word);
        } else if (!std::isspace(static_cast<unsigned char>(c))) {
            Word word{"", false, line};
            for (; i < mel.size() && !std::isspace(static_cast<unsigned char>(mel[i])) &&
                   std::string(";\"").find(mel[i]) == std::string::npos;
                 ++i)
                word.text += mel[i];
            --i;
            current.push_back(word);
        }
    }
    statements.push_back(std::move(current));
    return true;
}

// The quoted argument of `flag` in the statement, or "" when it has none.
std::string quotedAfter(const Statement& statement, size_t from, const std::string& flag) {
    for (size_t i = from; i + 1 < statement.size(); ++i)
        if (!statement[i].quoted && statement[i].text == flag && statement[i + 1].quoted) return statement[i + 1].text;
    return "";
}

bool has(const Statement& statement, size_t from, const std::string& flag) {
    for (size_t i = from; i < statement.size(); ++i)
        if (!statement[i].quoted && statement[i].text == flag) return true;
    return false;
}

}  // namespace

bool readTemplateFrames(const std::string& mel, std::vector<TemplateFrame>& frames, std::string& error) {
    frames.clear();
    std::vector<Statement> statements;
    if (!splitStatements(mel, statements, error)) return false;
    bool open = false;
    for (const Statement& statement : statements) {
        size_t at = 0;
        while (at < statement.size() && (statement[at].quoted || statement[at].text != "editorTemplate")) ++at;
        if (at == statement.size()) continue;
        const std::string where = "line " + std::to_string(statement[at].line) + ": ";
        if (has(statement, at, "-beginLayout")) {
            if (open) return fail(error, where + "a frame inside a frame");
            frames.push_back(TemplateFrame{quotedAfter(statement, at, "-beginLayout"), {}});
            if (frames.back().label.empty()) return fail(error, where + "-beginLayout without a quoted label");
            open = true;
        } else if (has(statement, at, "-endLayout")) {
            if (!open) return fail(error, where + "-endLayout without a frame");
            open = false;
        } else if (has(statement, at, "-addControl")) {
            TemplateControl control{quotedAfter(statement, at, "-addControl"), quotedAfter(statement, at, "-label"),
                                    quotedAfter(statement, at, "-annotation")};
            if (control.attribute.empty()) return fail(error, where + "-addControl without a quoted attribute name");
            if (!open) return fail(error, where + "-addControl \"" + control.attribute + "\" outside a frame");
            for (const char* flag : {"-label", "-annotation"})
                if (has(statement, at, flag) && quotedAfter(statement, at, flag).empty())
                    return fail(error, where + flag + " without a quoted text");
            frames.back().controls.push_back(control);
        }
    }
    if (open) return fail(error, "the frame \"" + frames.back().label + "\" is not closed");
    return true;
}

}  // namespace flakecoat::preview
