#ifndef MENTALRAY_HOST_COMPILED_DECLARATION_H
#define MENTALRAY_HOST_COMPILED_DECLARATION_H

// The declaration the shader library was compiled for. The library reads its
// parameter block by the layout it was built with and has no way to say what
// that layout is (it exports the shader, its version function and
// miSetModuleHandle, nothing more). So the renderer carries the declaration
// shipped with the library, tarn_flakeCoat.mi, built into it from the same
// file the library's parameter record mirrors, and compares a scene's
// declaration with it before any block is laid out from that declaration: a
// field moved, retyped, missing or added would have the shader read a block
// other than the one filled.

#include <string>
#include <string_view>

#include <mentalrayHost/shaderDeclaration.h>

namespace mentalrayHost {

// The shipped file's text, as the build embedded it.
std::string_view shippedDeclarationText();

// The shipped declaration, read once (safe under concurrent first use).
const ShaderDeclaration& shippedDeclaration();

// Whether `declared` (read from fileName) is one the library was compiled
// for: the same shader name and result type, the same parameters (names,
// types, arrays) in the same order, and the same version. Defaults, comments,
// spacing and the interface hints may differ. Otherwise false, with
// "fileName:line: ..." naming the first difference.
bool matchesCompiledDeclaration(const ShaderDeclaration& declared, const std::string& fileName, std::string& error);

}  // namespace mentalrayHost

#endif
