// flakecoat shade --host mentalray: each sample shaded by tarn_flakeCoat.so,
// loaded with the renderer stand-in module and its declaration
// tarn_flakeCoat.mi exactly as the renderer loads them.

#include <mentalrayHost/compiledDeclaration.h>
#include <mentalrayHost/shaderDeclaration.h>
#include <mentalrayHost/shaderLibrary.h>
#include <mentalrayHost/shadingSample.h>

#include "inputEcho.h"
#include "mentalrayShadeInput.h"
#include "modulePaths.h"
#include "shade.h"

namespace {

class MentalrayShader : public SampleShader {
public:
    MentalrayShader(std::unique_ptr<mentalrayHost::ShaderLibrary> library,
                    mentalrayHost::ShaderDeclaration declaration)
        : library_(std::move(library)), declaration_(std::move(declaration)) {}

    bool shade(const nlohmann::json& line, float* components, int& count, std::string& error) override {
        ShadeInputError inputError;
        const auto sample = readMentalrayShadeCase(line, declaration_, inputError);
        if (!sample) {
            error = inputError.key.empty() ? inputError.message
                                           : "key \"" + flakecoat::echoInput(inputError.key) + "\": " + inputError.message;
            return false;
        }
        mentalrayHost::ShadingSample shading(sample->hit, sample->block.function(), &sample->services);
        miColor result = sample->result;
        library_->shade(&result, &shading.state(), sample->block.data());
        components[0] = result.r;
        components[1] = result.g;
        components[2] = result.b;
        components[3] = result.a;
        count = 4;
        return true;
    }

private:
    std::unique_ptr<mentalrayHost::ShaderLibrary> library_;
    mentalrayHost::ShaderDeclaration declaration_;
};

}  // namespace

std::unique_ptr<SampleShader> openMentalrayShader(const std::string& libraryPath, std::string& error) {
    auto library =
        mentalrayHost::ShaderLibrary::open(libraryPath, defaultModulePath(kRendererModuleFile), error);
    if (!library) return nullptr;
    // The renderer reads the shader's parameters from its declaration.
    mentalrayHost::ShaderDeclaration declaration;
    const std::string declarationPath = defaultModulePath(kShaderDeclarationFile);
    if (!mentalrayHost::readShaderDeclaration(declarationPath, declaration, error) ||
        !mentalrayHost::matchesCompiledDeclaration(declaration, declarationPath, error) ||
        !declaresLightArray(declaration, error))
        return nullptr;
    return std::make_unique<MentalrayShader>(std::move(library), std::move(declaration));
}
