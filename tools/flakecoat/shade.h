#ifndef FLAKECOAT_TOOLS_SHADE_H
#define FLAKECOAT_TOOLS_SHADE_H

#include <istream>
#include <string>

// Evaluates one shading sample per JSON line of input through the named
// host's deliverable and prints one result line per input line. sourceName
// names the input in error messages ("-" reads as "<stdin>"). Returns the
// process exit status: 0 when every line was evaluated.
int shadeMaya(std::istream& input, const std::string& sourceName);
int shadeMentalray(std::istream& input, const std::string& sourceName);

#endif
