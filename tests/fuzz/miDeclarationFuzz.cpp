// .mi declarations: any text read as the renderer stand-in reads a shader's
// declaration, then a parameter block laid out from it with its defaults,
// a few array elements, every settable parameter set as --set sets it and
// connected, so a layout that misplaces a field writes out of bounds. The
// same text's gui block is read and its hints applied, and the declaration
// is compared with the one the library was compiled for.

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include <mentalrayHost/compiledDeclaration.h>
#include <mentalrayHost/parameterBlock.h>
#include <mentalrayHost/shaderDeclaration.h>
#include <mentalrayHost/shaderGui.h>

#include "mentalray/declaredInputs.h"

namespace fp = flakecoat::preview;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream text(std::string(reinterpret_cast<const char*>(data), size));
    mentalrayHost::ShaderDeclaration declaration;
    std::string error;
    if (!mentalrayHost::parseShaderDeclaration(text, "fuzz.mi", declaration, error)) {
        // However long a word, a message quotes a short prefix of it
        if (error.size() > 512) std::abort();
        return 0;
    }

    // A refusal names a line of the text and quotes names briefly
    if (!mentalrayHost::matchesCompiledDeclaration(declaration, "fuzz.mi", error) &&
        (error.rfind("fuzz.mi:", 0) != 0 || std::atoi(error.c_str() + 8) < 1 || error.size() > 1024))
        std::abort();

    mentalrayHost::ParameterBlock block(declaration, 3);
    if (miTag* elements = block.arrayElements())
        for (int i = 0; i < 3; ++i) elements[i] = miTag(i + 1);
    std::vector<fp::ShadingInput> inputs = fp::mentalray::declaredInputs(declaration);
    std::istringstream again(text.str());
    mentalrayHost::ShaderGui gui;
    bool found = false;
    if (mentalrayHost::parseShaderGui(again, "fuzz.mi", "gui_" + declaration.name, gui, found, error) && found)
        fp::mentalray::applyGuiHints(gui, declaration, "fuzz.mi", inputs, error);
    for (const fp::ShadingInput& input : inputs) {
        fp::Setting value;
        value.name = input.name;
        value.count = input.arity <= fp::Setting::kMaxValues ? input.arity : 1;
        for (int i = 0; i < value.count; ++i) value.values[i] = 1.0;
        fp::mentalray::writeSetting(declaration, value, block);
    }
    for (const mentalrayHost::DeclaredParameter& parameter : declaration.parameters)
        if (!parameter.isArray) block.setConnected(&block.at<unsigned char>(parameter.offset));
    return 0;
}
