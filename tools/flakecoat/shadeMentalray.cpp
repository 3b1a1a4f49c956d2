// flakecoat shade --host mentalray: evaluates one sample per JSON line through
// tarn_flakeCoat.so, loaded with the renderer stand-in module and its
// declaration tarn_flakeCoat.mi exactly as the renderer loads them, and
// prints the result colour (r g b a) per line.

#include <cstdio>
#include <iostream>
#include <string>

#include <nlohmann/json.hpp>

#include <mentalrayHost/shaderDeclaration.h>
#include <mentalrayHost/shaderLibrary.h>
#include <mentalrayHost/shadingSample.h>

#include "mentalrayShadeInput.h"
#include "modulePaths.h"
#include "shade.h"

int shadeMentalray(std::istream& input, const std::string& sourceName) {
    std::string loadError;
    const auto library = mentalrayHost::ShaderLibrary::open(defaultModulePath(kShaderLibraryFile),
                                                            defaultModulePath(kRendererModuleFile), loadError);
    if (!library) {
        std::cerr << "flakecoat shade: " << loadError << "\n";
        return 2;
    }
    // The renderer reads the shader's parameters from its declaration.
    mentalrayHost::ShaderDeclaration declaration;
    if (!mentalrayHost::readShaderDeclaration(defaultModulePath(kShaderDeclarationFile), declaration, loadError) ||
        !declaresLightArray(declaration, loadError)) {
        std::cerr << "flakecoat shade: " << loadError << "\n";
        return 2;
    }

    return shadeEachLine(input, sourceName, [&](const nlohmann::json& line, std::string& message) {
        ShadeInputError error;
        const auto sample = readMentalrayShadeCase(line, declaration, error);
        if (!sample) {
            message = (error.key.empty() ? "" : "key \"" + error.key + "\": ") + error.message;
            return false;
        }
        // Shade it as the renderer would
        mentalrayHost::ShadingSample shading(sample->hit, sample->block.function(), &sample->services);
        miColor result = sample->result;
        library->shade(&result, &shading.state(), sample->block.data());
        std::printf("%.9g %.9g %.9g %.9g\n", double(result.r), double(result.g), double(result.b), double(result.a));
        return true;
    });
}
