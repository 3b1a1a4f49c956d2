#ifndef FLAKECOAT_PREVIEW_KERNEL_RANDOM_H
#define FLAKECOAT_PREVIEW_KERNEL_RANDOM_H

// Random numbers for one pixel sample. Every number is a hash of the render
// seed, the pixel, the sample index and how many numbers the sample has drawn
// before, so the image does not depend on which thread renders which pixel
// or in what order.

#include <cstdint>

namespace flakecoat::preview {

// A 64-bit finaliser with full avalanche (every input bit flips about half
// of the output bits); the constants are the usual splitmix64 ones.
constexpr std::uint64_t mixBits(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

class SampleRandom {
public:
    // A placeholder, to be assigned a sample's generator.
    SampleRandom() = default;
    SampleRandom(std::uint64_t seed, std::uint32_t pixelIndex, std::uint32_t sampleIndex)
        : key_(mixBits(mixBits(mixBits(seed) ^ pixelIndex) ^ (std::uint64_t(sampleIndex) << 32))) {}

    // Uniform in [0, 1): the top 24 bits, so every value is exact in float
    // and 1 is never returned.
    float next() {
        const std::uint64_t bits = mixBits(key_ + 0x9e3779b97f4a7c15ULL * ++drawn_);
        return float(bits >> 40) * (1.0f / 16777216.0f);
    }
    std::uint32_t drawn() const { return drawn_; }

private:
    std::uint64_t key_ = 0;
    std::uint32_t drawn_ = 0;
};

}  // namespace flakecoat::preview

#endif
