// flakecoat shade --host mentalray: evaluates one sample per JSON line through
// tarn_flakeCoat.so, loaded with the renderer stand-in module exactly as the
// renderer loads it, and prints the result colour (r g b a) per line.

#include <cstdio>
#include <iostream>
#include <string>

#include <nlohmann/json.hpp>

#include <mentalrayHost/shaderLibrary.h>
#include <mentalrayHost/shadingSample.h>

#include "mentalrayShadeInput.h"
#include "modulePaths.h"
#include "shade.h"

namespace {

void reportLineError(const std::string& sourceName, long lineNumber, const std::string& key,
                     const std::string& message) {
    std::cerr << "flakecoat shade: " << sourceName << ":" << lineNumber << ": ";
    if (!key.empty()) std::cerr << "key \"" << key << "\": ";
    std::cerr << message << "\n";
}

bool isBlank(const std::string& line) { return line.find_first_not_of(" \t\r") == std::string::npos; }

}  // namespace

int shadeMentalray(std::istream& input, const std::string& sourceName) {
    std::string loadError;
    const auto library = mentalrayHost::ShaderLibrary::open(defaultModulePath(kShaderLibraryFile),
                                                            defaultModulePath(kRendererModuleFile), loadError);
    if (!library) {
        std::cerr << "flakecoat shade: " << loadError << "\n";
        return 2;
    }

    int status = 0;
    long lineNumber = 0;
    std::string text;
    while (std::getline(input, text)) {
        ++lineNumber;
        if (isBlank(text)) continue;

        // Read the sample; a bad line prints "error" so output stays in step
        const nlohmann::json line = nlohmann::json::parse(text, nullptr, false);
        if (line.is_discarded()) {
            reportLineError(sourceName, lineNumber, "", "malformed JSON");
            std::printf("error\n");
            status = 1;
            continue;
        }
        ShadeInputError error;
        const auto sample = readMentalrayShadeCase(line, error);
        if (!sample) {
            reportLineError(sourceName, lineNumber, error.key, error.message);
            std::printf("error\n");
            status = 1;
            continue;
        }

        // Shade it as the renderer would
        mentalrayHost::ShadingSample shading(sample->hit, sample->block.function(), &sample->services);
        miColor result = sample->result;
        library->shade(&result, &shading.state(), &sample->block.parameters());
        std::printf("%.9g %.9g %.9g %.9g\n", double(result.r), double(result.g), double(result.b), double(result.a));
    }
    std::fflush(stdout);
    return status;
}
