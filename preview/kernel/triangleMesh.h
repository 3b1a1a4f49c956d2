#ifndef FLAKECOAT_PREVIEW_KERNEL_TRIANGLE_MESH_H
#define FLAKECOAT_PREVIEW_KERNEL_TRIANGLE_MESH_H

// A painted model as triangles, in the model's own coordinates, before it
// becomes a ray-tracing scene. Loaders and shape generators fill it;
// prepareMesh makes it ready to shade.

#include <array>
#include <cstdint>
#include <vector>

#include "kernel/shapes.h"
#include "kernel/vec3.h"

namespace flakecoat::preview {

// Corners are indices into the mesh's positions. Normals and texture
// coordinates belong to the corners; a triangle either has them at all
// three corners or not at all.
struct MeshTriangle {
    std::array<std::uint32_t, 3> corner{};
    std::array<Vec3, 3> normal{};  // unit after prepareMesh
    std::array<float, 3> u{};
    std::array<float, 3> v{};
    bool hasNormals = false;
    bool hasUv = false;
};

struct TriangleMesh {
    std::vector<Vec3> positions;
    std::vector<MeshTriangle> triangles;
};

// Makes the mesh ready to shade: drops triangles of no area (or with
// corners out of range or not finite) and returns how many it dropped;
// gives triangles without normals smooth vertex normals (each face's
// normal weighted by its angle at the vertex, summed over the faces at
// that vertex, the way a curved surface's facets share its normal);
// normalises the normals it was given, replacing any of zero length by the
// smooth one.
std::size_t prepareMesh(TriangleMesh& mesh);

// A small sphere holding every corner of every triangle, by Ritter's
// method: the extreme points along the axes and diagonals seed it and each
// point outside grows it. It is never smaller than the smallest enclosing
// sphere and, for the round and boxy shapes of models, only slightly
// larger. The mesh must have at least one triangle.
Sphere enclosingSphere(const TriangleMesh& mesh);

// The lowest height (y) of any corner.
float lowestPoint(const TriangleMesh& mesh);

// Turns positions and normals by `degrees` about the vertical axis through
// `pivot`, counter-clockwise seen from above (+z towards +x).
void rotateAboutVertical(TriangleMesh& mesh, const Vec3& pivot, float degrees);

}  // namespace flakecoat::preview

#endif
