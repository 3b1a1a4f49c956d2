#ifndef FLAKECOAT_PREVIEW_LOOK_LOOK_H
#define FLAKECOAT_PREVIEW_LOOK_LOOK_H

// One host's values for its shading inputs: the settings made, each checked
// against what the host declares when it is made, in the order made (a
// later setting of a name replaces the earlier one). Every input not set
// keeps the host's default. A host shades a look by writing its settings,
// in order, over the defaults.

#include <string>
#include <vector>

#include "look/setting.h"
#include "look/shadingInput.h"

namespace flakecoat::preview {

class Look {
public:
    // A look of no host: it sets nothing, so a shader made for it shades
    // with the host's defaults.
    Look() = default;
    // inputs must outlive the look (they are the host's).
    Look(const std::vector<ShadingInput>& inputs, std::string hostName);

    const std::string& host() const { return host_; }
    const std::vector<ShadingInput>& inputs() const;
    bool declares(const std::string& name) const { return findInput(inputs(), name) != nullptr; }

    // A known name, the declared number of values, whole numbers for
    // integer and boolean inputs, each type's range and the hard limits.
    // What is wrong ("takes 3 values, got 2"; the host is named where the
    // name is unknown), or empty.
    std::string problem(const Setting& value) const;
    // The same as a message starting "--set NAME: ".
    bool check(const Setting& value, std::string& error) const;
    // Checks, then records: NAME=VALUE text or a parsed setting (a float
    // input's values as the shortest decimals of the floats the host gets).
    bool set(const std::string& text, std::string& error);
    bool set(const Setting& value, std::string& error);
    void reset() { settings_.clear(); }

    const std::vector<Setting>& settings() const { return settings_; }
    // The value in effect: the default, then every setting that reaches it
    // (a compound's own, or one of its components'); empty for an unknown name.
    std::vector<double> effective(const std::string& name) const;
    // The NAME=VALUE texts that make this look from the defaults.
    std::vector<std::string> arguments() const;
    // This look with more settings, already checked (a sweep's cell).
    Look with(const std::vector<Setting>& more) const;

    // Takes `from`'s values through the inputs both hosts declare: each
    // input of this host (not a component) that `from` declares by the same
    // name and number of values, or whose components it declares each by
    // name (Maya's depthRange from mental ray's depthRangeMin and Max). The
    // rest, and values this host would refuse, keep their own.
    void carryFrom(const Look& from);

private:
    const std::vector<ShadingInput>* inputs_ = nullptr;
    std::string host_;
    std::vector<Setting> settings_;
};

// Sets each NAME=VALUE text on every look whose host declares the name,
// checked there in full. With one look an unknown name is an error; with
// several, a name none declares is, and one declared by only some applies
// to those, with a note ("--set NAME does not apply to HOST") for the rest.
bool setOnEveryHost(const std::vector<std::string>& texts, std::vector<Look>& looks, std::vector<std::string>& notes,
                    std::string& error);

}  // namespace flakecoat::preview

#endif
