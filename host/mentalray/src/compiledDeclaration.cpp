#include <mentalrayHost/compiledDeclaration.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "inputEcho.h"

namespace mentalrayHost {

namespace {

const char* typeWord(ParameterType type) {
    switch (type) {
        case ParameterType::Boolean: return "boolean";
        case ParameterType::Integer: return "integer";
        case ParameterType::Scalar: return "scalar";
        case ParameterType::Vector: return "vector";
        case ParameterType::Color: return "color";
        case ParameterType::Transform: return "transform";
        case ParameterType::Light: return "light";
        case ParameterType::Shader: return "shader";
        case ParameterType::Texture: return "texture";
    }
    return "?";
}

// As the declaration spells it: [array] TYPE "name"
std::string described(const DeclaredParameter& parameter) {
    return std::string(parameter.isArray ? "array " : "") + typeWord(parameter.type) + " \"" +
           flakecoat::echoInput(parameter.name) + "\"";
}

bool sameField(const DeclaredParameter& a, const DeclaredParameter& b) {
    return a.name == b.name && a.type == b.type && a.isArray == b.isArray;
}

}  // namespace

const ShaderDeclaration& shippedDeclaration() {
    static const ShaderDeclaration kShipped = [] {
        std::istringstream text{std::string(shippedDeclarationText())};
        ShaderDeclaration declaration;
        std::string error;
        // The build embeds the file the library is compiled beside; it not
        // reading is a broken build, not bad input.
        if (!parseShaderDeclaration(text, "built-in tarn_flakeCoat.mi", declaration, error)) {
            std::cerr << error << '\n';
            std::abort();
        }
        return declaration;
    }();
    return kShipped;
}

bool matchesCompiledDeclaration(const ShaderDeclaration& declared, const std::string& fileName, std::string& error) {
    const ShaderDeclaration& compiled = shippedDeclaration();
    auto refuse = [&](int line, const std::string& message) {
        error = fileName + ":" + std::to_string(line) + ": " + message;
        return false;
    };
    if (declared.name != compiled.name || declared.resultType != compiled.resultType)
        return refuse(declared.line, "declares " + declared.resultType + " \"" + flakecoat::echoInput(declared.name) +
                                         "\"; the shader library has " + compiled.resultType + " \"" +
                                         compiled.name + "\"");
    const std::string ownOrder = " (the library reads its parameters in the order of the shipped " +
                                 compiled.name + ".mi)";
    const std::size_t count = std::min(declared.parameters.size(), compiled.parameters.size());
    for (std::size_t i = 0; i < count; ++i) {
        const DeclaredParameter& given = declared.parameters[i];
        const DeclaredParameter& expected = compiled.parameters[i];
        if (!sameField(given, expected))
            return refuse(given.line, "parameter " + std::to_string(i + 1) + " is " + described(given) +
                                          " where the library was compiled for " + described(expected) + ownOrder);
    }
    if (declared.parameters.size() > count) {
        const DeclaredParameter& extra = declared.parameters[count];
        return refuse(extra.line, "parameter " + std::to_string(count + 1) + ", " + described(extra) +
                                      ", is not one the library was compiled with: it has " +
                                      std::to_string(compiled.parameters.size()) + ownOrder);
    }
    if (compiled.parameters.size() > count)
        return refuse(declared.closeLine, "the parameters end after " + std::to_string(count) +
                                              "; the library was compiled for " +
                                              std::to_string(compiled.parameters.size()) + ", next " +
                                              described(compiled.parameters[count]) + ownOrder);
    if (declared.version != compiled.version) {
        const std::string library = "the library is version " + std::to_string(compiled.version);
        if (declared.versionLine == 0) return refuse(declared.endLine, "no version is declared; " + library);
        return refuse(declared.versionLine, "declares version " + std::to_string(declared.version) + "; " + library);
    }
    return true;
}

}  // namespace mentalrayHost
