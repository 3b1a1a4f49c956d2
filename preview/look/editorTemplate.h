#ifndef FLAKECOAT_PREVIEW_LOOK_EDITOR_TEMPLATE_H
#define FLAKECOAT_PREVIEW_LOOK_EDITOR_TEMPLATE_H

// The frames of a Maya attribute-editor template, as the editor lays them
// out: each `editorTemplate -beginLayout "Label"` up to its `-endLayout`,
// with the attributes its `-addControl "name"` statements show, in order,
// and the `-label` and `-annotation` (the tooltip) each gives. The viewer
// groups and labels its controls exactly so.

#include <string>
#include <string_view>
#include <vector>

namespace flakecoat::preview {

struct TemplateControl {
    std::string attribute;
    std::string label;       // empty: the editor's own name for it
    std::string annotation;  // empty: no tooltip
};

struct TemplateFrame {
    std::string label;
    std::vector<TemplateControl> controls;
};

// Statements end at ';' and may span lines; "//" comments run to the end
// of the line. Fails, naming the line, for a control outside any frame, a
// frame left open or closed twice, a flag without its quoted argument, or
// a quote left open.
bool readTemplateFrames(const std::string& mel, std::vector<TemplateFrame>& frames, std::string& error);

// The node's own template (plugSource/scripts/AEflakeCoatTemplate.mel),
// built into the program by cmake/EmbedPageFiles.cmake.
std::string_view builtInEditorTemplate();

}  // namespace flakecoat::preview

#endif
