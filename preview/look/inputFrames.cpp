#include "look/inputFrames.h"

#include "look/editorTemplate.h"

namespace flakecoat::preview {

namespace {

constexpr const char* kExtraGroup = "Extra Attributes";  // as the editor names its last frame

const std::vector<TemplateFrame>& frames() {
    static const std::vector<TemplateFrame> kFrames = [] {
        // The template is ours and its test reads it, so a fault cannot go
        // unseen; the controls would go ungrouped.
        std::vector<TemplateFrame> read;
        std::string error;
        readTemplateFrames(std::string(builtInEditorTemplate()), read, error);
        return read;
    }();
    return kFrames;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() > suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

const std::vector<std::string>& controlGroupOrder() {
    static const std::vector<std::string> kOrder = [] {
        std::vector<std::string> order;
        for (const TemplateFrame& frame : frames()) order.push_back(frame.label);
        order.push_back(kExtraGroup);
        return order;
    }();
    return kOrder;
}

std::pair<size_t, size_t> controlRank(const std::string& inputName) {
    std::vector<std::string> candidates{inputName};
    for (const char* suffix : {"Min", "Max", "X", "Y", "Color"})
        if (endsWith(inputName, suffix))
            candidates.push_back(inputName.substr(0, inputName.size() - std::string(suffix).size()));
    for (const std::string& name : candidates)
        for (size_t f = 0; f < frames().size(); ++f)
            for (size_t a = 0; a < frames()[f].controls.size(); ++a)
                if (frames()[f].controls[a].attribute == name) return {f, a};
    return {frames().size(), 0};
}

const TemplateControl* editorControl(const std::string& attribute) {
    for (const TemplateFrame& frame : frames())
        for (const TemplateControl& control : frame.controls)
            if (control.attribute == attribute) return &control;
    return nullptr;
}

std::string controlGroupOf(const std::string& inputName) {
    const size_t frame = controlRank(inputName).first;
    return frame < frames().size() ? frames()[frame].label : kExtraGroup;
}

}  // namespace flakecoat::preview
