#ifndef FLAKECOAT_PREVIEW_LOOK_INPUT_FRAMES_H
#define FLAKECOAT_PREVIEW_LOOK_INPUT_FRAMES_H

// The frames the viewer shows inputs in, for both hosts: those of the Maya
// node's attribute-editor template (plugSource/scripts/AEflakeCoatTemplate.mel,
// built into the program), in its order, then "Extra Attributes" for
// everything it does not place, as the editor does.

#include <string>
#include <utility>
#include <vector>

#include "look/editorTemplate.h"

namespace flakecoat::preview {

// The group names in display order; the last one takes every input no
// other group names.
const std::vector<std::string>& controlGroupOrder();

// The group of an input by its host name (mental ray's component names,
// such as depthRangeMin, frequencyX or specularColor, go with their Maya
// compound).
std::string controlGroupOf(const std::string& inputName);

// Where the template places an input: (frame, place in the frame), or past
// every frame for an input it does not place.
std::pair<size_t, size_t> controlRank(const std::string& inputName);

// The template's control of a Maya attribute, with its label and
// annotation; null for an attribute it does not show.
const TemplateControl* editorControl(const std::string& attribute);

}  // namespace flakecoat::preview

#endif
