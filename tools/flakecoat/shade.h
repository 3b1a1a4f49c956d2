#ifndef FLAKECOAT_TOOLS_SHADE_H
#define FLAKECOAT_TOOLS_SHADE_H

#include <cstdio>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

// One host's deliverable, loaded as its host loads it, evaluating one
// sample (a parsed JSON line) at a time.
class SampleShader {
public:
    virtual ~SampleShader() = default;
    // The components of the resulting colour (3 for Maya's outColor, 4 for
    // a mental ray result record), or false with error naming the key at
    // fault ("key \"diffuse\": expected a number").
    virtual bool shade(const nlohmann::json& sample, float* components, int& count, std::string& error) = 0;
};

// Null with error set when a library cannot be loaded.
std::unique_ptr<SampleShader> openMayaShader(const std::string& libraryPath, std::string& error);
std::unique_ptr<SampleShader> openMentalrayShader(const std::string& libraryPath, std::string& error);

// Evaluates one sample per line of input (JSON Lines; blank lines skipped)
// and prints one line per sample on out: the components with %.9g, or
// "error" for a line that cannot be evaluated, which is reported on err as
// "flakecoat shade: SOURCE:LINE: message". Lines longer than
// kMaxShadeLineBytes are refused unread. Returns the exit status: 0 when
// every line was evaluated and written, 1 otherwise (a read or write
// failure stops at once).
int shadeLines(std::FILE* input, const std::string& sourceName, SampleShader& shader, std::FILE* out,
               std::FILE* err);

#endif
