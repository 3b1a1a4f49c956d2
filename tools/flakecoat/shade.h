#ifndef FLAKECOAT_TOOLS_SHADE_H
#define FLAKECOAT_TOOLS_SHADE_H

#include <functional>
#include <istream>
#include <string>

#include <nlohmann/json.hpp>

// Evaluates one shading sample per JSON line of input through the named
// host's deliverable and prints one result line per input line. sourceName
// names the input in error messages ("-" reads as "<stdin>"). Returns the
// process exit status: 0 when every line was evaluated.
int shadeMaya(std::istream& input, const std::string& sourceName);
int shadeMentalray(std::istream& input, const std::string& sourceName);

// Shades one parsed line and prints its result line; false with `message`
// set when the line cannot be shaded.
using ShadeOneSample = std::function<bool(const nlohmann::json& sample, std::string& message)>;

// The loop both hosts share: blank lines are skipped, every other line is
// parsed and shaded; a failed line prints "error" in its place and
// "flakecoat shade: SOURCE:LINE: message" on standard error. Returns 1 when
// any line failed, else 0.
int shadeEachLine(std::istream& input, const std::string& sourceName, const ShadeOneSample& shadeOne);

#endif
