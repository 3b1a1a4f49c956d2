#ifndef FLAKECOAT_PREVIEW_SETTINGS_PARAMETER_OVERRIDES_H
#define FLAKECOAT_PREVIEW_SETTINGS_PARAMETER_OVERRIDES_H

// Shading inputs set on the command line as NAME=VALUE, by the host's own
// parameter names, and checked against what the host declares before any
// rendering starts.
//
// VALUE is one number, or several separated by commas ("1,0.5,0.2"); a
// boolean input also takes true/false/on/off.

#include <string>
#include <vector>

namespace flakecoat::preview {

enum class ValueKind { Float, Integer, Boolean };

// One settable input as its host declares it. Hard limits, when present,
// bound each component (the host rejects values beyond them; components past
// the third use the third's limit); soft slider ranges are not limits and
// are not checked.
struct SettableInput {
    std::string name;
    int arity = 1;
    ValueKind kind = ValueKind::Float;
    bool hasHardMin = false;
    double hardMin[3] = {0.0, 0.0, 0.0};
    bool hasHardMax = false;
    double hardMax[3] = {0.0, 0.0, 0.0};
};

struct ParameterOverride {
    static constexpr int kMaxValues = 16;  // a 4 x 4 matrix
    std::string name;
    int count = 0;
    double values[kMaxValues] = {};
};

// Splits and parses "NAME=V[,V...]". Fails for a missing '=', an empty name,
// a value that is not a finite number (or boolean word) and too many values.
bool parseOverride(const std::string& text, ParameterOverride& parsed, std::string& error);

// Checks a parsed override against the host's inputs: a known name, the
// declared number of values, whole numbers for integer and boolean inputs,
// and no component below a hard minimum. hostName goes into the messages.
bool checkOverride(const std::vector<SettableInput>& inputs, const ParameterOverride& parsed,
                   const std::string& hostName, std::string& error);

// Parses and checks every text in order; stops at the first failure.
bool parseAndCheckOverrides(const std::vector<SettableInput>& inputs, const std::vector<std::string>& texts,
                            const std::string& hostName, std::vector<ParameterOverride>& parsed,
                            std::string& error);

}  // namespace flakecoat::preview

#endif
