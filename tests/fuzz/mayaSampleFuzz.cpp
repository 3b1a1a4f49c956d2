// Maya sample lines, parsed and evaluated by the flakeCoat plug-in through
// the host stand-in, as `flakecoat shade --host maya` runs them.

#include <cstdio>
#include <cstdlib>

#include "modulePaths.h"
#include "shadeLinesFuzz.h"

namespace {
SampleShader* shader = nullptr;  // loaded once, kept until the process ends
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string error;
    shader = openMayaShader(defaultModulePath("flakeCoat.so"), error).release();
    if (!shader) {
        std::fprintf(stderr, "fuzz_maya_sample: %s\n", error.c_str());
        std::exit(2);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    shadeFuzzInput(*shader, data, size);
    return 0;
}
