// Sample lines as `flakecoat shade` reads them, through the tool's own line
// loop, evaluated by one host's deliverable (SHADE_FUZZ_HOST: maya, the
// flakeCoat plug-in through the host stand-in; mentalray, tarn_flakeCoat.so
// with the renderer stand-in module). The results go nowhere.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "modulePaths.h"
#include "shade.h"

namespace {
SampleShader* shader = nullptr;  // loaded once, kept until the process ends
std::FILE* nowhere = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string error;
    const bool maya = std::strcmp(SHADE_FUZZ_HOST, "maya") == 0;
    shader = (maya ? openMayaShader(defaultModulePath(kPluginFile), error)
                   : openMentalrayShader(defaultModulePath(kShaderLibraryFile), error))
                 .release();
    nowhere = std::fopen("/dev/null", "w");
    if (!shader || !nowhere) {
        std::fprintf(stderr, "shade fuzz target (%s): %s\n", SHADE_FUZZ_HOST, error.c_str());
        std::exit(2);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;  // fmemopen refuses an empty buffer; an empty file has no lines
    std::FILE* input = fmemopen(const_cast<std::uint8_t*>(data), size, "r");
    if (!input) std::abort();
    shadeLines(input, "fuzz", *shader, nowhere, nowhere);
    std::fclose(input);
    return 0;
}
