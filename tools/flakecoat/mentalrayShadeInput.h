#ifndef FLAKECOAT_TOOLS_MENTALRAY_SHADE_INPUT_H
#define FLAKECOAT_TOOLS_MENTALRAY_SHADE_INPUT_H

#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include <mentalrayHost/parameterBlock.h>
#include <mentalrayHost/scriptedServices.h>
#include <mentalrayHost/shadingSample.h>

// One line of `flakecoat shade --host mentalray` input: the parameter block,
// the renderer's scripted answers, the surface hit and the result record on
// entry. It holds addresses into itself, so it stays where it was made.
struct MentalrayShadeCase {
    MentalrayShadeCase(const mentalrayHost::ShaderDeclaration& declaration, int lightSlots)
        : block(declaration, lightSlots), connectedValues(declaration) {}
    MentalrayShadeCase(const MentalrayShadeCase&) = delete;
    MentalrayShadeCase& operator=(const MentalrayShadeCase&) = delete;

    mentalrayHost::ParameterBlock block;
    mentalrayHost::ParameterBlock connectedValues;  // what mi_phen_eval answers for connected parameters
    mentalrayHost::ScriptedServices services;
    mentalrayHost::SurfaceHit hit;
    miColor result{0.0f, 0.0f, 0.0f, 0.0f};
};

// A failed line: the key at fault and what is wrong with it.
struct ShadeInputError {
    std::string key;
    std::string message;
};

// Reads one parsed JSON line into a block laid out by `declaration`, whose
// parameters are the keys a line may set; null with `error` set when the
// line is not a valid sample.
std::unique_ptr<MentalrayShadeCase> readMentalrayShadeCase(const nlohmann::json& line,
                                                           const mentalrayHost::ShaderDeclaration& declaration,
                                                           ShadeInputError& error);

// Whether a declaration has what the input format needs: the light array
// "light". Sets `error` when not.
bool declaresLightArray(const mentalrayHost::ShaderDeclaration& declaration, std::string& error);

#endif
