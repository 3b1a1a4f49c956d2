#ifndef FLAKECOAT_PREVIEW_VIEW_TEMPLATE_FRAMES_H
#define FLAKECOAT_PREVIEW_VIEW_TEMPLATE_FRAMES_H

// The frames of a Maya attribute-editor template, as the editor lays them
// out: each `editorTemplate -beginLayout "Label"` up to its `-endLayout`,
// with the attributes its `-addControl "name"` lines show, in order. The
// viewer groups the Maya controls exactly so.

#include <string>
#include <vector>

namespace flakecoat::preview::view {

struct TemplateFrame {
    std::string label;
    std::vector<std::string> attributes;
};

// Fails, naming the line, for a control outside any frame, a frame left
// open or closed twice, or a command without its quoted argument.
bool readTemplateFrames(const std::string& mel, std::vector<TemplateFrame>& frames, std::string& error);

}  // namespace flakecoat::preview::view

#endif
