#include "kernel/triangleMesh.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace flakecoat::preview {

namespace {

constexpr float kPi = 3.14159265358979f;

// Twice the triangle's area vector in double, where squaring it neither
// overflows nor underflows for any single-precision corners: a triangle's
// having area does not depend on the model's scale.
void areaVector(const Vec3& a, const Vec3& b, const Vec3& c, double area[3]) {
    const double e1[3] = {double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z};
    const double e2[3] = {double(c.x) - a.x, double(c.y) - a.y, double(c.z) - a.z};
    area[0] = e1[1] * e2[2] - e1[2] * e2[1];
    area[1] = e1[2] * e2[0] - e1[0] * e2[2];
    area[2] = e1[0] * e2[1] - e1[1] * e2[0];
}

bool usable(const TriangleMesh& mesh, const MeshTriangle& triangle) {
    for (std::uint32_t index : triangle.corner)
        if (index >= mesh.positions.size() || !isFinite(mesh.positions[index])) return false;
    double area[3];
    areaVector(mesh.positions[triangle.corner[0]], mesh.positions[triangle.corner[1]],
               mesh.positions[triangle.corner[2]], area);
    const double lengthSquared = area[0] * area[0] + area[1] * area[1] + area[2] * area[2];
    return lengthSquared > 0.0 && std::isfinite(lengthSquared);
}

// The unit normal of a triangle with area, at any scale: in single
// precision where its square neither overflows nor underflows, as models
// of ordinary size always had it, in double beyond.
Vec3 faceNormal(const Vec3& a, const Vec3& b, const Vec3& c) {
    const Vec3 normal = cross(b - a, c - a);
    const float lengthSquared = dot(normal, normal);
    if (lengthSquared >= std::numeric_limits<float>::min() && lengthSquared <= std::numeric_limits<float>::max())
        return normal / std::sqrt(lengthSquared);
    double area[3];
    areaVector(a, b, c, area);
    const double length = std::sqrt(area[0] * area[0] + area[1] * area[1] + area[2] * area[2]);
    if (!(length > 0.0)) return Vec3();
    return Vec3(float(area[0] / length), float(area[1] / length), float(area[2] / length));
}

// The angle between the unit-free edges from a corner.
float cornerAngle(const Vec3& towardsNext, const Vec3& towardsPrevious) {
    const float cosine = dot(normalize(towardsNext), normalize(towardsPrevious));
    return std::acos(std::clamp(cosine, -1.0f, 1.0f));
}

// Angle-weighted vertex normals over the triangles that have none.
std::vector<Vec3> smoothNormals(const TriangleMesh& mesh) {
    std::vector<Vec3> sums(mesh.positions.size());
    for (const MeshTriangle& triangle : mesh.triangles) {
        const Vec3 p[3] = {mesh.positions[triangle.corner[0]], mesh.positions[triangle.corner[1]],
                           mesh.positions[triangle.corner[2]]};
        const Vec3 normal = faceNormal(p[0], p[1], p[2]);
        for (int k = 0; k < 3; ++k) {
            const float angle = cornerAngle(p[(k + 1) % 3] - p[k], p[(k + 2) % 3] - p[k]);
            sums[triangle.corner[size_t(k)]] += normal * angle;
        }
    }
    for (Vec3& sum : sums) sum = normalize(sum);
    return sums;
}

}  // namespace

std::size_t prepareMesh(TriangleMesh& mesh) {
    // Drop what cannot be traced
    const std::size_t before = mesh.triangles.size();
    mesh.triangles.erase(std::remove_if(mesh.triangles.begin(), mesh.triangles.end(),
                                        [&mesh](const MeshTriangle& t) { return !usable(mesh, t); }),
                         mesh.triangles.end());

    // Normals: given ones made unit, missing or zero ones smooth
    bool needSmooth = false;
    for (MeshTriangle& triangle : mesh.triangles) {
        if (triangle.hasNormals) {
            for (Vec3& n : triangle.normal) {
                n = normalize(n);
                if (!(dot(n, n) > 0.5f)) triangle.hasNormals = false;
            }
        }
        needSmooth = needSmooth || !triangle.hasNormals;
    }
    if (needSmooth) {
        const std::vector<Vec3> smooth = smoothNormals(mesh);
        for (MeshTriangle& triangle : mesh.triangles) {
            if (triangle.hasNormals) continue;
            const Vec3 facet = faceNormal(mesh.positions[triangle.corner[0]], mesh.positions[triangle.corner[1]],
                                          mesh.positions[triangle.corner[2]]);
            for (int k = 0; k < 3; ++k) {
                const Vec3 n = smooth[triangle.corner[size_t(k)]];
                // Opposite faces meeting at a vertex can cancel: keep the facet.
                triangle.normal[size_t(k)] = dot(n, n) > 0.5f ? n : facet;
            }
            triangle.hasNormals = true;
        }
    }
    return before - mesh.triangles.size();
}

Sphere enclosingSphere(const TriangleMesh& mesh) {
    auto forEachCorner = [&mesh](auto&& visit) {
        for (const MeshTriangle& triangle : mesh.triangles)
            for (std::uint32_t index : triangle.corner) visit(mesh.positions[index]);
    };

    // Seed: the farthest-apart pair of extremes along seven directions
    const Vec3 directions[7] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}, {1, 1, -1}, {1, -1, 1}, {-1, 1, 1}};
    const Vec3 first = mesh.positions[mesh.triangles.front().corner[0]];
    Vec3 lowest[7], highest[7];
    float lowestDot[7], highestDot[7];
    for (int d = 0; d < 7; ++d) {
        lowest[d] = highest[d] = first;
        lowestDot[d] = highestDot[d] = dot(first, directions[d]);
    }
    forEachCorner([&](const Vec3& p) {
        for (int d = 0; d < 7; ++d) {
            const float along = dot(p, directions[d]);
            if (along < lowestDot[d]) lowestDot[d] = along, lowest[d] = p;
            if (along > highestDot[d]) highestDot[d] = along, highest[d] = p;
        }
    });
    int widest = 0;
    for (int d = 1; d < 7; ++d) {
        const Vec3 span = highest[d] - lowest[d], widestSpan = highest[widest] - lowest[widest];
        if (dot(span, span) > dot(widestSpan, widestSpan)) widest = d;
    }
    Vec3 centre = (lowest[widest] + highest[widest]) * 0.5f;
    float radius = length(highest[widest] - lowest[widest]) * 0.5f;

    // Grow towards every point outside, keeping the far side in place
    forEachCorner([&](const Vec3& p) {
        const float distance = length(p - centre);
        if (distance <= radius) return;
        const float grown = (radius + distance) * 0.5f;
        centre = centre + (p - centre) * ((grown - radius) / distance);
        radius = grown;
    });
    // Rounding in the growth steps can leave a point a hair outside.
    forEachCorner([&](const Vec3& p) { radius = std::max(radius, length(p - centre)); });
    return Sphere{centre, radius};
}

float lowestPoint(const TriangleMesh& mesh) {
    float lowest = std::numeric_limits<float>::infinity();
    for (const MeshTriangle& triangle : mesh.triangles)
        for (std::uint32_t index : triangle.corner) lowest = std::min(lowest, mesh.positions[index].y);
    return lowest;
}

void rotateAboutVertical(TriangleMesh& mesh, const Vec3& pivot, float degrees) {
    const float angle = degrees * kPi / 180.0f;
    const float c = std::cos(angle), s = std::sin(angle);
    auto turn = [c, s](const Vec3& d) { return Vec3(c * d.x + s * d.z, d.y, c * d.z - s * d.x); };
    for (Vec3& p : mesh.positions) p = pivot + turn(p - pivot);
    for (MeshTriangle& triangle : mesh.triangles)
        for (Vec3& n : triangle.normal) n = turn(n);
}

}  // namespace flakecoat::preview
