#ifndef FLAKECOAT_PREVIEW_TESTING_SPHERE_OBJ_H
#define FLAKECOAT_PREVIEW_TESTING_SPHERE_OBJ_H

// A latitude-longitude sphere written as OBJ text, for tests and benchmarks
// that need a model whose true shape is known: `segments` around, `rings`
// from pole to pole (2 * segments * (rings - 1) triangles), optionally with
// the exact normals (vn) and texture coordinates (vt).

#include <string>

#include "kernel/vec3.h"

namespace flakecoat::preview::testing {

std::string sphereObj(int segments, int rings, const Vec3& centre, float radius, bool withNormals, bool withUv);

}  // namespace flakecoat::preview::testing

#endif
