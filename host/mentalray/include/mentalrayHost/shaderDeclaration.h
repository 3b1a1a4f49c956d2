#ifndef MENTALRAY_HOST_SHADER_DECLARATION_H
#define MENTALRAY_HOST_SHADER_DECLARATION_H

// A shader's declaration in the scene description language (a .mi file), read
// as the renderer reads it when it loads the file: the parameters' types,
// names, order and defaults, and from them the parameter block's layout.
//
// Layout rules: every type is 4-byte aligned; boolean, integer, scalar and
// the tag types (light, shader, texture) take 4 bytes, vector 12, color 16,
// transform 64. An array is an integer first index i_NAME, an integer count
// n_NAME and one slot; fields declared after it follow that slot, and the
// elements a scene gives live where the block's owner puts them (i_NAME
// counts from the slot to them).

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace mentalrayHost {

enum class ParameterType { Boolean, Integer, Scalar, Vector, Color, Transform, Light, Shader, Texture };

struct DeclaredParameter {
    std::string name;
    ParameterType type = ParameterType::Scalar;  // of each element, for an array
    bool isArray = false;
    int offset = 0;        // bytes from the block's start; an array's first slot
    int size = 0;          // bytes of one value
    // The default as the block stores it, one word per 4-byte component
    // given; missing components are zero.
    std::vector<std::uint32_t> defaultWords;
    int line = 0;

    // An array's first-index and count integers.
    int firstIndexOffset() const { return offset - 8; }
    int countOffset() const { return offset - 4; }
};

struct ShaderDeclaration {
    std::string name;
    std::string resultType;
    int version = 0;
    std::vector<DeclaredParameter> parameters;  // in block order
    int blockSize = 0;  // bytes of every field, one slot per array
    // Where the declaration says what: "declare shader", the ')' closing the
    // parameter list, "version" (0 when none is given), "end declare".
    int line = 0;
    int closeLine = 0;
    int versionLine = 0;
    int endLine = 0;

    const DeclaredParameter* find(const std::string& parameterName) const;
    // The array of that name and element type, or null.
    const DeclaredParameter* findArray(const std::string& parameterName, ParameterType elementType) const;
};

// Reads the first "declare shader ... end declare" of `text`. Fails with
// "fileName:line: message" for malformed syntax, an unknown or unsupported
// type, a duplicate name and defaults that do not fit their type.
bool parseShaderDeclaration(std::istream& text, const std::string& fileName, ShaderDeclaration& declaration,
                            std::string& error);

// The same from a file.
bool readShaderDeclaration(const std::string& path, ShaderDeclaration& declaration, std::string& error);

// Writes the declared defaults into a block of at least blockSize bytes,
// zero where none is given (a colour given three values gets alpha 1).
void fillDefaults(const ShaderDeclaration& declaration, void* block);

}  // namespace mentalrayHost

#endif
