#ifndef FLAKECOAT_PREVIEW_LOOK_EDITOR_TEMPLATE_H
#define FLAKECOAT_PREVIEW_LOOK_EDITOR_TEMPLATE_H

// The frames of a Maya attribute-editor template, as the editor lays them
// out: each `editorTemplate -beginLayout "Label"` up to its `-endLayout`,
// with the attributes its `-addControl "name"` lines show, in order. The
// viewer groups its controls exactly so.

#include <string>
#include <string_view>
#include <vector>

namespace flakecoat::preview {

struct TemplateFrame {
    std::string label;
    std::vector<std::string> attributes;
};

// Fails, naming the line, for a control outside any frame, a frame left
// open or closed twice, or a command without its quoted argument.
bool readTemplateFrames(const std::string& mel, std::vector<TemplateFrame>& frames, std::string& error);

// The node's own template (plugSource/scripts/AEflakeCoatTemplate.mel),
// built into the program by cmake/EmbedPageFiles.cmake.
std::string_view builtInEditorTemplate();

}  // namespace flakecoat::preview

#endif
