// The attribute-editor template against the node type the plug-in
// registers: the names come from the host's registry, not from a list kept
// beside the template.

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <mayaHost/registry.h>

#include "pluginFixture.h"

namespace {

std::string readFile(const std::string& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// What a template asks of the editor, one problem per line; empty when the
// template fits the node type. A template must name only attributes the
// node has, by long name; show every keyable input exactly once; suppress
// every hidden top-level attribute; and close every frame it opens.
std::vector<std::string> templateProblems(const std::string& mel, const mayaHost::NodeType& type) {
    std::vector<std::string> problems;
    std::map<std::string, int> shown, suppressed;
    const std::regex command(R"(editorTemplate\s+-(addControl|suppress)\s+\"(\w+)\")");
    for (std::sregex_iterator it(mel.begin(), mel.end(), command), end; it != end; ++it) {
        const std::string verb = (*it)[1], name = (*it)[2];
        const mayaHost::AttributeInfo* attribute = type.findAttribute(name);
        if (!attribute || attribute->longName != name) problems.push_back(verb + " " + name + ": no such attribute");
        ++(verb == "addControl" ? shown : suppressed)[name];
    }
    for (const auto& [name, count] : shown) {
        if (count > 1) problems.push_back("addControl " + name + ": shown " + std::to_string(count) + " times");
        if (suppressed.count(name)) problems.push_back("addControl " + name + ": also suppressed");
    }
    for (const mayaHost::AttributeInfo* attribute : type.attributes()) {
        if (attribute->flags.keyable && !shown.count(attribute->longName))
            problems.push_back("keyable " + attribute->longName + ": not shown");
        if (attribute->flags.hidden && !attribute->parent && !suppressed.count(attribute->longName))
            problems.push_back("hidden " + attribute->longName + ": not suppressed");
    }
    const std::regex begin(R"(editorTemplate\s+-beginLayout\s+\"[^\"]+\"\s+-collapse\s+[01]\s*;)");
    const std::regex endLayout(R"(editorTemplate\s+-endLayout\s*;)");
    const auto count = [&mel](const std::regex& pattern) {
        return std::distance(std::sregex_iterator(mel.begin(), mel.end(), pattern), std::sregex_iterator());
    };
    if (count(begin) == 0 || count(begin) != count(endLayout))
        problems.push_back("frames: " + std::to_string(count(begin)) + " collapsible frames opened, " +
                           std::to_string(count(endLayout)) + " closed");
    return problems;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

using AETemplate = LoadedPlugin;

TEST_F(AETemplate, FitsTheRegisteredNodeType) {
    const std::string mel = readFile(FLAKECOAT_AE_TEMPLATE_PATH);
    ASSERT_NE(mel.find("global proc AEflakeCoatTemplate(string $nodeName)"), std::string::npos);
    EXPECT_EQ(joined(templateProblems(mel, *type)), "");
    // The standard controls close the layout.
    EXPECT_NE(mel.find("AEdependNodeTemplate $nodeName;"), std::string::npos);
    EXPECT_NE(mel.find("editorTemplate -addExtraControls;"), std::string::npos);
}

TEST_F(AETemplate, CheckCatchesMisfits) {
    const std::string mel = readFile(FLAKECOAT_AE_TEMPLATE_PATH);
    std::string broken = std::regex_replace(mel, std::regex("\"normalDeviation\""), "\"normalDeviaton\"");
    broken = std::regex_replace(broken, std::regex("addControl \"seed\""), "addControl \"diffuse\"");
    broken = std::regex_replace(broken, std::regex("-suppress \"raySampler\""), "-suppress \"rtr\"");
    broken = std::regex_replace(broken, std::regex("-suppress \"rayDepth\";"), "");
    broken = std::regex_replace(broken, std::regex("editorTemplate -endLayout;"), "", std::regex_constants::format_first_only);
    EXPECT_EQ(joined(templateProblems(broken, *type)),
              "addControl normalDeviaton: no such attribute\n"
              "suppress rtr: no such attribute\n"
              "addControl diffuse: shown 2 times\n"
              "keyable normalDeviation: not shown\n"
              "keyable seed: not shown\n"
              "hidden raySampler: not suppressed\n"
              "hidden rayDepth: not suppressed\n"
              "frames: 6 collapsible frames opened, 5 closed\n");
}

}  // namespace
