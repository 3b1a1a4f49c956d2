// mental ray sample lines, read into a parameter block and scripted renderer
// answers and shaded by tarn_flakeCoat.so, as `flakecoat shade --host
// mentalray` runs them.

#include <cstdio>
#include <cstdlib>

#include "modulePaths.h"
#include "shadeLinesFuzz.h"

namespace {
SampleShader* shader = nullptr;  // loaded once, kept until the process ends
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string error;
    shader = openMentalrayShader(defaultModulePath("tarn_flakeCoat.so"), error).release();
    if (!shader) {
        std::fprintf(stderr, "fuzz_mentalray_sample: %s\n", error.c_str());
        std::exit(2);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    shadeFuzzInput(*shader, data, size);
    return 0;
}
