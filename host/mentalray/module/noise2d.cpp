// mi_noise_2d: the renderer module's smooth 2-D noise.
//
// Value noise on the integer lattice: every lattice point (i, j) carries a
// value in [0, 1) taken from a 64-bit hash of (i, j), and a point between
// lattice points blends the four values of its cell with the quintic fade
// 6t^5 - 15t^4 + 10t^3 in each axis. The blend is a convex combination, so
// the result stays in [0, 1]; the fade's first and second derivatives vanish
// at the cell edges, so the noise is continuous and smooth across them.
//
// Shaders sample it at large coordinates (offsets near 2e4 and 2e6 where a
// float resolves 1/512 and 1/8), so the lattice index is taken as a 64-bit
// integer and the fraction from the float exactly (in double): neither loses
// precision there. Coordinates beyond +-2^62 are clamped (every float that
// large is an integer already); a coordinate that is not a number or infinite
// gives 0.5, the noise's mid value.
//
// A pure function of its arguments: deterministic, allocation-free and safe
// on any number of threads.

#include <cmath>
#include <cstdint>

#include <shader.h>

namespace {

// splitmix64's finaliser: a bijective mix in which every input bit reaches
// every output bit.
std::uint64_t mix64(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

// The lattice value at (i, j): the top 24 bits of the hash over 2^24, so
// every value is exact in single precision.
double latticeValue(std::int64_t i, std::int64_t j) {
    const std::uint64_t h = mix64(mix64(std::uint64_t(i) + 0x9e3779b97f4a7c15ull) ^ std::uint64_t(j));
    return double(h >> 40) * (1.0 / 16777216.0);
}

double fade(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }

constexpr double kLargestIndex = 4611686018427387904.0;  // 2^62

}  // namespace

extern "C" miScalar mi_noise_2d(miScalar u, miScalar v) {
    if (!std::isfinite(u) || !std::isfinite(v)) return 0.5f;
    const double x = std::fmin(std::fmax(double(u), -kLargestIndex), kLargestIndex);
    const double y = std::fmin(std::fmax(double(v), -kLargestIndex), kLargestIndex);
    const double xFloor = std::floor(x);
    const double yFloor = std::floor(y);
    const std::int64_t i = std::int64_t(xFloor);
    const std::int64_t j = std::int64_t(yFloor);
    const double sx = fade(x - xFloor);
    const double sy = fade(y - yFloor);

    const double bottom = latticeValue(i, j) + (latticeValue(i + 1, j) - latticeValue(i, j)) * sx;
    const double top = latticeValue(i, j + 1) + (latticeValue(i + 1, j + 1) - latticeValue(i, j + 1)) * sx;
    return float(bottom + (top - bottom) * sy);
}
