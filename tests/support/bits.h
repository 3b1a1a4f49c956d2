#ifndef FLAKECOAT_TESTS_SUPPORT_BITS_H
#define FLAKECOAT_TESTS_SUPPORT_BITS_H

#include <cstdint>
#include <cstring>

// A float's bits, for comparisons that must tell -0 from 0 and one NaN from
// another.
inline std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

#endif
