#include "meshes/paintSwatch.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace flakecoat::preview {

namespace {

constexpr float kPi = 3.14159265358979f;

// The panel
constexpr float kHalfWidth = 1.2f, kHalfHeight = 0.8f;
constexpr float kRadiusAcross = 3.0f, kRadiusUp = 2.5f;
// The hem: rolled back through a quarter circle of this radius.
constexpr float kHemRadius = 0.06f;
constexpr float kHemLength = kHemRadius * kPi / 2.0f;
// The character line: y = kCreaseHeight + kCreaseSlope x. Its flanks fall
// away at kCreaseFlank (about 12 degrees); kCreaseRound rounds the crest.
constexpr float kCreaseHeight = 0.12f, kCreaseSlope = 0.08f;
constexpr float kCreaseFlank = 0.22f, kCreaseRound = 0.012f;
constexpr float kLeanDegrees = 12.0f;

// Height towards the viewer of the panel's face at (x, y).
float faceHeight(float x, float y) {
    const float bulge = -x * x / (2.0f * kRadiusAcross) - y * y / (2.0f * kRadiusUp);
    const float s = (y - kCreaseHeight - kCreaseSlope * x) / std::sqrt(1.0f + kCreaseSlope * kCreaseSlope);
    const float ridge = -kCreaseFlank * (std::sqrt(s * s + kCreaseRound * kCreaseRound) - kCreaseRound);
    return bulge + ridge;
}

// The point of the unrolled panel (a, b): inside the face's rectangle the
// face itself; beyond it, the hem, rolled back by the distance travelled
// past the rectangle's edge (corners roll back along the diagonal).
Vec3 swatchPoint(float a, float b) {
    const float innerX = kHalfWidth - kHemRadius, innerY = kHalfHeight - kHemRadius;
    const float qx = std::clamp(a, -innerX, innerX), qy = std::clamp(b, -innerY, innerY);
    const float ex = a - qx, ey = b - qy;
    const float travelled = std::sqrt(ex * ex + ey * ey);
    if (travelled == 0.0f) return {a, b, faceHeight(a, b)};
    const float angle = std::min(travelled / kHemRadius, kPi / 2.0f);
    const float out = kHemRadius * std::sin(angle) / travelled;
    const float x = qx + ex * out, y = qy + ey * out;
    return {x, y, faceHeight(qx, qy) - kHemRadius * (1.0f - std::cos(angle))};
}

}  // namespace

TriangleMesh paintSwatch(int columns, int rows) {
    TriangleMesh mesh;
    columns = std::max(columns, 2);
    rows = std::max(rows, 2);
    const float spanA = kHalfWidth - kHemRadius + kHemLength, spanB = kHalfHeight - kHemRadius + kHemLength;
    const float lean = kLeanDegrees * kPi / 180.0f;
    const float c = std::cos(lean), s = std::sin(lean);

    // Grid points, leaning back (the top away from +z)
    std::vector<float> us, vs;
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= columns; ++i) {
            const float u = float(i) / float(columns), v = float(j) / float(rows);
            const Vec3 p = swatchPoint((2.0f * u - 1.0f) * spanA, (2.0f * v - 1.0f) * spanB);
            mesh.positions.push_back({p.x, c * p.y + s * p.z, c * p.z - s * p.y});
            us.push_back(u);
            vs.push_back(v);
        }
    }
    float lowest = mesh.positions.front().y;
    for (const Vec3& p : mesh.positions) lowest = std::min(lowest, p.y);
    for (Vec3& p : mesh.positions) p.y -= lowest;

    // Two triangles per cell, counter-clockwise seen from the front
    auto index = [columns](int i, int j) { return std::uint32_t(j * (columns + 1) + i); };
    auto add = [&](std::uint32_t a, std::uint32_t b, std::uint32_t d) {
        MeshTriangle t;
        t.corner = {a, b, d};
        t.u = {us[a], us[b], us[d]};
        t.v = {vs[a], vs[b], vs[d]};
        t.hasUv = true;
        mesh.triangles.push_back(t);
    };
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            add(index(i, j), index(i + 1, j), index(i + 1, j + 1));
            add(index(i, j), index(i + 1, j + 1), index(i, j + 1));
        }
    }
    prepareMesh(mesh);
    return mesh;
}

}  // namespace flakecoat::preview
