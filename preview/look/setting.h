#ifndef FLAKECOAT_PREVIEW_LOOK_SETTING_H
#define FLAKECOAT_PREVIEW_LOOK_SETTING_H

// One shading input set to a value, written NAME=VALUE by the host's own
// input name: VALUE is one number, or several separated by commas
// ("1,0.5,0.2"); a boolean input also takes true/false/on/off.

#include <string>

namespace flakecoat::preview {

struct Setting {
    static constexpr int kMaxValues = 16;  // a 4 x 4 matrix
    std::string name;
    int count = 0;
    double values[kMaxValues] = {};
};

// Splits and parses "NAME=V[,V...]". Fails for a missing '=', an empty name,
// a value that is not a finite number (or boolean word) and too many values.
bool parseSetting(const std::string& text, Setting& parsed, std::string& error);

// NAME=V1,V2,... with nine significant digits, enough for any float, and
// whole numbers in full.
std::string settingText(const Setting& value);
// One value so: the digits of every text a look writes.
std::string valueText(double value);

bool sameValues(const Setting& a, const Setting& b);

}  // namespace flakecoat::preview

#endif
