#include <mentalrayHost/shaderGui.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <istream>

namespace mentalrayHost {

namespace {

struct Token {
    std::string text;
    int line = 0;
    bool quoted = false;
};

// Words, quoted strings and the marks ( ) , { }; '#' comments run to the
// end of the line.
bool tokenize(std::istream& in, std::vector<Token>& tokens, int& line, std::string& unterminated) {
    line = 1;
    for (int c = in.get(); c != EOF; c = in.get()) {
        if (c == '#')
            while (c != EOF && c != '\n') c = in.get();
        if (c == '\n') ++line;
        if (c == EOF || std::isspace(c)) continue;
        Token token{std::string(1, char(c)), line, false};
        if (c == '"') {
            token = {"", line, true};
            for (c = in.get(); c != '"'; c = in.get()) {
                if (c == EOF || c == '\n') {
                    unterminated = std::to_string(token.line);
                    return false;
                }
                token.text += char(c);
            }
        } else if (!std::strchr("(),{}", c)) {
            while (in.peek() != EOF && !std::isspace(in.peek()) && !std::strchr("(),{}\"#", in.peek()))
                token.text += char(in.get());
        }
        tokens.push_back(token);
    }
    return true;
}

class Reader {
public:
    Reader(const std::vector<Token>& tokens, const std::string& fileName, int endLine)
        : tokens_(tokens), fileName_(fileName), endLine_(endLine) {}

    bool read(const std::string& guiName, ShaderGui& gui, bool& found) {
        found = false;
        for (; !atEnd(); ++next_)
            if (is("gui") && next_ + 1 < tokens_.size() && tokens_[next_ + 1].quoted &&
                tokens_[next_ + 1].text == guiName)
                break;
        if (atEnd()) return true;
        found = true;
        gui.line = take().line;
        gui.name = take().text;
        if (!expect("{", "to open the gui block")) return false;
        while (!accept("}")) {
            if (!is("control")) return fail("expected 'control' or '}', found " + described());
            GuiControl control;
            control.line = take().line;
            if (!quoted(control.name, "the control's quoted name") || !quoted(control.type, "its quoted type") ||
                !expect("(", "to open its attributes"))
                return false;
            if (!accept(")")) {
                do {
                    if (!attribute(control)) return false;
                } while (accept(","));
                if (!expect(")", "after the attributes")) return false;
            }
            gui.controls.push_back(std::move(control));
        }
        return true;
    }

    const std::string& error() const { return error_; }

private:
    bool atEnd() const { return next_ >= tokens_.size(); }
    const Token& peek() const { return tokens_[next_]; }
    const Token& take() { return tokens_[next_++]; }
    bool is(const char* text) const { return !atEnd() && !peek().quoted && peek().text == text; }
    bool accept(const char* text) { return is(text) ? (++next_, true) : false; }
    bool isMark() const { return !atEnd() && !peek().quoted && std::strchr("(),{}", peek().text[0]); }

    std::string described() const {
        if (atEnd()) return "the end of the file";
        return peek().quoted ? "\"" + peek().text + "\"" : "'" + peek().text + "'";
    }
    bool fail(const std::string& message) {
        error_ = fileName_ + ":" + std::to_string(atEnd() ? endLine_ : peek().line) + ": " + message;
        return false;
    }
    bool expect(const char* text, const char* why) {
        return accept(text) || fail(std::string("expected '") + text + "' " + why + ", found " + described());
    }
    bool quoted(std::string& text, const char* what) {
        if (atEnd() || !peek().quoted) return fail(std::string("expected ") + what + ", found " + described());
        text = take().text;
        return true;
    }

    // "name" VALUE...: values all numbers or all strings.
    bool attribute(GuiControl& control) {
        GuiAttribute attribute;
        if (!quoted(attribute.name, "a quoted attribute name")) return false;
        for (bool first = true; !atEnd() && !isMark(); first = false) {
            if (!first && peek().quoted != attribute.quoted)
                return fail("attribute \"" + attribute.name + "\" mixes numbers and strings");
            attribute.quoted = peek().quoted;
            attribute.values.push_back(take().text);
        }
        control.attributes.push_back(std::move(attribute));
        return true;
    }

    const std::vector<Token>& tokens_;
    std::string fileName_;
    int endLine_;
    std::size_t next_ = 0;
    std::string error_;
};

}  // namespace

const GuiAttribute* GuiControl::find(const std::string& attributeName) const {
    for (const GuiAttribute& attribute : attributes)
        if (attribute.name == attributeName) return &attribute;
    return nullptr;
}

const GuiControl* ShaderGui::find(const std::string& controlName) const {
    for (const GuiControl& control : controls)
        if (control.name == controlName) return &control;
    return nullptr;
}

bool parseShaderGui(std::istream& text, const std::string& fileName, const std::string& guiName, ShaderGui& gui,
                    bool& found, std::string& error) {
    gui = ShaderGui();
    found = false;
    std::vector<Token> tokens;
    int endLine = 1;
    std::string unterminated;
    if (!tokenize(text, tokens, endLine, unterminated)) {
        error = fileName + ":" + unterminated + ": unterminated quoted string";
        return false;
    }
    Reader reader(tokens, fileName, endLine);
    if (reader.read(guiName, gui, found)) return true;
    error = reader.error();
    gui = ShaderGui();
    return false;
}

bool readShaderGui(const std::string& path, const std::string& guiName, ShaderGui& gui, bool& found,
                   std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    return parseShaderGui(file, path, guiName, gui, found, error);
}

}  // namespace mentalrayHost
