#ifndef FLAKECOAT_PREVIEW_LOOK_SHADING_INPUT_H
#define FLAKECOAT_PREVIEW_LOOK_SHADING_INPUT_H

// One input of a host's shader as the host itself declares it: the Maya
// node's attributes as the registry holds them, the mental ray shader's
// parameters as its .mi declaration gives them. Each host adapter describes
// its inputs once; the command line, sweeps, the viewer and look files all
// read these descriptions.

#include <string>
#include <vector>

namespace flakecoat::preview {

enum class ValueKind { Float, Integer, Boolean };

struct ShadingInput {
    std::string name;
    ValueKind kind = ValueKind::Float;  // of every component
    int arity = 1;                      // 1, 2, 3, or 16 for a matrix
    bool isColor = false;
    // Whether the viewer gives it a control: hidden attributes, matrices
    // and components with names of their own (colorR) have none.
    bool shown = true;
    // A component with a name of its own (Maya's colorR) names its compound
    // and its place in it; a compound names those components.
    std::string parent;
    int component = 0;
    std::vector<std::string> children;
    std::vector<double> defaults;  // arity values, as the host stores them
    // Hard limits bound the value, each component by its own (components
    // past the third take the third's); the host refuses values beyond.
    bool hasHardMin = false, hasHardMax = false;
    double hardMin[3] = {0, 0, 0}, hardMax[3] = {0, 0, 0};
    // Soft limits are a slider's range, not limits: the host's own where it
    // declares them, otherwise deriveSoftRange's. Booleans and matrices have
    // none.
    bool hasSoftMin = false, hasSoftMax = false;
    double softMin = 0, softMax = 0;
    std::string group;        // the frame the viewer shows it in
    std::string label;        // for a reader: "Flake Strength", not normalDeviation
    std::string description;  // one line
};

// "float", "integer", "boolean", "color", "float2", "float3" or "matrix".
const char* kindName(const ShadingInput& input);

const ShadingInput* findInput(const std::vector<ShadingInput>& inputs, const std::string& name);

// Whether setting one also sets (part of) the other: the same input, or a
// compound and one of its own components.
bool overlaps(const ShadingInput& a, const ShadingInput& b);

// A slider's range for a numeric input whose host declares none: 0 to 1 for
// a colour; otherwise from the hard minimum (or 0, or the lowest default
// below 0) to a round number (1, 2 or 5 times a power of ten) at least
// twice as far from there as the largest default, and at least 1 wide.
// Booleans and matrices are left without one.
void deriveSoftRange(ShadingInput& input);

// "normalDeviation" as "Normal Deviation", for an input its host gives no
// label.
std::string readableName(const std::string& name);

// The shortest decimal that reads back as the same single-precision value
// (0.209f is 0.209, not 0.20900000631809235); a whole float is itself.
double shortestFloat(double value);

}  // namespace flakecoat::preview

#endif
