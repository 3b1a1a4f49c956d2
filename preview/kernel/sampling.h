#ifndef FLAKECOAT_PREVIEW_KERNEL_SAMPLING_H
#define FLAKECOAT_PREVIEW_KERNEL_SAMPLING_H

// Sample placement: stratified grids for pixels and area lights, and the
// cosine-weighted hemisphere for irradiance.

#include "kernel/vec3.h"

namespace flakecoat::preview {

// A grid of columns x rows cells holding exactly `count` samples: the
// largest divisor of count not above its square root gives the columns, so
// 4 is 2 x 2, 8 is 2 x 4 and a prime p is 1 x p.
struct StrataGrid {
    int columns = 1;
    int rows = 1;
};
StrataGrid strataFor(int count);

// The point of sample `index` (0 <= index < columns*rows) in the unit
// square: its cell, offset by the jitter (jx, jy) in [0, 1).
void stratifiedPoint(const StrataGrid& grid, int index, float jx, float jy, float& sx, float& sy);

// Unit disk by the concentric mapping (keeps strata adjacent).
void concentricDisk(float u1, float u2, float& dx, float& dy);

// A direction in the hemisphere around the unit normal n with density
// cos(theta)/pi.
Vec3 cosineHemisphere(const Vec3& n, float u1, float u2);

// Two unit tangents completing the unit vector n to a right-handed
// orthonormal basis (t, b, n).
void orthonormalBasis(const Vec3& n, Vec3& t, Vec3& b);

}  // namespace flakecoat::preview

#endif
