// mi_noise_2d: the renderer module's smooth 2-D noise.
//
// Gradient (Perlin) noise on the integer lattice. Every lattice point (i, j)
// carries a unit gradient, one of 16 directions at (k + 1/2) * 22.5 degrees,
// chosen by a 64-bit hash of (i, j); none lies along an axis or a diagonal,
// so no row or column of the lattice stands out. A point (x, y) in the cell
// with corner (i, j) takes each corner's gradient dotted with the offset from
// that corner, and blends the four with the quintic fade 6t^5 - 15t^4 + 10t^3
// in each axis, whose first and second derivatives vanish at the cell edges:
// the noise is continuous and smooth across them, and 0 at every lattice
// point. The blend of unit gradients stays within +-sqrt(1/2); it is mapped
// onto [0, 1] as 0.5 + n * sqrt(1/2), so the values lie around 0.5 and the
// lattice points give exactly 0.5.
//
// Shaders sample it at large coordinates (offsets near 2e4 and 2e6 where a
// float resolves 1/512 and 1/8), so the lattice cell is taken as a 64-bit
// integer and the offsets from the float exactly (in double): neither loses
// precision there. Coordinates beyond +-2^62 are clamped (every float that
// large is a whole number, so its offsets are 0 and the noise 0.5); a
// coordinate that is not a number or infinite gives 0.5 too.
//
// A pure function of its arguments, in double precision without fused
// operations: deterministic across platforms, allocation-free and safe on
// any number of threads.

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

// cos and sin of 11.25 and 33.75 degrees
constexpr double kA = 0.98078528040323043, kB = 0.19509032201612825;
constexpr double kC = 0.83146961230254524, kD = 0.55557023301960218;
constexpr double kGradients[16][2] = {
    {kA, kB},   {kC, kD},   {kD, kC},   {kB, kA},   {-kB, kA}, {-kD, kC}, {-kC, kD}, {-kA, kB},
    {-kA, -kB}, {-kC, -kD}, {-kD, -kC}, {-kB, -kA}, {kB, -kA}, {kD, -kC}, {kC, -kD}, {kA, -kB},
};

// The gradient at lattice point (i, j) dotted with the offset (dx, dy) from it.
double corner(std::int64_t i, std::int64_t j, double dx, double dy) {
    const std::uint64_t h = mix64(mix64(std::uint64_t(i) + 0x9e3779b97f4a7c15ull) ^ std::uint64_t(j));
    const double* g = kGradients[h >> 60];
    return g[0] * dx + g[1] * dy;
}

double fade(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }

constexpr double kLargestIndex = 4611686018427387904.0;  // 2^62
constexpr double kHalfSqrt2 = 0.70710678118654752;       // sqrt(1/2)

}  // namespace

extern "C" miScalar mi_noise_2d(miScalar u, miScalar v) {
    if (!std::isfinite(u) || !std::isfinite(v)) return 0.5f;
    const double x = std::fmin(std::fmax(double(u), -kLargestIndex), kLargestIndex);
    const double y = std::fmin(std::fmax(double(v), -kLargestIndex), kLargestIndex);
    const double xFloor = std::floor(x);
    const double yFloor = std::floor(y);
    const std::int64_t i = std::int64_t(xFloor);
    const std::int64_t j = std::int64_t(yFloor);
    const double fx = x - xFloor;
    const double fy = y - yFloor;
    const double sx = fade(fx);
    const double sy = fade(fy);

    const double n00 = corner(i, j, fx, fy);
    const double n10 = corner(i + 1, j, fx - 1.0, fy);
    const double n01 = corner(i, j + 1, fx, fy - 1.0);
    const double n11 = corner(i + 1, j + 1, fx - 1.0, fy - 1.0);
    const double bottom = n00 + (n10 - n00) * sx;
    const double top = n01 + (n11 - n01) * sx;
    const double n = bottom + (top - bottom) * sy;
    // Within [0, 1] already; the clamp only guards the last rounding.
    return float(std::fmin(std::fmax(0.5 + n * kHalfSqrt2, 0.0), 1.0));
}
