#include "kernel/sampling.h"

#include <algorithm>
#include <cmath>

namespace flakecoat::preview {

namespace {
constexpr float kPi = 3.14159265358979f;
}

StrataGrid strataFor(int count) {
    StrataGrid grid;
    if (count < 1) return grid;
    int columns = int(std::sqrt(double(count)));
    while (columns > 1 && count % columns != 0) --columns;
    grid.columns = columns;
    grid.rows = count / columns;
    return grid;
}

void stratifiedPoint(const StrataGrid& grid, int index, float jx, float jy, float& sx, float& sy) {
    const int column = index % grid.columns;
    const int row = index / grid.columns;
    sx = std::min((float(column) + jx) / float(grid.columns), 0x1.fffffep-1f);
    sy = std::min((float(row) + jy) / float(grid.rows), 0x1.fffffep-1f);
}

void concentricDisk(float u1, float u2, float& dx, float& dy) {
    const float a = 2.0f * u1 - 1.0f;
    const float b = 2.0f * u2 - 1.0f;
    if (a == 0.0f && b == 0.0f) {
        dx = dy = 0.0f;
        return;
    }
    float r, phi;
    if (std::fabs(a) > std::fabs(b)) {
        r = a;
        phi = (kPi / 4.0f) * (b / a);
    } else {
        r = b;
        phi = (kPi / 2.0f) - (kPi / 4.0f) * (a / b);
    }
    dx = r * std::cos(phi);
    dy = r * std::sin(phi);
}

void orthonormalBasis(const Vec3& n, Vec3& t, Vec3& b) {
    // Frisvad's construction with the sign fix: no branch on a tiny z.
    const float sign = std::copysign(1.0f, n.z);
    const float a = -1.0f / (sign + n.z);
    const float c = n.x * n.y * a;
    t = Vec3(1.0f + sign * n.x * n.x * a, sign * c, -sign * n.x);
    b = Vec3(c, sign + n.y * n.y * a, -n.y);
}

Vec3 cosineHemisphere(const Vec3& n, float u1, float u2) {
    float dx, dy;
    concentricDisk(u1, u2, dx, dy);
    const float dz = std::sqrt(std::max(0.0f, 1.0f - dx * dx - dy * dy));
    Vec3 t, b;
    orthonormalBasis(n, t, b);
    return normalize(t * dx + b * dy + n * dz);
}

}  // namespace flakecoat::preview
