#ifndef FLAKECOAT_TESTS_FUZZ_SHADE_LINES_FUZZ_H
#define FLAKECOAT_TESTS_FUZZ_SHADE_LINES_FUZZ_H

// The body of both shade targets: the input is a file of sample lines,
// read and evaluated by the tool's own loop; the results go nowhere.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "shade.h"

inline void shadeFuzzInput(SampleShader& shader, const std::uint8_t* data, std::size_t size) {
    static std::FILE* const nowhere = std::fopen("/dev/null", "w");
    // fmemopen refuses an empty buffer; an empty file has no lines anyway.
    if (size == 0) return;
    std::FILE* input = fmemopen(const_cast<std::uint8_t*>(data), size, "r");
    if (!input) std::abort();
    shadeLines(input, "fuzz", shader, nowhere, nowhere);
    std::fclose(input);
    clearerr(nowhere);
}

#endif
