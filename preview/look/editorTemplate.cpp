#include "look/editorTemplate.h"

#include <sstream>

namespace flakecoat::preview {

namespace {

// The quoted word after `flag` on the line, or "" when the line has none.
std::string quotedAfter(const std::string& line, const std::string& flag) {
    const std::string::size_type at = line.find(flag);
    if (at == std::string::npos) return "";
    const std::string::size_type open = line.find('"', at + flag.size());
    const std::string::size_type close = open == std::string::npos ? open : line.find('"', open + 1);
    return close == std::string::npos ? "" : line.substr(open + 1, close - open - 1);
}

bool fail(std::string& error, const std::string& message) {
    error = message;
    return false;
}

}  // namespace

bool readTemplateFrames(const std::string& mel, std::vector<TemplateFrame>& frames, std::string& error) {
    frames.clear();
    std::istringstream lines(mel);
    std::string line;
    bool open = false;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = line.substr(0, line.find("//"));
        if (line.find("editorTemplate") == std::string::npos) continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (line.find("-beginLayout") != std::string::npos) {
            if (open) return fail(error, where + "a frame inside a frame");
            frames.push_back(TemplateFrame{quotedAfter(line, "-beginLayout"), {}});
            if (frames.back().label.empty()) return fail(error, where + "-beginLayout without a quoted label");
            open = true;
        } else if (line.find("-endLayout") != std::string::npos) {
            if (!open) return fail(error, where + "-endLayout without a frame");
            open = false;
        } else if (line.find("-addControl") != std::string::npos) {
            const std::string name = quotedAfter(line, "-addControl");
            if (name.empty()) return fail(error, where + "-addControl without a quoted attribute name");
            if (!open) return fail(error, where + "-addControl \"" + name + "\" outside a frame");
            frames.back().attributes.push_back(name);
        }
    }
    if (open) return fail(error, "the frame \"" + frames.back().label + "\" is not closed");
    return true;
}

}  // namespace flakecoat::preview
