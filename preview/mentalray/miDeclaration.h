#ifndef FLAKECOAT_PREVIEW_MENTALRAY_MI_DECLARATION_H
#define FLAKECOAT_PREVIEW_MENTALRAY_MI_DECLARATION_H

// The shader's declaration in the scene description language (a .mi file):
// its parameters, laid out in a parameter block by the renderer's rules, so
// that --set can name them and write them where the shader reads them.

#include <string>
#include <vector>

#include "settings/parameterOverrides.h"

namespace flakecoat::preview::mentalray {

enum class MiType { Color, Vector, Scalar, Integer, Boolean, Array };

struct MiParameter {
    MiType type = MiType::Scalar;
    std::string name;
    int offset = 0;  // bytes from the start of the block
    std::vector<double> defaults;  // as declared after "default"; on/off as 1/0
};

struct MiDeclaration {
    std::string shaderName;
    int version = 0;
    std::vector<MiParameter> parameters;  // in block order
    // Where an array's first-index and count integers start (the first
    // array's), or -1 without one.
    int firstArrayOffset = -1;
};

// Reads the first "declare shader" of the file. Colours take 16 bytes,
// vectors 12, scalars, integers and booleans 4; an array is its first-index
// and count integers followed by its slots. Fails with the file and line
// for anything it cannot read.
bool readMiDeclaration(const std::string& path, MiDeclaration& declaration, std::string& error);

// The parameters --set may name: all but arrays. A colour takes 3 values
// (its alpha is not used), a vector 3, the others 1. No hard limits: the
// declaration gives none.
std::vector<SettableInput> settableParameters(const MiDeclaration& declaration);

// Writes a checked override into a parameter block laid out as declared.
void writeOverride(const MiDeclaration& declaration, const ParameterOverride& value, void* block);

}  // namespace flakecoat::preview::mentalray

#endif
